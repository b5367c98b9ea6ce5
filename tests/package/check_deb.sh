#!/usr/bin/env bash
# Builds the Debian package from this build tree and checks it: its control
# fields, that every installed file is in it, and lintian's verdict.
# check_deb.sh BUILD_DIR VERSION [EXPECTED_FILE...]
set -euo pipefail
build=$1 version=$2
shift 2
out=$(mktemp -d -t zarn-deb.XXXXXX)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
deb=$out/zarn_${version}_amd64.deb
[[ -f $deb ]] || { echo "no package at $deb"; ls "$out"; exit 1; }

failures=0
expect() {  # expect FIELD PATTERN
  local value
  value=$(dpkg-deb -f "$deb" "$1")
  if [[ ! $value =~ $2 ]]; then
    echo "control field $1 is '$value', expected to match '$2'"
    failures=$((failures + 1))
  fi
}
expect Package '^zarn$'
expect Version "^${version}$"
expect Architecture '^amd64$'
expect Section '^electronics$'
expect Depends 'libqt6widgets6'
expect Depends 'libc6'
expect Description '^calculator for video display timings'

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for expected in "$@"; do
  if ! grep -qx "./$expected" <<<"$files"; then
    echo "missing from the package: /$expected"
    failures=$((failures + 1))
  fi
done

# lintian warns that it runs as root (as it does in containers and CI); that
# line is not about the package.
lintian_status=0
lintian --fail-on error "$deb" >"$out/lintian.log" 2>&1 || lintian_status=$?
grep -v '^running with root privileges' "$out/lintian.log" || true
if [[ $lintian_status -ne 0 ]]; then
  echo "lintian reports errors"
  failures=$((failures + 1))
fi
echo "$failures failed"
[[ $failures -eq 0 ]]
