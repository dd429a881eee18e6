D:\BIN\CC.EXE C:\d\img001.jpg -t C:\t\th_001.jpg
D:\BIN\CC.EXE C:\d\img002.jpg -t C:\t\th_002.jpg
