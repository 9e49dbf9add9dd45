#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each one for
# FUZZ_SECONDS (one process at a time), on working corpora under
# build/fuzz/corpus seeded from tests/fuzz/corpus. Crash, leak and timeout
# inputs are copied to tests/fuzz/regressions/<target>/, which make test
# replays. FUZZ_TARGETS picks targets (default: all four).
set -u
cd "$(dirname "$0")/.."
root=$PWD
build=${FUZZ_BUILD:-build/fuzz}
mkdir -p "$build" && build=$(cd "$build" && pwd)
seconds=${FUZZ_SECONDS:-600}
targets=${FUZZ_TARGETS:-"source_fuzz ini_fuzz settings_fuzz calvex_fuzz"}

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMZ_FUZZ=ON -DMZ_TESTS=ON >/dev/null || exit 1
# shellcheck disable=SC2086
cmake --build "$build" -j 2 --target $targets || exit 1

max_len() {
  case $1 in
    source_fuzz) echo 8192 ;;
    settings_fuzz) echo 24576 ;;  # the shipped file whole
    ini_fuzz) echo 4096 ;;
    *) echo 1024 ;;
  esac
}
seeds() {
  case $1 in
    calvex_fuzz) echo tests/calvex/corpus ;;
    *) echo "tests/fuzz/corpus/$1" ;;
  esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
summary=""
for target in $targets; do
  corpus=$build/corpus/$target
  artifacts=$build/artifacts/$target
  log=$build/$target.log
  mkdir -p "$corpus" "$artifacts"
  cp -n "$root/$(seeds "$target")"/* "$corpus"/ 2>/dev/null
  dict=()
  [ -f "tests/fuzz/$target.dict" ] && dict=(-dict="$root/tests/fuzz/$target.dict")
  echo "== $target: ${seconds}s, max_len $(max_len "$target")"
  # With -jobs libFuzzer writes fuzz-0.log in the working folder: the build.
  (cd "$build" && "$build/$target" "$corpus" "${dict[@]}" -max_len="$(max_len "$target")" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -jobs=1 -workers=1 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1)
  rc=$?
  [ -f "$build/fuzz-0.log" ] && cat "$build/fuzz-0.log" >>"$log" && rm -f "$build/fuzz-0.log"
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
  rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
  found=0
  for f in "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-*; do
    [ -f "$f" ] || continue
    mkdir -p "tests/fuzz/regressions/$target"
    cp "$f" "tests/fuzz/regressions/$target/"
    echo "   finding: tests/fuzz/regressions/$target/$(basename "$f")"
    found=$((found + 1))
  done
  if [ "$found" -gt 0 ] || { [ "$rc" -ne 0 ] && [ -z "$execs" ]; }; then
    status=1
    echo "   $target stopped (exit $rc); see $log"
  fi
  summary+=$(printf '%-12s %12s execs  %8s exec/s  %s findings' "$target" "${execs:-?}" "${rate:-?}" "$found")$'\n'
done
echo "== fuzz summary"
printf '%s' "$summary"
exit $status
