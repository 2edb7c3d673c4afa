#!/bin/bash
# nexora-payload-check on a folder: generated stand-ins pass; a damaged,
# a missing and a foreign file each fail with the file named.
set -u
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0
expect() {  # expect WHAT EXIT-CODE TEXT
  local what=$1 code=$2 text=$3 out rc
  out=$("$tool" "$dir" 2>&1); rc=$?
  if [[ $rc != "$code" ]] || ! grep -qF -- "$text" <<<"$out"; then
    echo "FAIL $what: expected exit $code and \"$text\", got exit $rc:"; echo "$out" | tail -5; fail=1
  else
    echo "ok   $what"
  fi
}

"$tool" --generate "$dir" || { echo "FAIL generate"; exit 1; }
expect "stand-ins" 0 "43 files: 0 mismatched, 39 stand-ins, 4 header-only, 0 device files"
expect "stand-in named" 0 "nls_cp850.o (CODEPAGE 145): ok, stand-in"

truncate -s -1 "$dir/nls_cp850_12.ko"
expect "short file" 1 "nls_cp850_12.ko (CODEPAGE 187): size 5782, expected 5783"
"$tool" --generate "$dir"

rm "$dir/btdog"
expect "missing file" 1 "btdog (BT 220): missing"
"$tool" --generate "$dir"

cp "$dir/unicode_map.850" "$dir/unicode_map.866"
expect "171 not 169" 1 "unicode_map.866 (CODEPAGE 171): not the same bytes as entry 169"

"$tool" --rc "$dir" "$dir/p.rc"
if ! { grep -qF "215 BT \"$dir/bt\"" "$dir/p.rc" && grep -qF "194 CODEPAGE \"$dir/nls_koi8-r_12.ko\"" "$dir/p.rc"; }; then
  echo "FAIL resource script"
  fail=1
fi
"$tool" >/dev/null 2>&1; [[ $? == 2 ]] || { echo "FAIL usage exit code"; fail=1; }
exit $fail
