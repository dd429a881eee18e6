D:
cd D:\WORK
D:\BIN\CC.EXE a.c
pause
