#!/usr/bin/env bash
# Measures the functions and call edges found in real C trees against the
# compiler's own call graph, beside GNU cflow (bench/accuracy.py says how),
# and writes the tables to standard output and to build/accuracy/RESULTS.md.
#
#   scripts/accuracy.sh [build folder] [tree ...]
#   (default build/linux; lua and zlib of ../shared/corpora/c, and libyaml,
#   gawk and jq from their Debian sources, prepared by
#   scripts/accuracy-corpora.sh)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/linux}
shift || true
trees=("$@")
if [ ${#trees[@]} -eq 0 ]; then
  scripts/accuracy-corpora.sh
  trees=(../shared/corpora/c/lua ../shared/corpora/c/zlib build/accuracy/corpora/libyaml
         build/accuracy/corpora/gawk build/accuracy/corpora/jq)
fi
if ! command -v cflow >/dev/null; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends cflow >/dev/null ||
    echo "accuracy: cflow could not be installed; its rows are left out"
fi
[ -x "$build/mizenta" ] || { echo "accuracy: no program at $build/mizenta (make build)" >&2; exit 1; }
mkdir -p build/accuracy
/usr/bin/python3 bench/accuracy.py "$build" build/accuracy "${trees[@]}" | tee build/accuracy/RESULTS.md
