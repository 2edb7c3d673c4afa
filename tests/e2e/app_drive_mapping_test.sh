#!/usr/bin/env bash
# End-to-end test of drive mapping: NexoraStorageUtility.exe under Wine in
# the client namespace with the mpr.dll stand-in beside it (Wine cannot map
# drives), the devices of demo-devices.ini played by nexora-devsim in the
# device namespace. Driven as a person would: a share and a letter chosen,
# Map and Unmap pressed, the drive-in-use question and the message boxes
# answered. What the program shows is read back from the shares list and the
# drive-letter combo; what it asked of Windows networking from the stand-in's
# call log and connection table. Needs root and the native and windows-x86
# builds.
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

dev='\\10.203.0.2'

# Expected call lines of the stand-in's log (mpr_calls since mpr_mark):
# add LETTER SHARE PASSWORD USER RESULT (of this device, flags 1).
add_line() { mpr_add_line "$1" "$dev\\$2" "$3" "$4" 1 "$5"; }
# The connection table, sorted: "Y: \\10.203.0.2\Public" a line.
connections() { sort -r "$MPR_STATE" | tr '\t' ' '; }
# TEXT as the driver quotes it in its replies (backslashes doubled).
q() { local s=${1//\\/\\\\}; printf '"%s"' "$s"; }
# The rows of the shares list: ["name" "letter"] ...
share_rows() {
  drive lv-read 1001
  drive_field items
}
# Answers the drive-in-use question (template 229) with button ID.
answer_question() {
  e2e_expect 'wait-modal timeout=20000' 'kind=dialog'
  e2e_expect 'controls' '"The drive letter has been used."' '"Do you still want to use this drive letter?"'
  e2e_expect "click $1"
  e2e_expect 'wait-gone'
  drive use main >/dev/null
}

echo "== the device's shares, nothing mapped"
click_device NAS-Office
e2e_expect 'lv-read 1001' 'items=[["Public" ""] ["Media" ""] ["Backup" ""]]'
drive cb-read 1013
y=$(grep -o 'text="[A-Z]:"' <<<"$DRIVE_REPLY" | head -n1 | cut -d'"' -f2)
e2e_check 'a free letter is chosen in the combo' 1 "$([[ $y =~ ^[D-Y]:$ ]] && echo 1 || echo 0)"
x=$(next_letter "$y"); w=$(next_letter "$x"); v=$(next_letter "$w")

echo "== map Public to the first free letter ($y); its companion takes the next one ($x)"
mpr_mark
e2e_expect 'lv-click 1001 0'
e2e_expect 'click 1003'
expect_box Confirm 'Successfully mapped drive.' information
e2e_check 'the letter is cancelled, then share and companion are connected' \
  "$(mpr_cancel_line "$y" 2250; add_line "$y" Public '""' '""' 0; add_line "$x" 'Recycle Bin - Public' NULL NULL 0)" \
  "$(mpr_calls)"
e2e_check 'the shares list shows the letter' "[[\"Public\" \"$y\"] [\"Media\" \"\"] [\"Backup\" \"\"]]" "$(share_rows)"
e2e_expect 'cb-read 1013' "$(q "$y $dev\\Public") $(q "$x $dev\\Recycle Bin - Public") $(q "$w")" "selected=2"

echo "== map Media to $w: a companion the device lacks is refused, the share is mapped"
mpr_mark
e2e_expect 'lv-click 1001 1'
e2e_expect 'click 1003'
expect_box Confirm 'Successfully mapped drive.' information
e2e_check 'share and companion attempts' \
  "$(mpr_cancel_line "$w" 2250; add_line "$w" Media '""' '""' 0; add_line "$v" 'Recycle Bin - Media' NULL NULL 67)" \
  "$(mpr_calls)"

echo "== map Backup onto the used letter $y: Cancel keeps the old mapping"
mpr_mark
e2e_expect 'lv-click 1001 2'
e2e_expect 'cb-select 1013 0'
e2e_expect 'click 1003'
answer_question 2
e2e_expect 'sync'
e2e_check 'Cancel: no call to Windows networking' '' "$(mpr_calls)"
e2e_check 'Cancel: the mappings stay' \
  "$y $dev\\Public
$x $dev\\Recycle Bin - Public
$w $dev\\Media" "$(connections)"

echo "== map Backup onto Media's letter $w: OK replaces it"
mpr_mark
e2e_expect 'lv-click 1001 2'
e2e_expect 'cb-select 1013 2'
e2e_expect 'click 1003'
answer_question 1
expect_box Confirm 'Successfully mapped drive.' information
e2e_check 'the old mapping is cancelled first' \
  "$(mpr_cancel_line "$w" 0; add_line "$w" Backup '""' '""' 0; add_line "$v" 'Recycle Bin - Backup' NULL NULL 67)" \
  "$(mpr_calls)"
e2e_check 'the shares list follows' "[[\"Public\" \"$y\"] [\"Media\" \"\"] [\"Backup\" \"$w\"]]" "$(share_rows)"

echo "== unmap Public from the list: its letter and its companion's go"
mpr_mark
e2e_expect 'lv-click 1001 0'
e2e_expect 'click 1004'
expect_box Confirm 'Successfully unmapped drive.' information
e2e_check 'both letters cancelled' "$(mpr_cancel_line "$y" 0; mpr_cancel_line "$x" 0)" "$(mpr_calls)"
e2e_check 'Backup is left' "$w $dev\\Backup" "$(connections)"
e2e_check 'the shares list follows' "[[\"Public\" \"\"] [\"Media\" \"\"] [\"Backup\" \"$w\"]]" "$(share_rows)"
e2e_expect 'cb-read 1013' "$(q "$y") $(q "$x") $(q "$w $dev\\Backup")" 'selected=0'

echo "== unmap $w chosen in the combo, no share selected: that letter only"
mpr_mark
e2e_expect 'lv-read 1001' 'selected=-1'
e2e_expect 'cb-select 1013 2'
e2e_expect 'click 1004'
expect_box Confirm 'Successfully unmapped drive.' information
e2e_check 'one letter cancelled (no companion letter)' "$(mpr_cancel_line "$w" 0; mpr_cancel_line '' 2250)" "$(mpr_calls)"
e2e_check 'nothing is left' '' "$(connections)"
e2e_check 'the shares list follows' '[["Public" ""] ["Media" ""] ["Backup" ""]]' "$(share_rows)"

echo "== unmapping a share that has no letter"
e2e_expect 'lv-click 1001 1'
e2e_expect 'click 1004'
expect_box Error 'Unable to disconnect this drive.\nPlease select a drive to disconnect and verify that the drive is not being accessed.' hand

app_exit
e2e_summary
