#!/usr/bin/env bash
# wine-prefix.sh setup|cleanup PREFIX [x11]
#   setup:   creates the prefix once (headless: Wine's null graphics driver,
#            unless "x11" is given), then keeps one wineserver alive and starts
#            the prefix's background processes away from the caller's pipes.
#   cleanup: stops the prefix's wineserver.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
action=$1
export WINEPREFIX=$2
driver=${3:-null}

quiet() { "$@" </dev/null >/dev/null 2>&1; }
wine_() { quiet "$TAVIX_WINE" "$@"; }

case "$action" in
setup)
  stamp="$WINEPREFIX/.tavix-ready-$WINEARCH-$driver"
  if [ ! -f "$stamp" ]; then
    quiet "$TAVIX_WINESERVER" -k || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wine_ wineboot -i || true
    if [ "$driver" = null ]; then
      wine_ reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
    fi
    # Without a window manager every close would wait for one.
    wine_ reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    # Text files open in Notepad, as on a fresh Windows.
    wine_ reg add 'HKCR\.txt' /ve /d txtfile /f
    for verb in open edit; do
      wine_ reg add "HKCR\\txtfile\\shell\\$verb\\command" /ve \
        /d '"C:\windows\system32\notepad.exe" "%1"' /f
    done
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
      cp -f /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || true
    fi
    # The graphics driver is fixed when the desktop starts: start afresh.
    quiet "$TAVIX_WINESERVER" -k || true
    quiet "$TAVIX_WINESERVER" -w || true
    touch "$stamp"
  fi
  # One server for the whole run; exit status 2 means one runs already.
  quiet "$TAVIX_WINESERVER" -p || true
  # The dialogs ask for ＭＳ Ｐゴシック and ＭＳ ゴシック, which Wine lacks; its
  # fallback has other metrics and cuts captions. The IPA Gothic fonts are
  # made to the same metrics (proportional and fixed-pitch).
  if [ ! -f "$WINEPREFIX/.tavix-fonts" ]; then
    substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
    for face in 'ＭＳ Ｐゴシック' 'MS PGothic'; do
      wine_ reg add "$substitutes" /v "$face" /d IPAPGothic /f
    done
    for face in 'ＭＳ ゴシック' 'MS Gothic'; do
      wine_ reg add "$substitutes" /v "$face" /d IPAGothic /f
    done
    touch "$WINEPREFIX/.tavix-fonts"
  fi
  # Batch files are edited in Notepad, as on Windows (Confirm asks the
  # system for this command; a fresh prefix has no batch file class).
  if [ ! -f "$WINEPREFIX/.tavix-batfile-edit" ]; then
    wine_ reg add 'HKCR\.bat' /ve /d batfile /f
    wine_ reg add 'HKCR\batfile\shell\edit\command' /ve \
      /d '"C:\windows\system32\notepad.exe" "%1"' /f
    touch "$WINEPREFIX/.tavix-batfile-edit"
  fi
  wine_ cmd.exe /c exit
  ;;
cleanup)
  quiet "$TAVIX_WINESERVER" -k || true
  ;;
*)
  echo "usage: $0 setup|cleanup PREFIX [x11]" >&2
  exit 2
  ;;
esac
