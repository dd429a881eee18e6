cd D:
D:\BIN\CC.EXE 
