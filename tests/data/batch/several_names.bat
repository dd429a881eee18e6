C:
@(call )
pushd "C:\w\R&D"
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE f.txt "C:\a b\x.txt" "C:\out\R&D\f.bak"
popd
@(call )
pushd C:\w\50%%
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE f.txt "C:\a b\x.txt" C:\out\50%%\f.bak
D:\BIN\CC.EXE g%%.txt "C:\a b\x.txt" C:\out\50%%\g%%.bak
popd
@(call )
pushd "C:\w\my dir"
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE f.txt "C:\a b\x.txt" "C:\out\my dir\f.bak"
popd
@(call )
pushd "C:\w\a^b"
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE f.txt "C:\a b\x.txt" "C:\out\a^b\f.bak"
popd
