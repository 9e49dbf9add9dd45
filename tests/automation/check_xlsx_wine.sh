#!/usr/bin/env bash
# The workbook written by the library on Windows, read back with the
# spreadsheet reader: first xlsx_wine_test.exe (one table sheet through the
# library's own interface), then mizenta.exe itself asked for "xls" with no
# spreadsheet program registered, which writes "Mz解析結果.xlsx".
# Usage: check_xlsx_wine.sh WINDOWS_BIN
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
winpath() { local p=${1//\//\\}; echo "Z:$p"; }
read_back() { /usr/bin/python3 "$here/report/read_workbook.py" "$1" | iconv -f CP932 -t UTF-8; }
same() {
  if [ "$2" != "$3" ]; then
    echo "$1:"
    diff <(echo "$2") <(echo "$3")
    exit 1
  fi
}

"$here/wine/run-wine.sh" "$1/xlsx_wine_test.exe" "$(winpath "$out/")" || exit 1
same "the library's sheet" "opens 関数一覧
sheet 関数一覧
titles 1:1
frozen A2
page landscape fit 1x0
width A 35
A1 '関数名' tttd #CCFFFF
B1 'STEP数' tttd #CCFFFF
A2 'main' tdtt
B2 =12 tdtt" "$(read_back "$out/Mz解析結果.xlsx")"

# The program in a folder of its own: the reports go beside it.
prog=$out/program
mkdir -p "$prog"
cp "$1/mizenta.exe" "$1/calvex.dll" "$1/Mizenta設定.dat" "$prog/"
printf '[ﾌｧｲﾙ出力設定]\r\n関数一覧の表示=ON\r\nﾌｧｲﾙ出力形式=xls\r\n' | iconv -f UTF-8 -t CP932 > "$prog/Mizenta.ini"
printf 'int twice(int n)\r\n{\r\n    return n * 2;\r\n}\r\nint main(void)\r\n{\r\n    return twice(4);\r\n}\r\n' > "$out/main.c"
"$here/wine/run-wine.sh" "$prog/mizenta.exe" "$(winpath "$out/main.c")" >/dev/null 2>&1
status=$?
same "exit status" 0 "$status"
[ ! -e "$prog/Mz一覧Func.txt" ] || { echo "the function list was written as text"; exit 1; }
# Steps count the lines from the header to the closing brace; stack use
# the parameters and locals. The workbook opens on the function list.
same "the program's function list" "opens 関数一覧
sheet 関数一覧
titles 1:1
frozen A2
filter A1:E3
page landscape fit 1x0
width A 35
width E 35
A1 '関数名' tttd #CCFFFF
B1 'STEP数' tttd #CCFFFF
C1 'ｽﾀｯｸ' tttd #CCFFFF
D1 'その他' tttd #CCFFFF
E1 'ファイル名' tttd #CCFFFF
A2 'main' tdtt
B2 =4 tdtt
C2 =0 tdtt
D2 . tdtt
E2 'main.c' tdtt
A3 'twice' tttt
B3 =4 tttt
C3 =4 tttt
D3 . tttt
E3 'main.c' tttt" "$(read_back "$prog/Mz解析結果.xlsx" | sed '/^sheet ステップ数/,$d')"
echo "the workbooks read back as written"
