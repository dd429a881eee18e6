C:
cd C:\p\a\x
D:\BIN\CV.EXE 1.jpg -o C:\out\x\1.png
cd C:\p\a
D:\BIN\CV.EXE 2.jpg -o C:\out\a\2.png
cd C:\p\b
D:\BIN\CV.EXE 4.jpg -o C:\out\b\4.png
pause
