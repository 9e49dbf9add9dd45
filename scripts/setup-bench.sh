#!/usr/bin/env bash
# Installs what the benchmarks need, when it is missing: the peer tools and
# the source packages the corpora come from. Quick when all is there.
set -eu

# package, and the test that says it is already there
needs=(
  "cflow|command -v cflow"
  "cloc|command -v cloc"
  "universal-ctags|ctags --version 2>/dev/null | grep -q 'Universal Ctags'"
  "time|test -x /usr/bin/time"
  "xz-utils|command -v xz"
  "unzip|command -v unzip"
  "python3|command -v python3"
  "glibc-source|ls /usr/src/glibc/glibc-*.tar.xz"
  "fpc-source|ls -d /usr/share/fpcsrc/*/rtl"
  "openjdk-17-source|test -f /usr/lib/jvm/openjdk-17/lib/src.zip"
)
missing=()
for need in "${needs[@]}"; do
  package=${need%%|*}
  check=${need#*|}
  bash -c "$check" >/dev/null 2>&1 || missing+=("$package")
done

sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
apt_install() {
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

updated=0
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup-bench: installing ${missing[*]}"
  $sudo_cmd apt-get update -qq
  updated=1
  apt_install "${missing[@]}"
fi

# hyperfine is only a convenience for looking at single commands by hand.
if ! command -v hyperfine >/dev/null 2>&1; then
  [ $updated -eq 1 ] || $sudo_cmd apt-get update -qq || true
  apt_install hyperfine || echo "setup-bench: hyperfine not available (optional)"
fi
