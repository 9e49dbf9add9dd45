#!/usr/bin/env bash
# Checks that libcalvex.so exports exactly Kaiseki and Kaiseki_VB.
# Usage: check_so_exports.sh path/to/libcalvex.so
set -u
symbols=$(nm -D --defined-only "$1" | awk '{print $NF}' | sort | tr '\n' ' ')
if [ "$symbols" != "Kaiseki Kaiseki_VB " ]; then
  echo "FAIL: $1 exports '$symbols'"
  exit 1
fi
echo "$1: exports as expected"
