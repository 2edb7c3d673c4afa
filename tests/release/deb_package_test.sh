#!/usr/bin/env bash
# The Debian package of the tools: CPack makes it from this build, lintian
# finds nothing in it, it holds nexora-cli and nexora-devsim under /usr/bin
# with their manual pages, the copyright file and the changelog, the
# programs run from the unpacked package and tell the project's version,
# and, as root, they run once installed.
#
#   deb_package_test.sh BUILD-DIR VERSION COPYRIGHT-NOTICE
set -u
BUILD=${1:?build directory}
VERSION=${2:?project version}
COPYRIGHT=${3:?copyright notice}
WORK=$(mktemp -d /tmp/nexora-deb.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
# shellcheck source=check-lib.sh
source "$(dirname "$0")/check-lib.sh"
command -v lintian >/dev/null || { echo "FAIL: lintian is missing (run scripts/setup)"; exit 1; }

# The manual pages and the changelog are built files; CPack only installs.
cmake --build "$BUILD" --target nexora-cli nexora-devsim nexora-tools-docs >"$WORK/build.log" 2>&1 ||
  { cat "$WORK/build.log"; exit 1; }
(cd "$BUILD" && cpack -G DEB -B "$WORK/out" >"$WORK/cpack.log" 2>&1) || { cat "$WORK/cpack.log"; exit 1; }
deb="$WORK/out/nexora-tools_${VERSION}_amd64.deb"
check "package file" "$deb" "$(ls "$WORK"/out/*.deb)"
check "package name" nexora-tools "$(dpkg-deb -f "$deb" Package)"
check "package version" "$VERSION" "$(dpkg-deb -f "$deb" Version)"
check "architecture" amd64 "$(dpkg-deb -f "$deb" Architecture)"
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *libc6* ]] || { failed=1; echo "FAIL: Depends names no libc6: $depends"; }

# lintian's default output (errors and warnings; as root it also warns on
# standard error that it runs as root, which says nothing of the package).
check "lintian" "" "$(lintian "$deb" 2>&1 | grep -vx 'running with root privileges is not recommended!')"

doc=usr/share/doc/nexora-tools
man=usr/share/man/man1
check "files" "./usr/bin/nexora-cli ./usr/bin/nexora-devsim ./$doc/changelog.gz ./$doc/copyright ./$doc/nexora-devsim.md ./$man/nexora-cli.1.gz ./$man/nexora-devsim.1.gz" \
  "$(dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { print $6 }' | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')"

dpkg-deb -x "$deb" "$WORK/root"
check "copyright: the About box's notice" 1 "$(grep -cxF " $COPYRIGHT" "$WORK/root/$doc/copyright")"
grep -qE '^Copyright: [0-9]{4}' "$WORK/root/$doc/copyright" ||
  { failed=1; echo "FAIL: the copyright file names no years"; }
gunzip -c "$WORK/root/$doc/changelog.gz" >"$WORK/changelog"
check "changelog: newest version" "$VERSION" "$(dpkg-parsechangelog -l "$WORK/changelog" -S Version)"
check "changelog: maintainer" "$(dpkg-deb -f "$deb" Maintainer)" "$(dpkg-parsechangelog -l "$WORK/changelog" -S Maintainer)"
for program in nexora-cli nexora-devsim; do
  page=$(gunzip -c "$WORK/root/$man/$program.1.gz")
  check "$program.1: title line" "\"$program $VERSION\"" "$(sed -n 's/^\.TH [^ ]* "1" "[^"]*" \("[^"]*"\).*/\1/p' <<<"$page")"
  grep -qxF -- '\fB\-\-version\fR' <<<"$page" || { failed=1; echo "FAIL: $program.1 does not document --version"; }
  check "$program.1: copyright" 1 "$(grep -cxF "$COPYRIGHT" <<<"$page")"
  out=$("$WORK/root/usr/bin/$program" --version)
  check "$program --version from the package: exit status" 0 "$?"
  check "$program --version from the package" "$program $VERSION" "$out"
done

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
