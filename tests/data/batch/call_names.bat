"%ComSpec%" /c ^""D:\R&D\mk.bat" "C:\n\R&D.txt"^"
"%ComSpec%" /c ^""D:\R&D\mk.bat" "C:\n\a^b.txt"^"
"%ComSpec%" /c ^""D:\R&D\mk.bat" "C:\n\my file.txt"^"
"%ComSpec%" /c ^""D:\R&D\mk.bat" C:\n\plain.txt^"
pause
