C:
@(call )
pushd C:\w\50%%
@if errorlevel 1 exit /b 1
D:\BIN\CC.EXE 50%% C:\n\50%%.txt %TEMP%\x.txt "C:\a b\x.txt" "C:\c d\y.txt" g%%.txt
popd
