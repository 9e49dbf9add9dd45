#!/usr/bin/env bash
# Times the program with every report on against the usual peers (cflow,
# cloc, ctags, wc -l) and a floor (bench/floor.c: read every byte and split
# tokens) on the same files, and writes bench/RESULTS.md. The program marks
# its heap for large pages; the peers run with the C library's allocator
# told to do the same (PEER_MEMORY), so that the pages are alike. Tools take
# turns run after run (A B A B ...).
#
#   scripts/bench.sh [build folder]      (default build/linux)
#
# Knobs: BENCH_RUNS (5) runs per tool, median reported;
#        BENCH_CORPORA ("glibc glibc-c lua cpp vb pascal java generated
#          single glibc-single") subset to run;
#        BENCH_SCALE ("1 2 4") scale factors of the generated corpus;
#        BENCH_TIMEOUT (1200) seconds before a run counts as hung;
#        BENCH_TRIAL (0) 1 marks the results as a trial in their heading;
#        BENCH_PREPARE_ONLY (0) 1 prepares the corpora and stops;
#        BENCH_SKIP (unset) tools left out, everywhere ("cflow-cpp") or on
#          one corpus ("glibc-c:cflow-cpp", which takes over 20 minutes a
#          run there);
#        BENCH_BASELINE (unset) a build folder of another version of the
#          program, timed beside this one on every corpus ("baseline").
# Corpora are prepared once into build/bench/corpora and reused.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build/linux}
runs=${BENCH_RUNS:-5}
corpora_wanted=${BENCH_CORPORA:-glibc glibc-c lua cpp vb pascal java generated single glibc-single}
scales=${BENCH_SCALE:-1 2 4}
run_timeout=${BENCH_TIMEOUT:-1200}

bench=$root/build/bench
corpora=$bench/corpora
results=$bench/results
work=$bench/work
timer=/usr/bin/time
# The environment of every peer: transparent huge pages for the heap of the
# C library's allocator, as the program asks for its own heap.
peer_memory=(env GLIBC_TUNABLES=glibc.malloc.hugetlb=1)

say() { echo "[bench] $*"; }

scripts/setup-bench.sh

