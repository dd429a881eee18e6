D:\BIN\CC.EXE 
pause
