call "D:\R&D\mk.bat" "C:\n\R&D.txt"
call "D:\R&D\mk.bat" "C:\n\my file.txt"
call "D:\R&D\mk.bat" C:\n\plain.txt
pause
