C:
@(call )
pushd "C:\w\R&D"
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE "R&D" f.txt
popd
@(call )
pushd C:\w\50%%
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE 50%% f.txt
D:\BIN\CC.EXE 50%% g%%.txt
popd
@(call )
pushd "C:\w\my dir"
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE "my dir" f.txt
popd
@(call )
pushd "C:\w\a^b"
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE "a^b" f.txt
popd
