C:
cd "C:\w\R&D"
D:\BIN\CC.EXE "R&D" f.txt
cd C:\w\50%%
D:\BIN\CC.EXE 50%% f.txt
cd "C:\w\my dir"
D:\BIN\CC.EXE "my dir" f.txt
cd "C:\w\a^b"
D:\BIN\CC.EXE "a^b" f.txt
