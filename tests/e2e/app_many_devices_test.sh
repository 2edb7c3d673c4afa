#!/usr/bin/env bash
# End-to-end test of NexoraStorageUtility.exe with 64 devices on one
# interface: one nexora-devsim plays all of them (each with its own MAC and
# address) from the device end of the pair. The first discovery must list
# every device, in the order they answer, and the skinned scroll bar beside
# the device list must bring the last row into view as a person scrolls:
# presses on the bar's track below the thumb, a page at a time; and the bar
# below the list must bring the last column into view the same way. The
# pictures of the window are kept as many-devices*.png in the work directory
# (E2E_KEEP=1). Needs root and the native and windows-x86 builds.
set -uo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
source "$here/app-lib.sh"

DEVICES=64

app_setup

# The device set: NAS-01 .. NAS-64 at 10.203.0.101 .. 10.203.0.164, and the
# rows the device list must show for them.
ini=$E2E_WORK/many-devices.ini
expected_rows=()
for i in $(seq "$DEVICES"); do
  name=$(printf 'NAS-%02d' "$i")
  address=10.203.0.$((100 + i))
  printf '[device d%d]\nname = %s\nmac = 00:14:fd:40:00:%02x\naddress = %s\ngateway = 10.203.0.254\nshares = Share%d\n\n' \
    "$i" "$name" "$i" "$address" "$i" >>"$ini"
  expected_rows+=("[\"$name\" \"$address\" \"255.255.255.0\" \"10.203.0.254\"]")
done

devsim_start "$ini"
app_start
echo "timing: program start to the main window $((APP_WINDOW_MS - APP_LAUNCH_MS)) ms, to its device rows $((APP_ROWS_MS - APP_LAUNCH_MS)) ms"

echo "== the first discovery lists every device"
e2e_expect 'lv-read 1000' "rows=$DEVICES cols=4" "items=[${expected_rows[*]}]" 'selected=-1' 'top=0'
per_page=$(drive_field per-page)
e2e_check 'the list shows fewer rows than there are devices' 1 "$((per_page > 0 && per_page < DEVICES))"

# bar_rect v|h: the skinned bar beside list 1000 (v: the static whose left
# edge is the list's right edge) or below it (h: the static whose top edge is
# the list's bottom edge), as "left top right bottom".
bar_rect() {
  local l t r b bar
  drive control 1000 || return 1
  read -r l t r b <<<"$(drive_field rect | tr -d '[]')"
  drive controls || return 1
  if [ "$1" = v ]; then
    bar=$(grep -o "\"Static\" \"\" 1 1 \[$r $t [0-9]* [0-9]*\]" <<<"$DRIVE_REPLY" | head -n1)
  else
    bar=$(grep -o "\"Static\" \"\" 1 1 \[$l $b [0-9]* [0-9]*\]" <<<"$DRIVE_REPLY" | head -n1)
  fi
  [ -n "$bar" ] || return 1
  bar=${bar##*[}
  printf '%s' "${bar%]}"
}

echo "== the skinned scroll bar pages down to the last row"
read -r x1 y1 x2 y2 <<<"$(bar_rect v)"
e2e_check 'the skinned bar stands beside the device list' 1 "$((${y2:-0} > ${y1:-0} + 60))"
# A press at the bar's lower end, below the down arrow's zone and the
# thumb, is a press on the track below the thumb: one page down each time.
track_x=$(((x1 + x2) / 2))
track_y=$((y2 - 5))
top=0
pages=0
while [ $((top + per_page)) -lt "$DEVICES" ] && [ "$pages" -lt "$DEVICES" ]; do
  drive click-at "$track_x" "$track_y" || break
  drive sync || break
  drive lv-read 1000 || break
  next=$(drive_field top)
  [ "$next" -gt "$top" ] || break
  top=$next
  pages=$((pages + 1))
done
echo "the bar reached row $top after $pages page clicks ($per_page rows in view)"
e2e_check 'the last row is in view after paging down' "$((DEVICES - per_page))" "$top"
e2e_check 'each page click moved the view by about a page' 1 \
  "$((pages > 0 && pages <= (DEVICES + per_page - 2) / (per_page - 1)))"
e2e_screenshot "$E2E_WORK/many-devices.png"

echo "== the last row is clickable where it is shown"
start=$(e2e_now_ms)
e2e_expect "lv-click 1000 $((DEVICES - 1))"
e2e_expect 'sync timeout=20000'
echo "timing: the click on the last device with its three queries: $(($(e2e_now_ms) - start)) ms"
e2e_expect 'lv-read 1000' "selected=$((DEVICES - 1))" "top=$((DEVICES - per_page))"
e2e_expect 'ip-read 1006' "address=\"10.203.0.$((100 + DEVICES))\""
e2e_expect 'lv-read 1001' "rows=1" "items=[[\"Share$DEVICES\" \"\"]]"

echo "== the skinned horizontal bar pages right to the last column"
# The last column is cut off at the list's right edge: no more than a sliver
# of it shows until the bar moves the view.
e2e_expect 'lv-read 1000' 'cols-in-view=[0 1 2]'
read -r x1 y1 x2 y2 <<<"$(bar_rect h)"
e2e_check 'the skinned bar stands below the device list' 1 "$((${x2:-0} > ${x1:-0} + 100))"
# Left of the right arrow's zone: the track right of the thumb until the
# thumb comes to its end.
e2e_expect 'lv-read 1000' 'scroll-x=0'
shifted=0
for _ in $(seq 10); do
  drive click-at "$((x2 - 30))" "$(((y1 + y2) / 2))" || break
  drive sync || break
  drive lv-read 1000 || break
  next=$(drive_field scroll-x)
  [ "$next" -gt "$shifted" ] || break
  shifted=$next
done
echo "the view moved $shifted pixels to the right"
e2e_check 'the view moved to the right' 1 "$((shifted > 0))"
e2e_expect "lv-click 1000 $((DEVICES - 1)) col=3"
e2e_expect 'sync timeout=20000'
e2e_expect 'lv-read 1000' "selected=$((DEVICES - 1))" "top=$((DEVICES - per_page))" "scroll-x=$shifted"
e2e_check 'the last column is wholly in view after paging right' '[1 2 3]' "$(drive_field cols-in-view)"
e2e_screenshot "$E2E_WORK/many-devices-right.png"
read -r x1 y1 x2 y2 <<<"$(bar_rect v)"

echo "== a press on the track above the thumb pages back up"
e2e_expect "click-at $track_x $((y1 + 5))"
e2e_expect 'sync'
e2e_expect 'lv-read 1000'
top=$(drive_field top)
e2e_check 'the view moved up by at most a page' 1 \
  "$((top < DEVICES - per_page && top >= DEVICES - 2 * per_page))"

app_exit
e2e_check 'the program ends with code 0' 0 "$(drive_field code)"
e2e_summary
