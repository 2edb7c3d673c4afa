#!/usr/bin/env bash
# End-to-end test of the program with the keyboard alone: NexoraStorageUtility.exe
# under Wine in the client namespace with the mpr.dll stand-in beside it
# (as app_drive_mapping_test.sh), the devices of demo-devices.ini played by
# nexora-devsim. Tab and Shift+Tab go round the main window's controls in
# the order they are seen; Down in the device list selects a device and its
# panel fills once, for the row the keys stop on; a share, a drive letter
# and Map are reached with Tab, and Space maps the share, as the stand-in's
# log shows; Enter presses the focused skin button (About, Cancel of the
# drive-in-use question). Every skin button names its function in its
# window text. Needs root and the native and windows-x86 builds.
set -uo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
source "$here/app-lib.sh"
source "$here/mpr_standin/standin-lib.sh"

app_setup
devsim_start "$here/demo-devices.ini"
mpr_standin_setup "$APP_EXE" "$E2E_WORK/program" "$here/demo-devices.ini" || exit 1
APP_EXE=$MPR_EXE
app_start

# The id of the control with the keyboard focus (an address control for
# the focus in one of its fields).
focused_id() {
  drive sync >/dev/null
  drive focus >/dev/null || return 1
  drive_field ip || drive_field id
}
# tab_to ID [KEY]: Tab (or KEY, e.g. {SHIFT+TAB}) until control ID has the
# focus, at most a round of the window; checks that it got there.
tab_to() {
  local key=${2:-'{TAB}'} at=''
  for _ in $(seq 20); do
    drive keys "$key" >/dev/null
    at=$(focused_id)
    [ "$at" = "$1" ] && break
  done
  e2e_check "$key reaches control $1" "$1" "$at"
}
# The ids that KEY gives the focus to, one press each, COUNT presses.
focus_walk() {
  local key=$1 count=$2 ids=''
  for _ in $(seq "$count"); do
    drive keys "$key" >/dev/null
    ids+="$(focused_id) "
  done
  printf '%s' "${ids% }"
}
# control_text ID LISTING: the text of control ID in LISTING (a reply of
# the driver's controls command).
control_text() {
  grep -o "\[0x[0-9a-f]* $1 \"[^\"]*\" \"[^\"]*\"" <<<"$2" | sed 's/.* "\([^"]*\)"$/\1/'
}

echo "== every skin button of the main window names its function"
drive controls
listing=$DRIVE_REPLY
for pair in 1002:Search 1008:Web 1007:Apply 1003:Map 1004:Unmap 1021:About 1009:Exit 1027:Minimize \
  1028:Close 1022:Language 1025:BitTorrent 1032:Widgets; do
  e2e_check "button ${pair%%:*} is named ${pair#*:}" "${pair#*:}" "$(control_text "${pair%%:*}" "$listing")"
done

echo "== Tab and Shift+Tab go round the main window in the order it is seen"
e2e_check 'the device list has the focus at the start' 1000 "$(focused_id)"
order='1002 1008 1006 1010 1011 1015 1007 1001 1013 1003 1004 1021 1009 1027 1028 1000'
e2e_check 'Tab from the device list' "$order" "$(focus_walk '{TAB}' 16)"
back='1028 1027 1009 1021 1004 1003 1013 1001 1007 1015 1011 1010 1006 1008 1002 1000'
e2e_check 'Shift+Tab from the device list' "$back" "$(focus_walk '{SHIFT+TAB}' 16)"

echo "== Home and Down in the device list select the second device; its panel fills once"
wire_mark
e2e_expect 'keys {HOME}{DOWN}'
e2e_expect 'sync'
e2e_expect 'lv-selected 1000' 'index=1'
e2e_wait_for 'ip-read 1006' 'address="10.203.0.3"' 10
e2e_expect 'sync timeout=20000'
e2e_expect 'ip-read 1006' 'address="10.203.0.3"'
e2e_expect 'ip-read 1010' 'address="255.255.255.0"'
e2e_expect 'ip-read 1011' 'address="10.203.0.254"'
e2e_expect 'lv-read 1001' 'items=[["Projects" ""] ["Archive" ""]]'
e2e_check 'one LAN configuration query, to NAS-Lab: none for the first row, passed on the way' \
  1 "$(wire_count 3 20)"
