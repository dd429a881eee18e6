C:
@(call )
pushd C:\u\_DIR~1
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE _DIR~1
popd