[ -x "$build/mizenta" ] || { echo "bench: no program at $build/mizenta (make build)" >&2; exit 1; }
mkdir -p "$corpora" "$results" "$work"
rm -f "$results"/*

wanted() { case " $corpora_wanted " in *" $1 "*) return 0 ;; esac; return 1; }

# ---------------------------------------------------------------- corpora

# A corpus is ready when its marker holds the same recipe as now; the
# generated ones name the generator's checksum, so a changed generator
# makes them again.
ready() { [ -f "$corpora/$1.ready" ] && [ "$(cat "$corpora/$1.ready")" = "$2" ]; }

# Sorted list of the corpus files (relative to the corpus folder), one a
# line, and the same with NUL ends for wc.
write_list() {
  local name=$1
  shift
  (cd "$corpora/$name" && find . -type f \( "$@" \) | LC_ALL=C sort) > "$corpora/$name.list"
  tr '\n' '\0' < "$corpora/$name.list" > "$corpora/$name.list0"
}

# Copies the files matching the find tests from $1 into corpus $2.
copy_matching() {
  local from=$1 name=$2
  shift 2
  (cd "$from" && find . -type f \( "$@" \) -print0 | tar --null -T - -cf -) | tar -C "$corpora/$name" -xf -
}

prepare_glibc() {
  local tarball recipe
  tarball=$(ls /usr/src/glibc/glibc-*.tar.xz | head -1)
  recipe="c+h of $(basename "$tarball")"
  ready glibc "$recipe" && return
  say "preparing the C corpus from $tarball"
  rm -rf "$corpora/glibc" "$corpora/glibc.unpack"
  mkdir -p "$corpora/glibc" "$corpora/glibc.unpack"
  tar -C "$corpora/glibc.unpack" -xJf "$tarball"
  copy_matching "$corpora/glibc.unpack" glibc -name '*.c' -o -name '*.h'
  rm -rf "$corpora/glibc.unpack"
  write_list glibc -name '*.c' -o -name '*.h'
  echo "$recipe" > "$corpora/glibc.ready"
}

prepare_pascal() {
  local recipe="pas of /usr/share/fpcsrc"
  ready pascal "$recipe" && return
  say "preparing the Pascal corpus from /usr/share/fpcsrc"
  rm -rf "$corpora/pascal"
  mkdir -p "$corpora/pascal"
  copy_matching /usr/share/fpcsrc pascal -name '*.pas'
  write_list pascal -name '*.pas'
  echo "$recipe" > "$corpora/pascal.ready"
}

prepare_java() {
  local zip=/usr/lib/jvm/openjdk-17/lib/src.zip recipe
  recipe="java of $zip (all modules)"
  ready java "$recipe" && return
  say "preparing the Java corpus from $zip"
  rm -rf "$corpora/java"
  mkdir -p "$corpora/java"
  unzip -q "$zip" '*.java' -d "$corpora/java"
  write_list java -name '*.java'
  echo "$recipe" > "$corpora/java.ready"
}

generator_sum=$(sha256sum bench/generate_corpus.py | cut -c1-16)

prepare_generated() {
  local scale=$1 name="gen-${1}x" recipe
  recipe="generated x$scale, generator $generator_sum"
  ready "$name" "$recipe" && return
  say "generating the C corpus at ${scale}x"
  rm -rf "$corpora/$name"
  python3 bench/generate_corpus.py --out "$corpora/$name" --scale "$scale" >/dev/null
  write_list "$name" -name '*.c' -o -name '*.h'
  echo "$recipe" > "$corpora/$name.ready"
}

prepare_single() {
  local recipe="single 100 MB, generator $generator_sum"
  ready single "$recipe" && return
  say "generating the single file of 100 MB"
  rm -rf "$corpora/single"
  python3 bench/generate_corpus.py --single "$corpora/single/big.c" --mb 100 >/dev/null
  write_list single -name '*.c'
  echo "$recipe" > "$corpora/single.ready"
}

# One file of 100 MiB of real C: the files of the C corpus one after the
# other in the order of its list, from the first again when they run out,
# cut at 100 MiB.
prepare_glibc_single() {
  local recipe="100 MiB of $(cat "$corpora/glibc.ready")" bytes rounds
  ready glibc-single "$recipe" && return
  say "joining the C corpus into one file of 100 MiB"
  rm -rf "$corpora/glibc-single"
  mkdir -p "$corpora/glibc-single"
  bytes=$(cd "$corpora/glibc" && wc -c --files0-from="$corpora/glibc.list0" | tail -1 | awk '{print $1}')
  rounds=$(( (100 * 1024 * 1024 + bytes - 1) / bytes ))
  (cd "$corpora/glibc" && for _ in $(seq "$rounds"); do xargs -0 cat < "$corpora/glibc.list0"; done) |
    head -c $((100 * 1024 * 1024)) > "$corpora/glibc-single/glibc.c"
  write_list glibc-single -name '*.c'
  echo "$recipe" > "$corpora/glibc-single.ready"
}

# The .c files of the C corpus alone: the program follows their headers
# itself, the peers read only the .c files.
prepare_glibc_c() {
  local recipe="c of $(cat "$corpora/glibc.ready")"
  ready glibc-c "$recipe" && return
  say "listing the .c files of the C corpus"
  rm -rf "$corpora/glibc-c"
  ln -s glibc "$corpora/glibc-c"
  write_list glibc-c -name '*.c'
  echo "$recipe" > "$corpora/glibc-c.ready"
}

# A tree of ../shared/corpora, copied; listed are the files named by the
# find tests after the folder.
prepare_shared() {  # name folder find-tests...
  local name=$1 from=$root/../shared/corpora/$2 recipe
  shift 2
  recipe="$* of ${from#$root/}"
  ready "$name" "$recipe" && return
  [ -d "$from" ] || { say "no $from: $name left out"; return 1; }
  say "copying $from"
  rm -rf "$corpora/$name"
  mkdir -p "$corpora/$name"
  cp -a "$from/." "$corpora/$name/"
  write_list "$name" "$@"
  echo "$recipe" > "$corpora/$name.ready"
}

wanted glibc && prepare_glibc
if wanted glibc-c; then
  prepare_glibc
  prepare_glibc_c
fi
wanted lua && prepare_shared lua c/lua -name '*.c'
wanted cpp && prepare_shared cpp cpp/irrlicht -name '*.cpp' -o -name '*.h'
wanted vb && prepare_shared vb vb -name '*.cls' -o -name '*.bas' -o -name '*.frm' -o -name '*.vb'
wanted pascal && prepare_pascal
wanted java && prepare_java
if wanted generated; then
  for s in $scales; do prepare_generated "$s"; done
fi
wanted single && prepare_single
if wanted glibc-single; then
  prepare_glibc
  prepare_glibc_single
fi
[ "${BENCH_PREPARE_ONLY:-0}" = 1 ] && { say "corpora ready in $corpora"; exit 0; }

# ---------------------------------------------------------------- program copy

# A relocated copy with every list report on; the INI file is Shift-JIS.
# Headers are registered as sources too (h:0), so the program reads the
# same files as the peers.
# The build folder may be rebuilt meanwhile: copy only a binary that has
# not changed for a while, and say in the results which one was timed.
mz=$work/mizenta
rm -rf "$mz"
mkdir -p "$mz"
for wait in $(seq 60); do
  age=$(( $(date +%s) - $(stat -c %Y "$build/mizenta") ))
  [ "$age" -ge 10 ] && break
  [ "$wait" -eq 1 ] && say "waiting for $build/mizenta to settle (just rebuilt)"
  sleep 5
done
cp -p "$build/mizenta" "$mz/"
[ -f "$build/libcalvex.so" ] && cp -p "$build/libcalvex.so" "$mz/"
[ -f "$build/Mizenta設定.dat" ] && cp -p "$build/Mizenta設定.dat" "$mz/"
program_mtime=$(stat -c %Y "$mz/mizenta")
program_commit=$(git rev-parse --short=12 HEAD 2>/dev/null || echo "?")
program_dirty=$(git status --porcelain --untracked-files=no -- . ':!bench/RESULTS.md' 2>/dev/null | wc -l)
# Every list report on, repeated subtrees of the call tree hidden; $1 is
# the extension table.
write_ini() {  # program folder, extension table[, header mode]
  iconv -f UTF-8 -t CP932 > "$1/Mizenta.ini" <<INI
[ﾌｧｲﾙ出力設定]
使用ｸﾗｽ確認=ON
#define文確認=ON
ｸﾞﾛｰﾊﾞﾙ変数一覧=ON
変数詳細情報の表示=ON
型情報の表示=ON
関数一覧の表示=ON
関数詳細情報の表示=ON
名前空間一覧の表示=ON
関数の行数分布を出力=ON
[ﾃｷｽﾄ出力設定]
既述関数非表示=ON
[その他設定]
拡張子および言語=$2
ﾍｯﾀﾞｰﾌｧｲﾙ読取設定=${3:-通常}
INI
}
all_files="c:0,h:0,cpp:1,java:2,frm:3,bas:3,vb:3,pas:4"
sources_only="c:0,cpp:1,java:2,frm:3,bas:3,cls:3,vb:3,pas:4"
write_ini "$mz" "$all_files"

# The same program reading only the sources of the list and following
# their #include lines itself (the default header mode).
mz_src=$work/mizenta-src
rm -rf "$mz_src"
mkdir -p "$mz_src"
cp -p "$mz"/* "$mz_src/"
write_ini "$mz_src" "$sources_only"

# For the small C corpus, the same sources with the headers read once for
# the whole run, and not read at all (as cflow reads them): what following
# the headers of every source file costs.
# Each is a tool of its own, in a folder of its name.
header_modes="headers-once:一回読み込み headers-unread:読取禁止"
for pair in $header_modes; do
  copy=$work/${pair%%:*}
  rm -rf "$copy"
  mkdir -p "$copy"
  cp -p "$mz"/* "$copy/"
  write_ini "$copy" "$sources_only" "${pair#*:}"
done

# The baseline build gets a copy of its own with the same settings.
baseline=""
if [ -n "${BENCH_BASELINE:-}" ]; then
  baseline=$work/baseline
  rm -rf "$baseline"
  mkdir -p "$baseline"
  cp -p "$BENCH_BASELINE/mizenta" "$baseline/"
  [ -f "$BENCH_BASELINE/libcalvex.so" ] && cp -p "$BENCH_BASELINE/libcalvex.so" "$baseline/"
  [ -f "$BENCH_BASELINE/Mizenta設定.dat" ] && cp -p "$BENCH_BASELINE/Mizenta設定.dat" "$baseline/"
  cp -p "$mz/Mizenta.ini" "$baseline/"
  rm -rf "$baseline-src"
  mkdir -p "$baseline-src"
  cp -p "$baseline"/* "$baseline-src/"
  cp -p "$mz_src/Mizenta.ini" "$baseline-src/"
fi

# Corpora that the program reads as sources only, following the headers.
reads_sources_only() { case $1 in glibc-c | lua | cpp | vb) return 0 ;; esac; return 1; }

clear_reports() {  # [program folder]
  find "${1:-$mz}" -mindepth 1 -maxdepth 1 ! -name mizenta ! -name libcalvex.so ! -name Mizenta.ini \
    ! -name Mizenta設定.dat -exec rm -rf {} +
}

# The floor, built from its few lines of C with the usual optimisation.
cc -O2 -o "$work/floor" bench/floor.c

# ---------------------------------------------------------------- timing

# results.tsv: corpus, tool, run, seconds, peak RSS (KiB), status, CPU seconds
# temporary.tsv: corpus, tool, run, most bytes of temporary files at once (Mizenta)
tsv=$results/results.tsv
: > "$tsv"
: > "$results/temporary.tsv"
: > "$results/problems.txt"

# Runs "$@" in the corpus folder under /usr/bin/time -v; sets t_seconds,
# t_rss, t_status and t_cpu (user + system). The command's output goes to
# $t_out and $t_err.
timed() {
  local corpus_dir=$1
  shift
  t_out=$results/last.out
  t_err=$results/last.err
  local tv=$results/last.time
  (cd "$corpus_dir" && "$timer" -v -o "$tv" timeout "$run_timeout" "$@" >"$t_out" 2>"$t_err") || true
  t_seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ {
      n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' "$tv")
  t_rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$tv")
  t_cpu=$(awk -F': ' '/User time|System time/ { s += $2 } END { printf "%.2f", s }' "$tv")
  t_seconds=${t_seconds:-0}
  t_rss=${t_rss:-0}
  local code
  code=$(awk -F': ' '/Exit status/ {print $2}' "$tv")
  if grep -q 'Command terminated by signal' "$tv"; then
    t_status="signal $(sed -n 's/.*terminated by signal \([0-9]*\).*/\1/p' "$tv")"
  elif [ "$code" = 124 ]; then
    t_status="timeout"
  elif [ "$code" = 0 ]; then
    t_status="ok"
  elif [ "$code" -gt 128 ] 2>/dev/null; then
    t_status="signal $((code - 128))"
  else
    t_status="exit $code"
  fi
}

