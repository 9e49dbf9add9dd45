#!/usr/bin/env bash
# Installs what the build and the tests need, when it is missing, and
# prepares the Wine prefix and the Japanese locale. Quick when all is there.
#   scripts/setup.sh          everything: the Linux program, the Windows cross
#                             build, Wine and the tests
#   scripts/setup.sh --linux  only what the Linux program needs (make demo)
set -eu
cd "$(dirname "$0")/.."

linux_only=no
[ "${1:-}" = --linux ] && linux_only=yes

# The Linux program: compiler, build tools, the workbook library.
packages=(cmake make g++ libxlsxwriter-dev pkg-config)
if [ $linux_only = no ]; then
  packages+=(googletest libgtest-dev g++-mingw-w64-x86-64 mingw-w64-tools
             wine wine64 xvfb xauth xdotool fonts-ipafont-gothic locales
             python3-openpyxl dpkg-dev clang-format python3-jsonschema graphviz)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
[ $linux_only = yes ] && exit 0

# The Wine prefix speaks Japanese (code page 932) only where the locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo_cmd tee -a /etc/locale.gen >/dev/null
  $sudo_cmd locale-gen >/dev/null
fi

scripts/build-mingw-deps.sh ||
  echo "setup: the workbook library could not be built for Windows; mizenta.exe writes xls only through Excel"

tests/wine/prepare-prefix.sh >/dev/null 2>&1 || echo "setup: the Wine prefix could not be prepared"
