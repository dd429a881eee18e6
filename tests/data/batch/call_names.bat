"%ComSpec%" /d /c ^""D:\R&D\mk.bat" "C:\n\R&D.txt"^"
"%ComSpec%" /d /c ^""D:\R&D\mk.bat" "C:\n\a^b.txt"^"
"%ComSpec%" /d /c ^""D:\R&D\mk.bat" "C:\n\my file.txt"^"
"%ComSpec%" /d /c ^""D:\R&D\mk.bat" C:\n\plain.txt^"
pause
