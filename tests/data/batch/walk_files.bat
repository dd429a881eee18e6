C:
@(call )
pushd C:\p\a\x
@if errorlevel 1 (pause & exit /b 1)
D:\BIN\CV.EXE 1.jpg -o C:\out\x\1.png
popd
@(call )
pushd C:\p\a
@if errorlevel 1 (pause & exit /b 1)
D:\BIN\CV.EXE 2.jpg -o C:\out\a\2.png
popd
@(call )
pushd C:\p\b
@if errorlevel 1 (pause & exit /b 1)
D:\BIN\CV.EXE 4.jpg -o C:\out\b\4.png
popd
pause
