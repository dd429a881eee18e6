D:
@(call )
pushd "D:\My Work"
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE "My Work"
popd
