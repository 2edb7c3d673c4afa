#!/usr/bin/env bash
# The Debian package of the tools: CPack makes it from this build, it holds
# nexora-cli and nexora-devsim under /usr/bin with the project's version,
# the programs run from the unpacked package and, as root, once installed.
#
#   deb_package_test.sh BUILD-DIR VERSION
set -u
BUILD=${1:?build directory}
VERSION=${2:?project version}
WORK=$(mktemp -d /tmp/nexora-deb.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
# shellcheck source=check-lib.sh
source "$(dirname "$0")/check-lib.sh"

(cd "$BUILD" && cpack -G DEB -B "$WORK/out" >"$WORK/cpack.log" 2>&1) || { cat "$WORK/cpack.log"; exit 1; }
deb="$WORK/out/nexora-tools_${VERSION}_amd64.deb"
check "package file" "$deb" "$(ls "$WORK"/out/*.deb)"
check "package name" nexora-tools "$(dpkg-deb -f "$deb" Package)"
check "package version" "$VERSION" "$(dpkg-deb -f "$deb" Version)"
check "architecture" amd64 "$(dpkg-deb -f "$deb" Architecture)"
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *libc6* ]] || { failed=1; echo "FAIL: Depends names no libc6: $depends"; }
check "programs" "./usr/bin/nexora-cli ./usr/bin/nexora-devsim" \
  "$(dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { print $6 }' | sort | tr '\n' ' ' | sed 's/ $//')"

dpkg-deb -x "$deb" "$WORK/root"
out=$("$WORK/root/usr/bin/nexora-cli" --help)
check "nexora-cli --help from the package: exit status" 0 "$?"
check "nexora-cli --help from the package: first line" \
  "Usage: nexora-cli [--verbose] COMMAND [ARGUMENTS] [OPTIONS]" "$(head -n 1 <<<"$out")"
"$WORK/root/usr/bin/nexora-devsim" --help >"$WORK/devsim.out" 2>&1
check "nexora-devsim --help from the package: exit status" 0 "$?"
# Installed as a person would, where the test may: as root, and only when
# no nexora-tools is installed already (it is removed again afterwards).
if [ "$(id -u)" -eq 0 ] && ! dpkg-query -W nexora-tools >/dev/null 2>&1; then
  if dpkg -i "$deb" >"$WORK/dpkg.log" 2>&1; then
    out=$(/usr/bin/nexora-cli --help)
    check "nexora-cli --help installed: exit status" 0 "$?"
    check "nexora-cli --help installed: first line" \
      "Usage: nexora-cli [--verbose] COMMAND [ARGUMENTS] [OPTIONS]" "$(head -n 1 <<<"$out")"
    dpkg -r nexora-tools >>"$WORK/dpkg.log" 2>&1 || { failed=1; echo "FAIL: dpkg -r"; cat "$WORK/dpkg.log"; }
  else
    failed=1
    echo "FAIL: dpkg -i"
    cat "$WORK/dpkg.log"
  fi
fi
[ "$failed" -eq 0 ] && echo "package checks passed"
[ "$failed" -eq 0 ]
