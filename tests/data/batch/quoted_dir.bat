@(call )
pushd D:\WORK
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE WORK.log
popd
