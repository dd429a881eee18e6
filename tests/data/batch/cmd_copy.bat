cmd.exe /c ^"copy "C:\n\R&D.txt" C:\out^"
cmd.exe /c ^"copy "C:\n\a^b.txt" C:\out^"
cmd.exe /c ^"copy "C:\n\my file.txt" C:\out^"
cmd.exe /c ^"copy C:\n\plain.txt C:\out^"
