C:\w\50%%\cc.exe C:\w\50%%\f.txt -o C:\w\50%%\new.txt %TEMP%\x.txt
C:\w\50%%\cc.exe C:\w\50%%\g%%.txt -o C:\w\50%%\new.txt %TEMP%\x.txt