# The most that the temporary files of a running program take at once
# (the files it holds open that are deleted already), sampled twice a
# second until "$2.stop" appears; written to $2.
temporary_peak() {  # program file, result file
  local program peak=0 sum pid fd size
  program=$(readlink -f "$1")
  while [ ! -f "$2.stop" ]; do
    for pid in $(pgrep -x mizenta); do
      [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$program" ] || continue
      sum=0
      for fd in /proc/"$pid"/fd/*; do
        case $(readlink "$fd" 2>/dev/null) in
          *" (deleted)") size=$(stat -L -c %s "$fd" 2>/dev/null) && sum=$((sum + size)) ;;
        esac
      done
      [ "$sum" -gt "$peak" ] && peak=$sum
    done
    sleep 0.5
  done
  echo "$peak" > "$2"
}

record() {  # corpus tool run
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$t_seconds" "$t_rss" "$t_status" "$t_cpu" >> "$tsv"
  say "$1: $2 run $3: ${t_seconds} s (CPU ${t_cpu} s), $((t_rss / 1024)) MiB, $t_status"
}

# The program refuses to start while another instance holds its lock; such
# an attempt does not count, it waits and tries again.
run_mizenta() {  # corpus run target [program folder] [tool name]
  local corpus=$1 run=$2 target=$3 tries=0
  local default=$mz
  reads_sources_only "$corpus" && default=$mz_src
  local mz=${4:-$default} tool=${5:-mizenta}
  while :; do
    clear_reports "$mz"
    rm -f "$results/temporary" "$results/temporary.stop"
    temporary_peak "$mz/mizenta" "$results/temporary" &
    timed "$corpora/$corpus" "$mz/mizenta" "$target"
    touch "$results/temporary.stop"
    wait $!
    if [ "$t_status" = ok ] && grep -aq 'MIZENTA' "$t_err" && [ ! -f "$mz/MzStepLog.txt" ]; then
      tries=$((tries + 1))
      [ $tries -eq 1 ] && say "$corpus: another instance is running, waiting"
      if [ $tries -gt 360 ]; then t_status="locked"; break; fi
      sleep 5
      continue
    fi
    break
  done
  record "$corpus" "$tool" "$run"
  printf '%s\t%s\t%s\t%s\n' "$corpus" "$tool" "$run" "$(cat "$results/temporary")" >> "$results/temporary.tsv"
  if [ "$t_status" != ok ]; then
    # The last file the run started on is the one that stopped it.
    local last=""
    [ -f "$mz/MizentaErrLog.txt" ] &&
      last=$(iconv -c -f CP932 -t UTF-8 "$mz/MizentaErrLog.txt" | tr -d '\r' | grep 'を処理中$' | tail -1)
    echo "$corpus: $tool run $run: $t_status; last file started: ${last:-?}" >> "$results/problems.txt"
    cp "$t_err" "$results/$corpus-$tool-$run.stderr" 2>/dev/null || true
    cp "$mz/MizentaErrLog.txt" "$results/$corpus-$tool-$run-MizentaErrLog.txt" 2>/dev/null || true
  fi
}

run_peer() {  # corpus tool run
  local corpus=$1 tool=$2 run=$3 list=$corpora/$1.list dir=$corpora/$1 files
  mapfile -t files < "$list"
  case $tool in
    cflow) timed "$dir" "${peer_memory[@]}" cflow -b -o /dev/null "${files[@]}" ;;
    cflow-plain) timed "$dir" cflow -b -o /dev/null "${files[@]}" ;;
    cflow-cpp) timed "$dir" "${peer_memory[@]}" cflow --cpp -b -o /dev/null "${files[@]}" ;;
    cloc) timed "$dir" "${peer_memory[@]}" cloc --quiet --list-file="$list" ;;
    ctags)
      timed "$dir" "${peer_memory[@]}" ctags -f "$results/tags.tmp" -L "$list"
      rm -f "$results/tags.tmp" ;;
    wc) timed "$dir" "${peer_memory[@]}" wc -l --files0-from="$corpora/$corpus.list0" ;;
    floor) timed "$dir" "${peer_memory[@]}" "$work/floor" "$list" ;;
  esac
  record "$corpus" "$tool" "$run"
  [ "$t_status" = ok ] || echo "$corpus: $tool run $run: $t_status" >> "$results/problems.txt"
}

# Files and bytes of a corpus, as every tool sees them.
describe() {
  local files bytes
  files=$(wc -l < "$corpora/$1.list")
  bytes=$(cd "$corpora/$1" && wc -c --files0-from="$corpora/$1.list0" | tail -1 | awk '{print $1}')
  printf '%s\t%s\t%s\n' "$1" "$files" "$bytes" >> "$results/corpora.tsv"
}
: > "$results/corpora.tsv"

# One corpus: the tools take turns run after run, so a change in the load of
# the machine falls on all of them alike. The files are read once before,
# so no tool pays for the disk.
bench_corpus() {  # corpus mizenta-target tools...
  local corpus=$1 target=$2
  shift 2
  describe "$corpus"
  say "$corpus: $(cut -f2 <<<"$(tail -1 "$results/corpora.tsv")") files, tools: mizenta $*"
  (cd "$corpora/$corpus" && xargs -0 cat < "$corpora/$corpus.list0" > /dev/null)
  local r tool
  for r in $(seq 1 "$runs"); do
    run_mizenta "$corpus" "$r" "$target"
    if [ -n "$baseline" ]; then
      local base=$baseline
      reads_sources_only "$corpus" && base=$baseline-src
      run_mizenta "$corpus" "$r" "$target" "$base" baseline
    fi
    for tool in "$@"; do
      case " ${BENCH_SKIP:-} " in *" $tool "* | *" $corpus:$tool "*) continue ;; esac
      case $tool in
        headers-*) run_mizenta "$corpus" "$r" "$target" "$work/$tool" "$tool" ;;
        *) run_peer "$corpus" "$tool" "$r" ;;
      esac
    done
  done
}

start_load=$(cut -d' ' -f1-3 /proc/loadavg)
started=$(date -u '+%Y-%m-%d %H:%M UTC')
say "program $build/mizenta, $runs runs per tool, corpora: $corpora_wanted"

if wanted glibc; then
  bench_corpus glibc "$corpora/glibc" cflow cloc ctags wc
  # The function list of the last run, for the comparison with ctags.
  if [ -f "$mz/Mz一覧Func.txt" ]; then
    cp "$mz/Mz一覧Func.txt" "$results/glibc-functions.txt"
    say "glibc: comparing the function list with the definitions found by ctags"
    bench/compare-definitions.sh "$corpora/glibc" "$corpora/glibc.list" \
      "$results/glibc-functions.txt" build/bench/results > "$results/compare-glibc.md" ||
      echo "glibc: the comparison of definitions failed" >> "$results/problems.txt"
  fi
fi
wanted glibc-c && bench_corpus glibc-c "$corpora/glibc-c/" cflow cflow-cpp ctags floor wc
wanted lua && bench_corpus lua "$corpora/lua" headers-once headers-unread cflow cflow-plain cflow-cpp \
  ctags floor wc
wanted cpp && bench_corpus cpp "$corpora/cpp" cloc ctags wc
wanted vb && bench_corpus vb "$corpora/vb" cloc ctags wc
wanted pascal && bench_corpus pascal "$corpora/pascal" cloc ctags floor wc
wanted java && bench_corpus java "$corpora/java" cloc ctags floor wc
if wanted generated; then
  first=1
  for s in $scales; do
    if [ $first -eq 1 ]; then
      bench_corpus "gen-${s}x" "$corpora/gen-${s}x" cflow cloc ctags wc
      first=0
    else
      bench_corpus "gen-${s}x" "$corpora/gen-${s}x" wc
    fi
  done
fi
wanted single && bench_corpus single "$corpora/single/big.c" wc
wanted glibc-single && bench_corpus glibc-single "$corpora/glibc-single/glibc.c" wc
clear_reports
clear_reports "$mz_src"
for pair in $header_modes; do clear_reports "$work/${pair%%:*}"; done

say "writing bench/RESULTS.md"
BENCH_STARTED=$started BENCH_START_LOAD=$start_load BENCH_END_LOAD=$(cut -d' ' -f1-3 /proc/loadavg) \
BENCH_RUNS=$runs BENCH_PROGRAM=$build/mizenta BENCH_CORPORA_DIR=$corpora \
BENCH_PROGRAM_MTIME=$program_mtime BENCH_COMMIT=$program_commit BENCH_DIRTY=$program_dirty \
BENCH_PROGRAM_CHANGED=$([ "$(stat -c %Y "$build/mizenta")" = "$program_mtime" ] && echo 0 || echo 1) \
  python3 bench/write_results.py "$results" bench/RESULTS.md
if [ -s "$results/problems.txt" ]; then
  say "problems:"
  sed 's/^/  /' "$results/problems.txt"
fi
say "done: bench/RESULTS.md"
