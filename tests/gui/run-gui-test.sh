#!/usr/bin/env bash
# Runs the GUI test: gui_driver.exe drives a copy of mizenta.exe under Wine,
# on a virtual desktop of Wine's own (its screenshots then show the window
# frames), and leaves its sources (and a copy of the sample sources),
# screenshots and result in WORK_FOLDER.
# Message boxes are the test's to answer, so run-wine.sh leaves them alone.
# Usage: run-gui-test.sh WINDOWS_BUILD_FOLDER WORK_FOLDER
set -u
bin=$(cd "$1" && pwd)
work=$2
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
for f in mizenta.exe calvex.dll gui_driver.exe gui_probe.dll; do
  [ -f "$bin/$f" ] || { echo "run-gui-test: $bin/$f is missing"; exit 1; }
done
rm -rf "$work"
mkdir -p "$work/program"
work=$(cd "$work" && pwd)
cp "$bin/mizenta.exe" "$bin/calvex.dll" "$work/program/"
cp -r "$(dirname "$0")/../../samples/inventory" "$work/"
MZ_WINE_ANSWER_BOXES=no "$(dirname "$0")/../wine/run-wine.sh" \
  explorer /desktop=MizentaGuiTest,800x600 "$(windows_path "$bin/gui_driver.exe")" \
  "$(windows_path "$work")" "$(windows_path "$bin/gui_probe.dll")"
rm -rf "$work/long"  # the sources of the long runs: 60 MB
[ -f "$work/result.txt" ] || { echo "run-gui-test: the driver left no result"; exit 1; }
cat "$work/result.txt"
[ "$(cat "$work/result.txt")" = passed ]
