C:
cd C:\p\a\x
D:\BIN\CC.EXE x
pause
