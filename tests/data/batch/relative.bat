cd ..\SRC
D:\BIN\CC.EXE a.c
