C:
@(call )
cd "C:\w\R&D"
@if errorlevel 1 exit /b 1
call mk.cmd "R&D" f.txt
@(call )
cd "C:\w\my dir"
@if errorlevel 1 exit /b 1
call mk.cmd "my dir" f.txt
