C:
cd C:\u\_DIR~1
D:\BIN\CC.EXE _DIR~1
