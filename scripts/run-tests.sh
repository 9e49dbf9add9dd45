#!/usr/bin/env bash
# Runs every test: the Linux build (unit tests, once more each in a shuffled
# order, end-to-end tests of the program and of mizenta.exe under Wine) and
# the sanitizer build (unit and end-to-end tests of the instrumented
# program). A run has its own virtual display and the Linux build folder
# its own Wine prefix, so runs of two clones on one machine do not meet.
set -u
linux=$(cd "$1" && pwd)
asan=$(cd "$2" && pwd)
seed=${MZ_SHUFFLE_SEED:-2024}
here=$(cd "$(dirname "$0")/.." && pwd)
status=0

# A display of our own: Xvfb picks a free number and writes it when ready.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  kill -0 $xvfb 2>/dev/null || break
  sleep 0.1
done
if [ -s "$display_file" ]; then
  export DISPLAY=:$(head -n 1 "$display_file")
else
  echo "run-tests: Xvfb did not start; each Wine run starts its own display"
  unset DISPLAY
fi

# The Wine prefix of this build folder, made on its first run.
export MZ_WINEPREFIX=$linux/wine-prefix
"$here/tests/wine/prepare-prefix.sh" >/dev/null 2>&1 ||
  echo "run-tests: the Wine prefix $MZ_WINEPREFIX could not be prepared"

echo "== tests of $linux"
log=$linux/ctest.log
(cd "$linux" && ctest --output-on-failure -j 2) 2>&1 | tee "$log"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
wine_run=$(grep -cE 'Test +#[0-9]+: [^ ]*_wine ' "$log")
wine_passed=$(grep -cE 'Test +#[0-9]+: [^ ]*_wine .* Passed' "$log")
echo "== Wine cases run: $wine_run, passed: $wine_passed"

echo "== unit tests of $linux in a shuffled order (--gtest_random_seed=$seed)"
for program in "$linux"/*_tests; do
  case $(basename "$program") in
    e2e_tests | chop_tests) continue ;;  # runs of the program, not units
  esac
  if ! out=$("$program" --gtest_shuffle --gtest_random_seed="$seed" 2>&1); then
    echo "$out" | grep -E '^\[  FAILED  \]|Failure' | head -40
    echo "$(basename "$program"): FAILED with --gtest_shuffle --gtest_random_seed=$seed"
    status=1
  else
    echo "$(basename "$program"): $(echo "$out" | grep -E '^\[  PASSED  \]')"
  fi
done

echo "== tests of $asan (AddressSanitizer, UndefinedBehaviorSanitizer)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$asan" && ctest --output-on-failure -j 2 -E '_wine') || status=1
exit $status
