#!/usr/bin/env bash
# scripts/package-zip on small stand-in programs: the version comes from the
# version resource, stand-in payloads are refused unless --test-payloads
# (and the zip then says so), and the zip holds the program, README.txt and
# a SHA-256 list that checks.
#
#   package_zip_test.sh SOURCE-DIR
set -u
export LC_ALL=C
SRC=${1:?source directory}
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

# case | version words | marker? | flag | exit status | zip written
while IFS='|' read -r what high low stand flag rc zipname; do
  [ -n "$what" ] || continue
  rm -rf "$WORK/out" "$WORK/x"
  if [ "$stand" == yes ]; then fake_program "$WORK/p.exe" "$high" "$low" "$marker"; else fake_program "$WORK/p.exe" "$high" "$low"; fi
  bash "$SRC/scripts/package-zip" "$WORK/p.exe" "$WORK/out" ${flag:+"$flag"} >"$WORK/log" 2>&1
  check "$what: exit status" "$rc" "$?"
  check "$what: files written" "$zipname" "$(listing "$WORK/out")"
  [ -n "$zipname" ] || continue
  mkdir -p "$WORK/x" && (cd "$WORK/x" && cmake -E tar xf "$WORK/out/$zipname")
  check "$what: contents" "NexoraStorageUtility.exe README.txt SHA256SUMS.txt" \
    "$(listing "$WORK/x")"
  check "$what: the program unchanged" "$(sha256sum <"$WORK/p.exe")" "$(sha256sum <"$WORK/x/NexoraStorageUtility.exe")"
  (cd "$WORK/x" && sha256sum --quiet -c SHA256SUMS.txt)
  check "$what: SHA256SUMS.txt checks" 0 "$?"
  check "$what: README.txt has CRLF lines" "$(wc -l <"$SRC/README.md")" "$(grep -c $'\r$' "$WORK/x/README.txt")"
done <<'EOF_CASES'
device payloads|00050001|00010002|no||0|NexoraStorageUtility-5.1.1.2-win32.zip
stand-ins refused|00050001|00010002|yes||1|
stand-ins with --test-payloads|00050001|00010002|yes|--test-payloads|0|NexoraStorageUtility-5.1.1.2-win32-test-payloads.zip
another version|0006000a|00000003|no||0|NexoraStorageUtility-6.10.0.3-win32.zip
EOF_CASES

printf 'MZ no version here' >"$WORK/bare.exe"
bash "$SRC/scripts/package-zip" "$WORK/bare.exe" "$WORK/bare" >/dev/null 2>&1
check "a program without a version resource: exit status" 1 "$?"
check "a program without a version resource: no zip" "" "$(listing "$WORK/bare")"
[ "$failed" -eq 0 ] && echo "zip checks passed"
[ "$failed" -eq 0 ]
