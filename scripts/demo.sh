#!/usr/bin/env bash
# Analyses the bundled sample sources with every report on, shows the call
# tree and the step counts, and ends with where the reports are, how to read
# them and what to try next.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/linux}
out=build/demo
rm -rf "$out"
status=0
"$build/mizenta" --all-reports -o "$out" samples/inventory || status=$?
for report in MizentaLog.txt MzStepLog.txt; do
  [ -f "$out/$report" ] || continue
  echo
  echo "== $report (first lines)"
  iconv -f CP932 -t UTF-8 "$out/$report" | tr -d '\r' | head -n 25
done
cat <<END

Reports of samples/inventory (exit status $status): $(pwd)/$out/
$(ls "$out" | sed 's/^/  /')
They are Shift-JIS text with CR LF line ends. Read one in UTF-8:
  iconv -f CP932 -t UTF-8 $out/Mz関数詳細情報.txt | less
or have the program write UTF-8 in the first place (--encoding utf-8).
Next, your own sources:
  $build/mizenta --all-reports -o /tmp/mz-reports path/to/your/src
  ($build/mizenta --help lists every switch)
END
