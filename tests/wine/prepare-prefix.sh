#!/usr/bin/env bash
# Creates the Wine prefix that the tests use, once; quick when it exists.
set -eu
export WINEPREFIX=${MZ_WINEPREFIX:-$HOME/.cache/mizenta/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
if [ -f "$WINEPREFIX/system.reg" ]; then exit 0; fi
mkdir -p "$WINEPREFIX"
wineboot -i
wineserver -w
