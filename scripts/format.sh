#!/usr/bin/env bash
# The project's own C++ sources against .clang-format: "make format"
# rewrites them, and "scripts/format.sh --check" (a test of make test)
# names every file that differs and fails. The sample trees and the golden
# cases' inputs are analyser input, not code of ours, and stay as written.
set -eu
cd "$(dirname "$0")/.."
# Versions format differently: the one the tree was formatted with first.
formatter=${CLANG_FORMAT:-$(command -v clang-format-14 || echo clang-format)}
mapfile -t files < <(git ls-files '*.cc' '*.h' | grep -v -E '^(samples|tests/golden)/')
if [ "${1:-}" != "--check" ]; then
  "$formatter" -i "${files[@]}"
  exit 0
fi
differing=0
for f in "${files[@]}"; do
  if ! "$formatter" "$f" | cmp -s - "$f"; then
    echo "format: $f differs from .clang-format (make format rewrites it)"
    differing=$((differing + 1))
  fi
done
[ "$differing" -eq 0 ] || { echo "format: $differing files differ"; exit 1; }
