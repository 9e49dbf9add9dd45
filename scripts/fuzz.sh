#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each one for
# FUZZ_SECONDS or FUZZ_RUNS inputs, whichever ends first (one process at a
# time), on working corpora under build/fuzz/corpus seeded from
# tests/fuzz/corpus (and, with FUZZ_SEED_TREES, from the source files of
# those folders). Crash, leak and timeout inputs are copied to
# tests/fuzz/regressions/<target>/, which make test replays; each run is
# added to tests/fuzz/RUNS.md. FUZZ_TARGETS picks targets (default: all).
set -u
cd "$(dirname "$0")/.."
root=$PWD
build=${FUZZ_BUILD:-build/fuzz}
mkdir -p "$build" && build=$(cd "$build" && pwd)
seconds=${FUZZ_SECONDS:-600}
runs=${FUZZ_RUNS:--1}
targets=${FUZZ_TARGETS:-"c_fuzz cpp_fuzz java_fuzz vb_fuzz delphi_fuzz writer_fuzz ini_fuzz settings_fuzz calvex_fuzz"}
record=${FUZZ_RECORD:-tests/fuzz/RUNS.md}

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMZ_FUZZ=ON -DMZ_TESTS=ON >/dev/null || exit 1
# shellcheck disable=SC2086
cmake --build "$build" -j "${JOBS:-2}" --target $targets || exit 1

max_len() {
  case $1 in
    c_fuzz | cpp_fuzz | java_fuzz | vb_fuzz | delphi_fuzz) echo 8192 ;;
    settings_fuzz) echo 24576 ;;  # the shipped file whole
    ini_fuzz | writer_fuzz) echo 4096 ;;
    *) echo 1024 ;;
  esac
}
seeds() {
  case $1 in
    calvex_fuzz) echo tests/calvex/corpus ;;
    *) echo "tests/fuzz/corpus/$1" ;;
  esac
}
dictionary() {
  case $1 in
    calvex_fuzz) echo tests/calvex/calvex_fuzz.dict ;;
    *) echo "tests/fuzz/$1.dict" ;;
  esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
if [ ! -f "$record" ]; then
  {
    echo "# Fuzz runs"
    echo
    echo "Written by scripts/fuzz.sh (make fuzz, make fuzz-long): one row per target and run."
    echo
    echo "| date | commit | target | seconds | inputs | inputs/s | findings |"
    echo "|---|---|---|---|---|---|---|"
  } >"$record"
fi
commit=$(git rev-parse --short HEAD 2>/dev/null || echo "?")
status=0
summary=""
for target in $targets; do
  corpus=$build/corpus/$target
  artifacts=$build/artifacts/$target
  log=$build/$target.log
  mkdir -p "$corpus" "$artifacts"
  cp -n "$root/$(seeds "$target")"/* "$corpus"/ 2>/dev/null
  [ -n "${FUZZ_SEED_TREES:-}" ] &&
    /usr/bin/python3 scripts/fuzz-seeds.py "$target" "$corpus" "$(max_len "$target")" $FUZZ_SEED_TREES
  dict=()
  [ -f "$(dictionary "$target")" ] && dict=(-dict="$root/$(dictionary "$target")")
  echo "== $target: ${seconds}s or $runs inputs, max_len $(max_len "$target")"
  started=$(date +%s)
  # With -jobs libFuzzer writes fuzz-0.log in the working folder: the build.
  (cd "$build" && "$build/$target" "$corpus" "${dict[@]}" -max_len="$(max_len "$target")" \
    -max_total_time="$seconds" -runs="$runs" -timeout=10 -rss_limit_mb=2048 -jobs=1 -workers=1 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1)
  rc=$?
  took=$(($(date +%s) - started))
  [ -f "$build/fuzz-0.log" ] && cat "$build/fuzz-0.log" >>"$log" && rm -f "$build/fuzz-0.log"
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
  rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
  found=0
  names=""
  for f in "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-*; do
    [ -f "$f" ] || continue
    mkdir -p "tests/fuzz/regressions/$target"
    cp "$f" "tests/fuzz/regressions/$target/"
    echo "   finding: tests/fuzz/regressions/$target/$(basename "$f")"
    found=$((found + 1))
    names+="$(basename "$f") "
  done
  if [ "$found" -gt 0 ] || { [ "$rc" -ne 0 ] && [ -z "$execs" ]; }; then
    status=1
    echo "   $target stopped (exit $rc); see $log"
  fi
  echo "| $(date +%Y-%m-%d) | $commit | $target | $took | ${execs:-?} | ${rate:-?} | ${found}${names:+: $names} |" >>"$record"
  summary+=$(printf '%-14s %12s inputs  %6s s  %8s inputs/s  %s findings' "$target" "${execs:-?}" "$took" "${rate:-?}" "$found")$'\n'
done
echo "== fuzz summary (also in $record)"
printf '%s' "$summary"
exit $status
