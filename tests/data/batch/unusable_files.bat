D:\BIN\CC.EXE C:\u\A_B~~VO4.TXT
D:\BIN\CC.EXE C:\u\axb.txt
