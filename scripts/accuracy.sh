#!/usr/bin/env bash
# Measures the functions and call edges found in the real C trees of the
# shared corpora against the compiler's own call graph, beside GNU cflow
# (bench/accuracy.py says how), and writes the tables to standard output
# and to build/accuracy/RESULTS.md.
#
#   scripts/accuracy.sh [build folder] [tree ...]
#   (default build/linux, ../shared/corpora/c/lua and ../shared/corpora/c/zlib)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/linux}
shift || true
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(../shared/corpora/c/lua ../shared/corpora/c/zlib)
if ! command -v cflow >/dev/null; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends cflow >/dev/null ||
    echo "accuracy: cflow could not be installed; its rows are left out"
fi
[ -x "$build/mizenta" ] || { echo "accuracy: no program at $build/mizenta (make build)" >&2; exit 1; }
mkdir -p build/accuracy
/usr/bin/python3 bench/accuracy.py "$build" build/accuracy "${trees[@]}" | tee build/accuracy/RESULTS.md
