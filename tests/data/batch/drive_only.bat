@(call )
pushd D:
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE 
popd
