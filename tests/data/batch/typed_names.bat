C:
@(call )
pushd C:\100%
@if errorlevel 1 exit /b 1
"C:\R&D\cc.exe" 100% "C:\My Docs\\"
popd
