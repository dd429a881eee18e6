@(call )
pushd p2\a
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE -s^^
popd
@(call )
pushd p2\b
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE -s^^
popd
