#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, quietly, in the project's
# own Wine prefix, with a Japanese locale (system code page 932) and a
# virtual display for any window or message box. Message boxes are answered
# with Return after a moment, as a user would, so a run never waits.
# Runs under one prefix take turns: the program's single-instance mutex is
# one per prefix (its wineserver), and the answerer sees every window.
# Usage: run-wine.sh program.exe [arguments...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${MZ_WINEPREFIX:-$HOME/.cache/mizenta/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
"$here/prepare-prefix.sh" >/dev/null 2>&1
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
exec 9>"$WINEPREFIX.runs"
flock 9
answer_boxes() {
  while sleep 0.5; do
    for w in $(xdotool search --name '.' 2>/dev/null); do
      case "$(xdotool getwindowname "$w" 2>/dev/null)" in
        確認|処理終了) xdotool windowfocus "$w" key Return 2>/dev/null ;;
      esac
    done
  done
}
# The turn (descriptor 9) stays with this script: a wineserver that Wine
# starts outlives the run and must not keep it.
answerer=
if [ "${MZ_WINE_ANSWER_BOXES:-yes}" != no ]; then
  answer_boxes 9>&- &
  answerer=$!
fi
wine "$@" 9>&-
status=$?
if [ -n "$answerer" ]; then
  kill "$answerer" 2>/dev/null
  wait "$answerer" 2>/dev/null
fi
exit $status
