#!/usr/bin/env bash
# Writes IN (UTF-8 with LF line ends, as the tree keeps text) as OUT in
# Shift-JIS with CR LF line ends, as the program's own files are. Fails on
# a character that Shift-JIS (CP932) has not.
set -euo pipefail
in=$1
out=$2
iconv -f UTF-8 -t CP932 "$in" | sed 's/$/\r/' >"$out.tmp"
mv "$out.tmp" "$out"
