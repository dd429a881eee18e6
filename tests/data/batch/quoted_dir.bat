cd D:\WORK
D:\BIN\CC.EXE WORK.log
