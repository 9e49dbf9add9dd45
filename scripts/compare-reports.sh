#!/usr/bin/env bash
# Runs two builds of the program over the same corpora under several
# settings and compares every file they write, byte for byte: a change that
# must not alter any report shows here that it did not.
#
#   scripts/compare-reports.sh OLD_BUILD NEW_BUILD [corpus ...]
#
# A build is a folder holding mizenta (and libcalvex.so, Mizenta設定.dat). A corpus is a
# folder name under build/bench/corpora (prepared by
# "BENCH_PREPARE_ONLY=1 scripts/bench.sh"), or any folder path; the default
# is "glibc pascal java gen-1x". Every corpus is run once per setting (each
# INI below), the old program first (one instance may run at a time, so
# they never run side by side). Exit status 1 when a
# report differs or one program fails where the other does not.
set -u
cd "$(dirname "$0")/.."
[ $# -ge 2 ] || { sed -n '2,13p' "$0"; exit 2; }
old=$(cd "$1" && pwd)
new=$(cd "$2" && pwd)
shift 2
corpora=("$@")
[ ${#corpora[@]} -gt 0 ] || corpora=(glibc pascal java gen-1x)
work=${COMPARE_WORK:-build/compare}
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)

# name|INI text: every report on, the three formats, the three header
# modes and the drawing and tree switches spread over them.
settings=(
"text|[ﾌｧｲﾙ出力設定]
ﾌｧｲﾙ出力形式=txt"
"html|[ﾌｧｲﾙ出力設定]
ﾌｧｲﾙ出力形式=html
[ﾃｷｽﾄ出力設定]
ﾂﾘｰ出力をﾀｸﾞ形式=ON
重複した子関数を全て表示=ON
メンバ変数を出力=ON
[その他設定]
ﾍｯﾀﾞｰﾌｧｲﾙ読取設定=一回読み込み"
"csv|[ﾌｧｲﾙ出力設定]
ﾌｧｲﾙ出力形式=csv
[ﾃｷｽﾄ出力設定]
PC-98x1=ON
関数ｿｰﾄしない=ON
既述関数非表示=ON
[その他設定]
ﾍｯﾀﾞｰﾌｧｲﾙ読取設定=読取禁止"
"pc98|[ﾌｧｲﾙ出力設定]
ﾌｧｲﾙ出力形式=txt
[ﾃｷｽﾄ出力設定]
PC-98x1=ON
ｽﾃｯﾌﾟ数の表示を個別=ON
ﾏｸﾛを関数として認めない=ON
既述関数非表示=ON"
)
common="[ﾌｧｲﾙ出力設定]
使用ｸﾗｽ確認=ON
#define文確認=ON
予約語表示=ON
ｸﾞﾛｰﾊﾞﾙ変数一覧=ON
変数詳細情報の表示=ON
型情報の表示=ON
関数一覧の表示=ON
関数詳細情報の表示=ON
名前空間一覧の表示=ON
関数の行数分布を出力=ON
[その他設定]
拡張子および言語=c:0,h:0,cpp:1,java:2,frm:3,bas:3,vb:3,pas:4"

# Both programs run from the same folder, since the log names it.
place=$work/program

# Installs a build with the INI text, runs it on a corpus and moves what it
# wrote to $4; the seconds it took go to $4.seconds, its exit status to
# $4.status.
run() {  # build folder, INI text, corpus folder, result folder
  local start end
  rm -rf "$place"
  mkdir -p "$place" "$4"
  cp -p "$1/mizenta" "$place/"
  [ -f "$1/libcalvex.so" ] && cp -p "$1/libcalvex.so" "$place/"
  [ -f "$1/Mizenta設定.dat" ] && cp -p "$1/Mizenta設定.dat" "$place/"
  # One section each: a profile reader takes the first section of a name
  # only, so the setting's keys join the common ones under their heading.
  printf '%s\n%s\n' "$common" "$2" | awk '
    /^\[/ { section = $0; if (!(section in keys)) order[n++] = section; next }
    NF { keys[section] = keys[section] $0 "\n" }
    END { for (i = 0; i < n; i++) printf "%s\n%s", order[i], keys[order[i]] }' |
    iconv -f UTF-8 -t CP932 > "$place/Mizenta.ini"
  # A program refused because another instance holds the lock writes no
  # log: that attempt does not count, it waits and tries again.
  local tries=0
  while :; do
    start=$(date +%s.%N)
    (cd "$3" && "$place/mizenta" "$3" > "$4.stdout" 2> "$4.stderr"; echo $? > "$4.status")
    end=$(date +%s.%N)
    [ -f "$place/MizentaErrLog.txt" ] || ! grep -aq MIZENTA "$4.stderr" || [ $tries -ge 120 ] && break
    tries=$((tries + 1))
    sleep 5
  done
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f\n", b - a }' > "$4.seconds"
  rm -f "$place/mizenta" "$place/libcalvex.so" "$place/Mizenta設定.dat"
  mv "$place"/* "$4/"
}

status=0
for corpus in "${corpora[@]}"; do
  dir=$corpus
  [ -d "$dir" ] || dir=build/bench/corpora/$corpus
  [ -d "$dir" ] || { echo "compare: no corpus $corpus"; status=1; continue; }
  dir=$(cd "$dir" && pwd)
  for entry in "${settings[@]}"; do
    name=${entry%%|*}
    ini=${entry#*|}
    a=$work/$(basename "$corpus")-$name/old
    b=$work/$(basename "$corpus")-$name/new
    run "$old" "$ini" "$dir" "$a"
    run "$new" "$ini" "$dir" "$b"
    files=$(find "$a" -type f | wc -l)
    differing=$(diff -rq "$a" "$b" 2>&1
                cmp -s "$a.stdout" "$b.stdout" || echo "standard output differs"
                cmp -s "$a.stderr" "$b.stderr" || echo "standard error differs")
    if [ -z "$differing" ]; then
      verdict="identical"
    else
      verdict="DIFFERENT"
      status=1
    fi
    printf '%-8s %-5s %4d files, exit %s/%s, %6.2f s / %6.2f s: %s\n' "$(basename "$corpus")" "$name" \
      "$files" "$(cat "$a.status")" "$(cat "$b.status")" "$(cat "$a.seconds")" "$(cat "$b.seconds")" "$verdict"
    [ -n "$differing" ] && echo "$differing" | head -5 | sed 's/^/    /'
    [ -z "$differing" ] && rm -rf "$(dirname "$a")"
  done
done
exit $status
