@(call )
pushd \\srv\s\a
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE a
popd
