C:
@(call )
pushd "C:\w\R&D"
@if errorlevel 1 exit /b 1
"%ComSpec%" /d /e:on /v:off /c ^""mk.cmd" "R&D" f.txt^"
popd
@(call )
pushd "C:\w\my dir"
@if errorlevel 1 exit /b 1
"%ComSpec%" /d /e:on /v:off /c ^""mk.cmd" "my dir" f.txt^"
popd
@(call )
pushd "C:\w\a^b"
@if errorlevel 1 exit /b 1
"%ComSpec%" /d /e:on /v:off /c ^""mk.cmd" "a^b" f.txt^"
popd
