#!/usr/bin/env bash
# scripts/package-zip, first on small stand-in programs: the version comes
# from the version resource, stand-in payloads are refused unless
# --test-payloads (and the zip then says so), a command-line tool of another
# version is refused, and the zip holds exactly the program, nexora-cli.exe,
# the Windows README.txt and a SHA-256 list of those three that checks. Then
# on the windows-x86 build: its zip's nexora-cli.exe runs under Wine.
#
#   package_zip_test.sh SOURCE-DIR VERSION
set -u
export LC_ALL=C
SRC=${1:?source directory}
VERSION=${2:?project version}
WORK=$(mktemp -d /tmp/nexora-zip.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
# shellcheck source=check-lib.sh
source "$(dirname "$0")/check-lib.sh"
# listing DIR: the names in DIR, space-separated, in byte order.
listing() {
  local f out=""
  for f in "$1"/*; do [ -e "$f" ] && out+="${f##*/} "; done
  echo "${out% }"
}
marker=$(sed -n 's/^const char kStandInMarker\[\] = "\(.*\)";$/\1/p' "$SRC/tools/payload-check/payload_facts.cpp")

# fake_program FILE VERSION-WORDS... [MARKER]: an image with a version record
# (signature, structure version 1.0, file version high and low words).
fake_program() {
  python3 - "$@" <<'PY'
import struct, sys
path, high, low = sys.argv[1], int(sys.argv[2], 16), int(sys.argv[3], 16)
extra = sys.argv[4].encode() if len(sys.argv) > 4 else b""
# A lone signature without the structure version comes first: it must not count.
body = b"MZ" + b"\0" * 62 + struct.pack("<I", 0xFEEF04BD) + b"\0" * 12 + extra
body += struct.pack("<IIII", 0xFEEF04BD, 0x00010000, high, low) + b"\0" * 32
open(path, "wb").write(body)
PY
}
# fake_cli FILE VERSION: an image holding the line nexora-cli --version prints.
fake_cli() {
  printf 'MZ\0\0unknown option \0nexora-cli %s\n\0no command\0' "$2" >"$1"
}

# unpacked ZIP DIR WHAT: unpacks ZIP into DIR and checks its four files.
unpacked() {
  local zip=$1 x=$2 what=$3
  mkdir -p "$x" && (cd "$x" && cmake -E tar xf "$zip")
  check "$what: contents" "NexoraStorageUtility.exe README.txt SHA256SUMS.txt nexora-cli.exe" "$(listing "$x")"
  check "$what: SHA256SUMS.txt names the other files" "NexoraStorageUtility.exe nexora-cli.exe README.txt" \
    "$(tr -d '\r' <"$x/SHA256SUMS.txt" | awk '{ print $2 }' | tr '\n' ' ' | sed 's/ $//')"
  (cd "$x" && sha256sum --quiet -c SHA256SUMS.txt)
  check "$what: SHA256SUMS.txt checks" 0 "$?"
  check "$what: SHA256SUMS.txt has CRLF lines" 3 "$(grep -c $'\r$' "$x/SHA256SUMS.txt")"
  check "$what: README.txt is the Windows README with CRLF lines" \
    "$(sed 's/$/\r/' "$SRC/packaging/README-windows.txt" | sha256sum)" "$(sha256sum <"$x/README.txt")"
}

# case | version words | marker? | tool's version | flag | exit status | zip written
while IFS='|' read -r what high low stand tool flag rc zipname; do
  [ -n "$what" ] || continue
  rm -rf "$WORK/out" "$WORK/x"
  if [ "$stand" == yes ]; then fake_program "$WORK/p.exe" "$high" "$low" "$marker"; else fake_program "$WORK/p.exe" "$high" "$low"; fi
  fake_cli "$WORK/cli.exe" "$tool"
  bash "$SRC/scripts/package-zip" "$WORK/p.exe" "$WORK/cli.exe" "$WORK/out" ${flag:+"$flag"} >"$WORK/log" 2>&1
  check "$what: exit status" "$rc" "$?"
  check "$what: files written" "$zipname" "$(listing "$WORK/out")"
  [ -n "$zipname" ] || continue
  unpacked "$WORK/out/$zipname" "$WORK/x" "$what"
  check "$what: the program unchanged" "$(sha256sum <"$WORK/p.exe")" "$(sha256sum <"$WORK/x/NexoraStorageUtility.exe")"
  check "$what: the tool unchanged" "$(sha256sum <"$WORK/cli.exe")" "$(sha256sum <"$WORK/x/nexora-cli.exe")"
