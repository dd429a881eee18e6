C:
cd C:\100%
"C:\R&D\cc.exe" 100% "C:\My Docs\\"
