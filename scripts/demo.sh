#!/usr/bin/env bash
# Analyses the bundled sample sources with a relocated copy of the program
# and shows where the reports went.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/linux}
demo=build/demo
rm -rf "$demo"
mkdir -p "$demo"
cp "$build/mizenta" "$build"/libcalvex.so "$demo/" 2>/dev/null || cp "$build/mizenta" "$demo/"
cp "$build/Mizenta設定.dat" "$demo/"
# Every list report on; the INI file is Shift-JIS like the program's own.
iconv -f UTF-8 -t CP932 > "$demo/Mizenta.ini" <<'INI'
[ﾌｧｲﾙ出力設定]
使用ｸﾗｽ確認=ON
#define文確認=ON
ｸﾞﾛｰﾊﾞﾙ変数一覧=ON
変数詳細情報の表示=ON
型情報の表示=ON
関数一覧の表示=ON
関数詳細情報の表示=ON
名前空間一覧の表示=ON
INI
"$demo/mizenta" "$(pwd)/samples/inventory" || true
echo
echo "Reports of the sample sources (samples/inventory) are in $demo/:"
ls "$demo" | grep -v -e '^mizenta$' -e '^libcalvex.so$' -e '^Mizenta.ini$' -e '^Mizenta設定.dat$' |
  sed 's/^/  /'
for report in MizentaLog.txt MzStepLog.txt MizentaErrLog.txt; do
  [ -f "$demo/$report" ] || continue
  echo
  echo "== $report"
  iconv -f CP932 -t UTF-8 "$demo/$report" | tr -d '\r'
done
