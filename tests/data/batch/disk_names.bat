D:\BIN\CC.EXE "C:\n\R&D.txt" %TAG%
D:\BIN\CC.EXE C:\n\50%%.txt %TAG%
D:\BIN\CC.EXE "C:\n\a^b.txt" %TAG%
D:\BIN\CC.EXE "C:\n\my file.txt" %TAG%
D:\BIN\CC.EXE C:\n\plain.txt %TAG%
D:\BIN\CC.EXE C:\n\ý%%.txt %TAG%
