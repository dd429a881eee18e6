C:
@(call )
pushd C:\p\a\x
@if errorlevel 1 (pause & exit /b 1)
D:\BIN\CC.EXE x
popd
pause