done <<'EOF_CASES'
device payloads|00050001|00010002|no|5.1.1.2||0|NexoraStorageUtility-5.1.1.2-win32.zip
stand-ins refused|00050001|00010002|yes|5.1.1.2||1|
stand-ins with --test-payloads|00050001|00010002|yes|5.1.1.2|--test-payloads|0|NexoraStorageUtility-5.1.1.2-win32-test-payloads.zip
another version|0006000a|00000003|no|6.10.0.3||0|NexoraStorageUtility-6.10.0.3-win32.zip
a tool of another version|00050001|00010002|no|5.1.1.1||1|
a tool whose version only starts alike|00050001|00010002|no|5.1.1.23||1|
EOF_CASES

printf 'MZ no version here' >"$WORK/bare.exe"
fake_cli "$WORK/cli.exe" 5.1.1.2
bash "$SRC/scripts/package-zip" "$WORK/bare.exe" "$WORK/cli.exe" "$WORK/bare" >/dev/null 2>&1
check "a program without a version resource: exit status" 1 "$?"
check "a program without a version resource: no zip" "" "$(listing "$WORK/bare")"

# The release build's zip; its nexora-cli.exe answers under Wine.
bin=$SRC/build/windows-x86/bin
if [ ! -f "$bin/NexoraStorageUtility.exe" ] || [ ! -f "$bin/nexora-cli.exe" ]; then
  echo "FAIL: expected NexoraStorageUtility.exe and nexora-cli.exe in $bin (cmake --preset windows-x86 &&" \
    "cmake --build --preset windows-x86 --target NexoraStorageUtility nexora-cli)"
  exit 1
fi
if bash "$SRC/scripts/package-zip" "$bin/NexoraStorageUtility.exe" "$bin/nexora-cli.exe" "$WORK/release" \
    --test-payloads >"$WORK/log" 2>&1; then
  zip=$(ls "$WORK"/release/*.zip)
  [[ "${zip##*/}" == NexoraStorageUtility-"$VERSION"-win32*.zip ]] ||
    { failed=1; echo "FAIL: the release zip ${zip##*/} does not carry version $VERSION"; }
  unpacked "$zip" "$WORK/rx" "the release zip"
  run_cli() { timeout 90 bash "$SRC/scripts/wine-run" "$WORK/rx/nexora-cli.exe" "$@" 2>"$WORK/wine.err" | tr -d '\r'; }
  out=$(run_cli --help)
  check "nexora-cli.exe --help under Wine: exit status" 0 "${PIPESTATUS[0]}"
  check "nexora-cli.exe --help under Wine: first line" \
    "Usage: nexora-cli [--verbose] COMMAND [ARGUMENTS] [OPTIONS]" "$(head -n 1 <<<"$out")"
  grep -qF -- "--version" <<<"$out" || { failed=1; echo "FAIL: nexora-cli.exe --help does not mention --version"; }
  out=$(run_cli --version)
  check "nexora-cli.exe --version under Wine: exit status" 0 "${PIPESTATUS[0]}"
  check "nexora-cli.exe --version under Wine" "nexora-cli $VERSION" "$out"
  [ "$failed" -eq 0 ] || sed 's/^/    wine: /' "$WORK/wine.err" | head -n 20
else
  failed=1
  echo "FAIL: package-zip on the windows-x86 build"
  cat "$WORK/log"
fi
[ "$failed" -eq 0 ] && echo "zip checks passed"
[ "$failed" -eq 0 ]
