@(call )
pushd "D:\my dir"
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE a.c
popd
