#!/usr/bin/env bash
# End-to-end test of NexoraStorageUtility.exe against devices that fail
# after discovery: one that stops answering between discovery and the click
# (NAS-Vanish, vanish-device.ini, in its own nexora-devsim process that the
# test stops), and devices whose every query reply is garbage
# (faults-devices.ini): cut short, another client's id, 4096 bytes without a
# terminator, a length field past the datagram. A click on any of them must
# come back within the queries' try limits and show the device as one that
# did not answer (or the part of the answer that fits); the program stays
# usable and leaves through Exit with code 0. Needs root and the native and
# windows-x86 builds.
set -uo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
source "$here/app-lib.sh"
root=$here/../..

# The longest a click may block: its three queries (LAN configuration,
# shares, SSL mode), each draining the socket and then polling tryLimit + 1
# times with tryLimit pauses, taken from the program's sources; doubled,
# plus 5 s, for Wine's slower waits.
const_of() { # NAME FILE: the value of "constexpr int NAME = N;"
  sed -n "s/.*constexpr int $1 = \([0-9]*\);.*/\1/p" "$2" | head -n1
}
poll_ms=$(const_of kPollWaitMs "$root/protocol/packet.h")
pause_ms=$(const_of kReplyPauseMs "$root/protocol/transport.h")
query_ms=0
for query in QueryLanConfig QueryShareList; do
  read -r drain tries <<<"$(awk "/^int $query\(\)/,/^}/" "$root/protocol/commands.cpp" |
    sed -n 's/.*Exchange x{\([0-9]*\), kQueryReply, true, \([0-9]*\)};.*/\1 \2/p')"
  query_ms=$((query_ms + (drain + tries + 1) * poll_ms + tries * pause_ms))
  min_ms=$((${min_ms:-0} + tries * pause_ms))
done
read -r drain tries <<<"$(sed -n 's/.*QuerySslMode() { return TextQuery(kCodeSslMode, \([0-9]*\), \([0-9]*\),.*/\1 \2/p' \
  "$root/protocol/commands.cpp")"
query_ms=$((query_ms + (drain + tries + 1) * poll_ms + tries * pause_ms))
min_ms=$((min_ms + tries * pause_ms))
if [ "${query_ms:-0}" -le 0 ] || [ "${min_ms:-0}" -le 0 ]; then
  echo "FAIL the query try limits could not be read from protocol/" >&2
  exit 1
fi
CLICK_LIMIT_MS=$((2 * query_ms + 5000))
echo "a click's three unanswered queries: at least $min_ms ms, nominally $query_ms ms, limit $CLICK_LIMIT_MS ms"

app_setup
devsim_start "$here/faults-devices.ini"
# The vanishing device in a second simulator on the same interface.
VANISH_LOG=$E2E_WORK/devsim-vanish.log
: >"$VANISH_LOG"
netns_spawn "$E2E_DEVICE_NS" "$DEVSIM" --bind "$E2E_DEVICE_IP" --log "$VANISH_LOG" "$here/vanish-device.ini" \
  >>"$E2E_WORK/devsim.out" 2>&1
VANISH_PID=$NETNS_LAST_PID
netns_wait_for_line "$VANISH_LOG" ' note ready' 10 || { echo "FAIL the second simulator did not start" >&2; exit 1; }
app_start

# timed_click NAME: click_device, and CLICK_MS how long the click blocked
# the window.
timed_click() {
  local start
  start=$(e2e_now_ms)
  click_device "$1"
  CLICK_MS=$(($(e2e_now_ms) - start))
  echo "timing: the click on $1 took $CLICK_MS ms"
}

# expect_unanswered_panel ADDRESS: the panel of a device whose queries went
# unanswered: the list's address, netmask and gateway, DHCP off with the
# address controls enabled, no LAN port, no shares.
expect_unanswered_panel() {
  e2e_expect 'ip-read 1006' "address=\"$1\" blank=0"
  e2e_expect 'ip-read 1010' 'address="255.255.255.0"'
  e2e_expect 'ip-read 1011' 'address="10.203.0.254"'
  e2e_expect 'cb-read 1015' 'selected=0 text="Disable"'
  e2e_expect 'control 1006' 'enabled=1'
  e2e_expect 'cb-read 1016' 'count=0'
  e2e_expect 'control 1016' 'enabled=0'
  e2e_expect 'lv-read 1001' 'rows=0'
}