e2e_check 'the query went to NAS-Lab' 1 "$(wire_count 3 20 00:14:fd:10:20:02)"

echo "== keys that pass over rows and come back query nothing"
wire_mark
e2e_expect 'keys {END}{HOME}{DOWN}'
e2e_expect 'sync'
e2e_expect 'lv-selected 1000' 'index=1'
e2e_expect 'sleep 1000'
e2e_expect 'sync timeout=20000'
e2e_check 'no query for the rows passed' 0 "$(wire_count 3)"

echo "== a share, a letter and Map with Tab; Space maps the share"
tab_to 1001
e2e_expect 'keys {DOWN}'
e2e_expect 'sync'
e2e_expect 'lv-read 1001' 'selected=0'
tab_to 1013
drive cb-read 1013
y=$(drive_field text)
e2e_check 'a free letter is chosen in the combo' 1 "$([[ $y =~ ^[D-Y]:$ ]] && echo 1 || echo 0)"
x=$(next_letter "$y")
tab_to 1003
mpr_mark
e2e_expect 'keys {SPACE}'
e2e_expect 'msgbox timeout=40000' 'caption="Confirm" text="Successfully mapped drive." icon=information'
e2e_expect 'keys {ENTER}'
e2e_expect 'wait-gone'
drive use main >/dev/null
e2e_check 'the letter is cancelled, Projects is mapped to it; the device has no companion for it' \
  "$(mpr_cancel_line "$y" 2250
     mpr_add_line "$y" '\\10.203.0.3\Projects' '""' '""' 1 0
     mpr_add_line "$x" '\\10.203.0.3\Recycle Bin - Projects' NULL NULL 1 67)" "$(mpr_calls)"
e2e_expect 'lv-read 1001' "items=[[\"Projects\" \"$y\"] [\"Archive\" \"\"]]"

echo "== Enter presses the focused button: About, and its OK"
tab_to 1021
e2e_expect 'keys {ENTER}'
e2e_expect 'wait-modal timeout=10000' 'kind=dialog'
drive controls
e2e_check 'the About box names its button' OK "$(control_text 1 "$DRIVE_REPLY")"
e2e_check 'the About box has the focus on OK' 1 "$(focused_id)"
e2e_expect 'keys {ENTER}'
e2e_expect 'wait-gone'
drive use main >/dev/null

echo "== Enter on Cancel of the drive-in-use question maps nothing"
tab_to 1001 '{SHIFT+TAB}'
e2e_expect 'keys {HOME}{DOWN}'
e2e_expect 'sync'
e2e_expect 'lv-read 1001' 'selected=1'
tab_to 1013
# The combo lists the letters from Z: down, the mapped one with its share.
drive cb-read 1013
used=$(($(grep -o '"[A-Z]:[^"]*"' <<<"$(drive_field items)" | grep -n "^\"$y " | cut -d: -f1) - 1))
keys='{HOME}'
[ "$used" -gt 0 ] && keys+="{DOWN $used}"
e2e_expect "keys $keys"
e2e_expect 'sync'
e2e_expect 'cb-read 1013' "selected=$used"
tab_to 1003
mpr_mark
e2e_expect 'keys {SPACE}'
e2e_expect 'wait-modal timeout=20000' 'kind=dialog'
drive controls
e2e_check 'the question names its buttons' 'OK Cancel' \
  "$(control_text 1 "$DRIVE_REPLY") $(control_text 2 "$DRIVE_REPLY")"
e2e_check 'the question has the focus on OK' 1 "$(focused_id)"
e2e_expect 'keys {TAB}'
e2e_check 'Tab takes the focus to Cancel' 2 "$(focused_id)"
e2e_expect 'keys {ENTER}'
e2e_expect 'wait-gone'
drive use main >/dev/null
e2e_expect 'sync'
e2e_check 'Cancel: no call to Windows networking' '' "$(mpr_calls)"

echo "== Space on Exit ends the program"
tab_to 1009
e2e_expect 'keys {SPACE}'
e2e_expect 'exit-code timeout=10000' 'code=0'
e2e_summary
