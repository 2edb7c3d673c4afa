#!/usr/bin/env bash
# scripts/include-direction on a copy of the tree's sources: clean as they
# are, and one trial include per case that either breaks the direction (it
# must be reported, naming the file and the folder) or keeps it.
#
#   include_direction_test.sh SOURCE_DIR
set -uo pipefail
src=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/check-lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$src" && find protocol framework skin resources app addons tools tests \
  -name '*.h' -o -name '*.cpp' -o -name '*.c' -o -name '*.rc') |
  while read -r f; do mkdir -p "$work/$(dirname "$f")" && cp "$src/$f" "$work/$f"; done
mkdir -p "$work/scripts" && cp "$src/scripts/include-direction" "$work/scripts/"

out=$(python3 "$work/scripts/include-direction" "$work" 2>&1)
check "the tree as it is" "0:" "$?:$out"

# One row per case: the including file, the include, what the check prints
# ("" when the include is allowed).
cases=(
  'addons/bt_flow.cpp|../app/window/main_dlg.h|addons/bt_flow.cpp:N: "../app/window/main_dlg.h" is in app/window/, which addons/ may not use'
  'addons/language_flow.cpp|window/main_dlg.h|addons/language_flow.cpp:N: "window/main_dlg.h" is in app/window/, which addons/ may not use'
  'app/login_dlg.cpp|main_dlg.h|app/login_dlg.cpp:N: "main_dlg.h" is in app/window/, which app/ may not use'
  'app/window/drive_mapping.cpp|install_run.h|app/window/drive_mapping.cpp:N: "install_run.h" is in addons/, which app/window/ may not use'
  'protocol/transport.cpp|framework.h|protocol/transport.cpp:N: "framework.h" is in framework/, which protocol/ may not use'
  'app/core/drive_table.cpp|app_fixture.h|app/core/drive_table.cpp:N: "app_fixture.h" is a test header'
  'tools/payload-check/main.cpp|install_run.h|tools/payload-check/main.cpp:N: "install_run.h" is in addons/, which tools/payload-check/ may not use'
  'addons/bt_flow.cpp|login_dlg.h|'
  'app/window/main_dlg.cpp|addon_entry.h|'
  'tools/payload-check/main.cpp|payload_rows.h|'
)
for row in "${cases[@]}"; do
  IFS='|' read -r file include expected <<<"$row"
  if [ ! -f "$work/$file" ]; then
    check "$file exists" yes no
    continue
  fi
  cp "$work/$file" "$work/$file.orig"
  printf '#include "%s"\n' "$include" >>"$work/$file"
  line=$(wc -l <"$work/$file")
  got=$(python3 "$work/scripts/include-direction" "$work" 2>&1)
  rc=$?
  check "$file including $include" "$([ -n "$expected" ] && echo 1 || echo 0):${expected//:N:/:$line:}" "$rc:$got"
  mv "$work/$file.orig" "$work/$file"
done
[ "$failed" -eq 0 ] && echo "include direction: all cases as expected"
exit "$failed"