# expect_within_try_limits: the last click waited out the tries, no longer.
expect_within_try_limits() {
  e2e_check "$1: the click waited for the queries' tries" 1 "$((CLICK_MS >= min_ms))"
  e2e_check "$1: the click ended within $CLICK_LIMIT_MS ms" 1 "$((CLICK_MS <= CLICK_LIMIT_MS))"
}

echo "== discovery lists every device, the vanishing one too"
e2e_expect 'lv-read 1000' 'rows=7' '["NAS-Steady" "10.203.0.51"' '["NAS-Short" "10.203.0.52"' \
  '["NAS-Foreign" "10.203.0.53"' '["NAS-Long" "10.203.0.54"' '["NAS-BadLength" "10.203.0.55"' \
  '["NAS-Vanish" "10.203.0.59" "255.255.255.0" "10.203.0.254"]'

echo "== the device answers while it is there"
timed_click NAS-Vanish
e2e_expect 'cb-read 1016' 'count=2' 'items=["LAN1" "LAN2"]'
e2e_expect 'lv-read 1001' 'items=[["Vanishing" ""] ["Point" ""]]'

echo "== the device vanishes; a click shows it as one that does not answer"
netns_stop "$VANISH_PID"
wire_mark
timed_click NAS-Vanish
expect_unanswered_panel 10.203.0.59
expect_within_try_limits 'vanished device'
# The simulator that stays sees the program's requests: each query once.
e2e_check 'the three queries went out once each' '20 3 19' \
  "$(wire_rx 3 '' 00:14:fd:50:00:09 | cut -c43-44 | while read -r c; do printf '%d ' "0x$c"; done | sed 's/ $//')"
e2e_expect 'window main' 'enabled=1'

echo "== query replies cut shorter than a header count as no answer"
timed_click NAS-Short
expect_unanswered_panel 10.203.0.52
expect_within_try_limits 'cut replies'

echo "== query replies with another client's id count as no answer"
timed_click NAS-Foreign
expect_unanswered_panel 10.203.0.53
expect_within_try_limits 'foreign replies'

echo "== 4096-byte replies without terminators: texts are cut to their fields"
timed_click NAS-Long
e2e_check 'the long replies end the click quickly' 1 "$((CLICK_MS < min_ms))"
# The LAN configuration text is too long to be one: a single-port device.
e2e_expect 'cb-read 1016' 'count=0'
e2e_expect 'control 1016' 'enabled=0'
e2e_expect 'ip-read 1006' 'address="10.203.0.54"'
long_share=Hidden$(printf 'A%.0s' $(seq 249))
e2e_expect 'lv-read 1001' "rows=1 cols=2 columns=[\"Volume Name\" \"Location\"] items=[[\"$long_share\" \"\"]]"

echo "== a length field past the datagram: the texts up to its end"
timed_click NAS-BadLength
e2e_check 'the replies end the click quickly' 1 "$((CLICK_MS < min_ms))"
e2e_expect 'lv-read 1001' 'items=[["Left" ""] ["Right" ""]]'
e2e_expect 'cb-read 1016' 'count=0'

echo "== a device whose discovery reply is 4096 bytes without terminators"
# Its row: the name cut to 255 characters, netmask and gateway to 15.
noisy_name=NAS-Noisy$(printf 'A%.0s' $(seq 246))
e2e_expect 'lv-read 1000' "[\"$noisy_name\" \"10.203.0.56\" \"AAAAAAAAAAAAAAA\" \"AAAAAAAAAAAAAAA\"]"
timed_click "$noisy_name"
e2e_check 'its long replies end the click quickly' 1 "$((CLICK_MS < min_ms))"
e2e_expect 'ip-read 1006' 'address="10.203.0.56"'
# Texts that are no address leave their controls blank.
e2e_expect 'ip-read 1010' 'blank=1'
e2e_expect 'ip-read 1011' 'blank=1'
e2e_expect 'cb-read 1016' 'count=0'
e2e_expect 'lv-read 1001' "items=[[\"Noise$(printf 'A%.0s' $(seq 250))\" \"\"]]"

echo "== a sound device still works after all that"
timed_click NAS-Steady
e2e_expect 'ip-read 1006' 'address="10.203.0.51"'
e2e_expect 'lv-read 1001' 'items=[["Public" ""] ["Media" ""]]'

echo "== the refresh lists the devices that still answer"
e2e_expect 'click 1002'
e2e_expect 'sync timeout=20000'
e2e_expect 'lv-read 1000' 'rows=6' 'selected=-1'
e2e_check 'the vanished device is gone from the list' '' "$(lv_row_of 1000 NAS-Vanish)"

app_exit
e2e_check 'the program ends with code 0' 0 "$(drive_field code)"
e2e_summary
