D:
cd "D:\My Work"
D:\BIN\CC.EXE "My Work"
