#!/usr/bin/env bash
# Runs every test: the Linux build (unit tests, end-to-end tests of the
# program and of mizenta.exe under Wine) and the sanitizer build (unit and
# end-to-end tests of the instrumented program).
set -u
linux=$1
asan=$2
status=0
if [ -z "${DISPLAY:-}" ]; then
  # One virtual display for every Wine run of the session.
  Xvfb :73 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=:73
  trap 'kill $xvfb 2>/dev/null' EXIT
  sleep 1
fi
echo "== tests of $linux"
(cd "$linux" && ctest --output-on-failure -j 2) || status=1
echo "== tests of $asan (AddressSanitizer, UndefinedBehaviorSanitizer)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$asan" && ctest --output-on-failure -j 2 -E '_wine') || status=1
exit $status
