#!/usr/bin/env bash
# Runs xlsx_wine_test.exe under Wine and reads its workbook back with the
# spreadsheet reader: the library built for Windows writes what Linux's does.
# Usage: check_xlsx_wine.sh WINDOWS_BIN
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$here/wine/run-wine.sh" "$1/xlsx_wine_test.exe" "Z:${out//\//\\}\\" || exit 1
got=$(/usr/bin/python3 "$here/report/read_workbook.py" "$out/Mz解析結果.xlsx" | iconv -f CP932 -t UTF-8)
expected="sheet 関数一覧
titles 1:1
width A 35
A1 '関数名' tttd #CCFFFF
B1 'STEP数' tttd #CCFFFF
A2 'main' tdtt
B2 =12 tdtt"
if [ "$got" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$got")
  exit 1
fi
echo "the workbook reads back as written"
