#!/usr/bin/env bash
# Build-time checks of the callbacks that the 32-bit program hands to
# Windows: with the release's compiler and warning flags, a callback of the
# right convention compiles and one of the wrong convention does not, also
# through the helpers of framework/callbacks.h.
#
#   callback_checks_test.sh SOURCE_DIR COMPILER FLAG...
set -uo pipefail
src=$1 cxx=$2
shift 2
flags=("$@")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/check-lib.sh"
command -v "$cxx" >/dev/null || { echo "FAIL: $cxx is missing (run scripts/setup)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/callbacks.cpp" <<'CPP'
#include "callbacks.h"
LRESULT CALLBACK StdcallProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
LRESULT CdeclProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
LRESULT CALLBACK OtherArgsProc(HWND, UINT) { return 0; }
DWORD CdeclThread(LPVOID) { return 0; }
BOOL CdeclEnum(HWND, LPARAM) { return TRUE; }
void Use() {
  CASE;
}
CPP

# One row per case: what it does, the statement, whether it compiles.
cases=(
  "a window procedure with CALLBACK|LONG_PTR v = WndProcValue(&StdcallProc); (void)v|yes"
  "a __cdecl window procedure|LONG_PTR v = WndProcValue(&CdeclProc); (void)v|no"
  "a __cdecl thread routine to CreateThread|CreateThread(nullptr, 0, &CdeclThread, nullptr, 0, nullptr)|no"
  "a __cdecl enumeration callback|EnumWindows(&CdeclEnum, 0)|no"
  "a WINAPI export|auto f = WinApiExport<BOOL(WINAPI*)(HWND)>(nullptr, \"x\"); (void)f|yes"
  "an export declared without WINAPI|auto f = WinApiExport<BOOL(*)(HWND)>(nullptr, \"x\"); (void)f|no"
  "a C-convention export declared WINAPI|auto f = CdeclExport<BOOL(WINAPI*)(HWND)>(nullptr, \"x\"); (void)f|no"
  "a cast between procedures of other arguments (-Wcast-function-type)|WNDPROC w = reinterpret_cast<WNDPROC>(&OtherArgsProc); (void)w|no"
)
for row in "${cases[@]}"; do
  IFS='|' read -r what statement want <<<"$row"
  if "$cxx" -std=c++17 -fsyntax-only "${flags[@]}" -I"$src/framework" "-DCASE=$statement" \
      "$work/callbacks.cpp" >"$work/out.txt" 2>&1; then
    got=yes
  else
    got=no
  fi
  check "$what compiles" "$want" "$got"
  [ "$want" = "$got" ] || sed 's/^/    /' "$work/out.txt" | head -n 5
done
[ "$failed" = 0 ] && echo "callback checks: all as expected"
exit "$failed"
