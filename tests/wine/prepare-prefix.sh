#!/usr/bin/env bash
# Creates the Wine prefix that the tests use, once; quick when it exists.
# MZ_WINEPREFIX names it (make test gives each build folder its own);
# starts that find no prefix wait for the one that is making it.
set -eu
export WINEPREFIX=${MZ_WINEPREFIX:-$HOME/.cache/mizenta/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
if [ -f "$WINEPREFIX/system.reg" ]; then exit 0; fi
mkdir -p "$(dirname "$WINEPREFIX")"
exec 8>"$WINEPREFIX.making"
flock 8
if [ -f "$WINEPREFIX/system.reg" ]; then exit 0; fi
mkdir -p "$WINEPREFIX"
wineboot -i 8>&-
wineserver -w
