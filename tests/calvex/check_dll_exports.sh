#!/usr/bin/env bash
# Checks the cross-built calvex.dll as other programs meet it: the export table
# holds exactly Kaiseki and Kaiseki_VB, only system DLLs are imported, and the
# version resource gives "0.10b" and the numeric version 0.1.0.0.
# Usage: check_dll_exports.sh path/to/calvex.dll
set -u
dll=$1
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

dump=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }

exports=$(printf '%s\n' "$dump" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
          sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
[ "$exports" = "Kaiseki Kaiseki_VB " ] || fail "exports are '$exports'"

while read -r name; do
  case "$name" in
    KERNEL32.dll|msvcrt.dll|api-ms-win-crt-*.dll) ;;
    *) fail "imports $name" ;;
  esac
done < <(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p')

for key in FileVersion ProductVersion; do
  value=$(strings -el "$dll" | grep -A1 -x "$key" | sed -n 2p)
  [ "$value" = "0.10b" ] || fail "$key is '$value'"
done

# VS_FIXEDFILEINFO: the signature, the structure version, then the file and
# product versions as two 32-bit halves each (0.1 and 0.0).
offset=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$dll" | head -1 | cut -d: -f1)
if [ -z "$offset" ]; then
  fail "no fixed version information"
else
  numbers=$(od -A n -t u2 -j $((offset + 8)) -N 16 "$dll" | tr -s ' ' | sed 's/^ //')
  [ "$numbers" = "1 0 0 0 1 0 0 0" ] || fail "numeric versions are '$numbers'"
fi

if [ "$failures" -eq 0 ]; then
  echo "calvex.dll: exports, imports and version resource as expected"
fi
exit $((failures > 0))
