D:\BIN\CC.EXE C:\u\A_B~~VO4.txt
D:\BIN\CC.EXE C:\u\axb.txt
