"%ComSpec%" /d /e:on /v:off /c ^""D:\R&D\mk.bat" "C:\n\R&D.txt"^"
"%ComSpec%" /d /e:on /v:off /c ^""D:\R&D\mk.bat" "C:\n\a^b.txt"^"
"%ComSpec%" /d /e:on /v:off /c ^""D:\R&D\mk.bat" "C:\n\my file.txt"^"
"%ComSpec%" /d /e:on /v:off /c ^""D:\R&D\mk.bat" C:\n\plain.txt^"
pause
