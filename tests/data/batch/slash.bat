D:\BIN\CC.EXE C:\d/img001.jpg
D:\BIN\CC.EXE C:\d/img002.jpg
