# Environment for running the program and its tests under Wine: Japanese
# locale (ANSI code page 932), quiet, no Mono/Gecko prompts.
#
# TAVIX_WINE_ARCH picks the prefix kind: win64 (default; the tests run on the
# 64-bit build, since some machines cannot execute 32-bit code at all) or
# win32 (the shipped 32-bit program, where the machine runs 32-bit Wine).
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=${TAVIX_WINE_ARCH:-win64}
if [ "$WINEARCH" = win64 ]; then
  TAVIX_WINE=/usr/lib/wine/wine64
  export WINELOADER=$TAVIX_WINE
else
  TAVIX_WINE=/usr/lib/wine/wine
fi
if [ -x /usr/lib/wine/wineserver64 ]; then
  TAVIX_WINESERVER=/usr/lib/wine/wineserver64
else
  TAVIX_WINESERVER=/usr/lib/wine/wineserver32
fi
export WINESERVER=$TAVIX_WINESERVER
