#!/usr/bin/env bash
# Cross-builds the workbook library (libxlsxwriter) and zlib, which it
# needs, for mingw-w64 from their Debian source packages, once, into
# build/deps/mingw-w64 (include/, lib/), where the Windows build finds
# them. Quick when they are there. Needs a deb-src entry for the suite of
# the installed system; one is added when apt-get finds no source.
set -eu
cd "$(dirname "$0")/.."
prefix=$PWD/build/deps/mingw-w64
[ -f "$prefix/lib/libxlsxwriter.a" ] && [ -f "$prefix/lib/libz.a" ] && exit 0

sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
if ! apt-get source -qq --download-only libxlsxwriter zlib >/dev/null 2>&1; then
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  echo "setup: adding the Debian source entry for $suite"
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$suite" | $sudo_cmd tee /etc/apt/sources.list.d/mizenta-src.sources >/dev/null
  $sudo_cmd apt-get update -qq
  apt-get source -qq --download-only libxlsxwriter zlib >/dev/null 2>&1
fi
# The archive's keyring is not at hand to check the .dsc signatures; apt
# has checked the files' hashes against the signed index.
dpkg-source -x zlib_*.dsc zlib >/dev/null 2>&1
dpkg-source -x libxlsxwriter_*.dsc xlsxwriter >/dev/null 2>&1

echo "setup: building zlib and libxlsxwriter for mingw-w64"
mkdir -p "$prefix/include" "$prefix/lib"
# zlib's core files, as its own makefiles list them (Debian's source has
# no Windows makefile).
(cd zlib && for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback \
    inffast inflate inftrees trees uncompr zutil; do
  x86_64-w64-mingw32-gcc -O2 -c "$f.c" -o "$f.o"
done && x86_64-w64-mingw32-ar rcs libz.a ./*.o)
cp zlib/zlib.h zlib/zconf.h "$prefix/include/"
cp zlib/libz.a "$prefix/lib/"

cmake -S xlsxwriter -B xlsxwriter/build -DCMAKE_TOOLCHAIN_FILE="$OLDPWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DZLIB_INCLUDE_DIR="$prefix/include" \
  -DZLIB_LIBRARY="$prefix/lib/libz.a" -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build xlsxwriter/build -j 2 >/dev/null
cmake --install xlsxwriter/build >/dev/null
# The library file name differs between its build types; one name for ours.
[ -f "$prefix/lib/libxlsxwriter.a" ] || cp "$(find "$prefix/lib" -name 'libxlsxwriter*.a' | head -1)" "$prefix/lib/libxlsxwriter.a"
