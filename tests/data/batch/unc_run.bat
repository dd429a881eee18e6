@(call )
pushd "\\srv\s\b c"
@if errorlevel 1 (pause & exit /b 1)
D:\BIN\CC.EXE */ a.c
popd
pause
