#!/usr/bin/env bash
# Runs a Windows executable under Wine in the build's private prefix.
# CTest uses this as the emulator of the Windows test build.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
if [ -z "${WINEPREFIX:-}" ]; then
  WINEPREFIX="$(cd "$(dirname "$1")" && pwd)/wineprefix"
fi
export WINEPREFIX
exec "$TAVIX_WINE" "$@"
