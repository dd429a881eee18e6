# Sourced by scripts: wine32_works (with $repo and $root set) tells whether
# this machine runs 32-bit Windows code. It is tried once per build root (a
# 32-bit prefix either starts or fails at once) and the answer kept in
# $root/win32/wine32-works.
wine32_works() {
  local answer=$root/win32/wine32-works
  if [ ! -f "$answer" ]; then
    mkdir -p "$root/win32"
    local probe=$root/win32/wine32-probe
    rm -rf "$probe"
    if (export TAVIX_WINE_ARCH=win32 WINEPREFIX=$probe
        . "$repo/cmake/wine-env.sh"
        timeout 300 "$TAVIX_WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1
        status=$?
        "$TAVIX_WINESERVER" -k </dev/null >/dev/null 2>&1
        exit $status); then
      echo yes >"$answer"
    else
      echo no >"$answer"
    fi
    rm -rf "$probe"
  fi
  [ "$(cat "$answer")" = yes ]
}
