#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, quietly, in the project's
# own Wine prefix, with a Japanese locale (system code page 932) and a
# virtual display for any window or message box. Message boxes are answered
# with Return after a moment, as a user would, so a run never waits.
# Usage: run-wine.sh program.exe [arguments...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${MZ_WINEPREFIX:-$HOME/.cache/mizenta/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
if [ ! -d "$WINEPREFIX" ]; then
  "$here/prepare-prefix.sh" >/dev/null 2>&1
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
answer_boxes() {
  while sleep 0.5; do
    for w in $(xdotool search --name '.' 2>/dev/null); do
      case "$(xdotool getwindowname "$w" 2>/dev/null)" in
        確認|処理終了) xdotool windowfocus "$w" key Return 2>/dev/null ;;
      esac
    done
  done
}
answer_boxes &
answerer=$!
wine "$@"
status=$?
kill "$answerer" 2>/dev/null
wait "$answerer" 2>/dev/null
exit $status
