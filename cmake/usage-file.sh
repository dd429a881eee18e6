#!/usr/bin/env bash
# usage-file.sh SOURCE TARGET VERSION DATE: writes the usage file as shipped,
# in the Japanese code page (cp932) with CR LF line ends, from its UTF-8
# source, with @VERSION@ and @DATE@ replaced by the version and release date
# of resources/version.txt. A character that cp932 lacks fails the build.
set -euo pipefail
sed -e "s|@VERSION@|$3|g" -e "s|@DATE@|$4|g" "$1" | iconv -f UTF-8 -t CP932 | sed 's/\r*$/\r/' > "$2.tmp"
mv "$2.tmp" "$2"
