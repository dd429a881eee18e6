#!/usr/bin/env bash
# usage-file.sh SOURCE TARGET: writes the usage file as shipped, in the
# Japanese code page (cp932) with CR LF line ends, from its UTF-8 source. A
# character that cp932 lacks fails the build.
set -euo pipefail
iconv -f UTF-8 -t CP932 "$1" | sed 's/\r*$/\r/' > "$2.tmp"
mv "$2.tmp" "$2"
