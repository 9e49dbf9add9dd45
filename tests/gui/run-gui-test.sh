#!/usr/bin/env bash
# Runs the GUI test: gui_driver.exe drives a copy of mizenta.exe, installed
# as it ships (the library, the settings data file and the help page beside
# it), under Wine, on a virtual desktop of Wine's own (its screenshots then
# show the window frames), and leaves its sources (and a copy of the sample
# sources), screenshots and result in WORK_FOLDER.
# Message boxes are the test's to answer, so run-wine.sh leaves them alone.
# Usage: run-gui-test.sh WINDOWS_BUILD_FOLDER WORK_FOLDER
set -u
bin=$(cd "$1" && pwd)
work=$2
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
shipped=(mizenta.exe calvex.dll Mizenta設定.dat Mizhlp.html)
for f in "${shipped[@]}" gui_driver.exe gui_probe.dll; do
  [ -f "$bin/$f" ] || { echo "run-gui-test: $bin/$f is missing"; exit 1; }
done
rm -rf "$work"
mkdir -p "$work/program"
work=$(cd "$work" && pwd)
for f in "${shipped[@]}"; do cp "$bin/$f" "$work/program/"; done
cp -r "$(dirname "$0")/../../samples/inventory" "$work/"
# The trees registered in bulk, made here where making files is quick: 20
# folders of 100 and of 5,000 small C files (enough that a registration
# is still going when the test stops it, however fast the machine).
/usr/bin/python3 - "$work" <<'EOF'
import os, sys
for tree, files in (("many", 100), ("huge", 5000)):
    for d in range(20):
        folder = os.path.join(sys.argv[1], tree, "d%d" % d)
        os.makedirs(folder)
        for f in range(files):
            with open(os.path.join(folder, "f%d.c" % f), "wb") as out:
                out.write(b"int x;\r\n")
EOF
MZ_WINE_ANSWER_BOXES=no "$(dirname "$0")/../wine/run-wine.sh" \
  explorer /desktop=MizentaGuiTest,800x600 "$(windows_path "$bin/gui_driver.exe")" \
  "$(windows_path "$work")" "$(windows_path "$bin/gui_probe.dll")"
rm -rf "$work/long" "$work/many" "$work/huge"  # the sources of the long runs (60 MB) and of registering
[ -f "$work/result.txt" ] || { echo "run-gui-test: the driver left no result"; exit 1; }
cat "$work/result.txt"
[ "$(cat "$work/result.txt")" = passed ]
