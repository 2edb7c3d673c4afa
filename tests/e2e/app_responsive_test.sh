#!/usr/bin/env bash
# The main window stays responsive through the program's long waits: Windows'
# own test for a hung window (IsHungAppWindow: no message read for 5 s) is
# sampled every half second and never finds it hung during
#   - a drive mapping whose connection attempts each take 8 s (the mpr.dll
#     stand-in made slow);
#   - a static-address change to a device that never answers its set
#     request (300 polls, about 33 s, then the list is searched again),
#     during which clicks on Apply and on Exit do nothing, and the wire
#     carries exactly the one change's requests;
#   - a code-page install, from the language dialog to the restart wait;
#   - the BitTorrent readiness polls of a device whose disk is not ready.
# Needs root and the native and windows-x86 builds.
set -uo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
source "$here/app-lib.sh"
source "$here/mpr_standin/standin-lib.sh"

app_setup
cat >"$E2E_WORK/devices.ini" <<'INI'
# Takes its login, never answers a static-address change.
[device deaf]
name = NAS-Deaf
mac = 00:14:fd:50:00:01
address = 10.203.0.31
netmask = 255.255.255.0
gateway = 10.203.0.254
silent = yes
silent_on = 1
shares = Public

# A code-page install: first volume HDD_1.
[device cp]
name = NAS-Lang
mac = 00:14:fd:50:00:02
address = 10.203.0.32
gateway = 10.203.0.254
sharename = HDD_1
codepage = 932
restart_ms = 0

# The disk never becomes ready.
[device slow]
name = NAS-Slow
mac = 00:14:fd:50:00:03
address = 10.203.0.33
gateway = 10.203.0.254
disk = 9
INI
shares=$E2E_WORK/shares
mkdir -p "$shares/10.203.0.32/HDD_1/.systemfile/.codepages" "$WINEPREFIX/dosdevices/unc/10.203.0.32"
ln -sfn "$shares/10.203.0.32/HDD_1" "$WINEPREFIX/dosdevices/unc/10.203.0.32/HDD_1"
devsim_start "$E2E_WORK/devices.ini"
mpr_standin_setup "$APP_EXE" "$E2E_WORK/program" "$E2E_WORK/devices.ini" || exit 1
APP_EXE=$MPR_EXE
export NEXORA_MPR_DELAY_MS=8000
app_start

# sample LIMIT_S CONDITION...: samples IsHungAppWindow every half second
# until CONDITION succeeds or LIMIT_S pass. Sets SAMPLES, HUNG (samples that
# found the window hung) and SAMPLED_MS. (The cursor is checked by the
# Windows unit tests: under Wine another process's cursor handle cannot be
# read back.)
sample() {
  local limit=$1 start
  shift
  SAMPLES=0 HUNG=0
  start=$(e2e_now_ms)
  until "$@"; do
    drive hung main
    [ "$(drive_field hung)" = 1 ] && HUNG=$((HUNG + 1))
    SAMPLES=$((SAMPLES + 1))
    [ $(($(e2e_now_ms) - start)) -ge $((limit * 1000)) ] && break
    sleep 0.5
  done
  SAMPLED_MS=$(($(e2e_now_ms) - start))
}
# A window of the program besides the main one is up (a message box or a
# dialog).
second_window() { drive windows && [ "$(drive_field count)" -ge 2 ]; }
report() {
  echo "$1: $SAMPLES samples in $SAMPLED_MS ms, hung in $HUNG"
  e2e_check "$1: sampled at least every second" yes "$([ $((SAMPLES * 1000)) -ge "$SAMPLED_MS" ] && echo yes || echo no)"
  e2e_check "$1: the main window never hung" 0 "$HUNG"
}

echo "== a drive mapping whose attempts take 8 s each"
click_device NAS-Deaf
e2e_expect 'lv-click 1001 0'
e2e_expect 'click 1003'
sample 40 second_window
report 'slow mapping'
expect_box Confirm 'Successfully mapped drive.' information
e2e_check 'the share and its companion were each tried once, in order' 2 "$(grep -c '^WNetAddConnection2A' "$MPR_LOG")"

echo "== a static address that the device never takes"
click_device NAS-Deaf
e2e_expect 'ip-type 1006 10.203.0.41 clear=1' 'address="10.203.0.41"'
wire_mark
started=$(e2e_now_ms)
e2e_expect 'click 1007'
wire_wait 1 5 1 00:14:fd:50:00:01 || e2e_check 'the set request goes out' 1 0
# What a user does meanwhile: Apply again, then Exit. Both are dropped.
e2e_expect 'click 1007 during-wait=1'
e2e_expect 'click 1009 during-wait=1'
# The change ends with a new search of the devices.
searched_again() { [ "$(wire_count 1)" -ge 1 ]; }
sample 60 searched_again
took=$(($(e2e_now_ms) - started))
report 'unanswered address change'
e2e_expect 'sync timeout=20000'
echo "timing: the unanswered change took $took ms"
e2e_check 'one login query, one set request, one search: Apply was not run twice' '1 1 1' \
  "$(wire_count 3 4 00:14:fd:50:00:01) $(wire_count 5 1 00:14:fd:50:00:01) $(wire_count 1)"
e2e_check 'the change lasted its 300 tries' yes "$([ "$took" -ge 30000 ] && echo yes || echo "no: $took ms")"
e2e_check 'Exit during the wait did not end the program' running "$(kill -0 "$E2E_APP_PID" 2>/dev/null && echo running || echo ended)"

echo "== a code-page install up to the restart wait"
click_device NAS-Lang
e2e_expect 'command 1022'
e2e_expect 'wait-modal timeout=30000' 'kind=dialog'
e2e_expect 'click 1'
drive use main >/dev/null
restart_wait() {
  drive wait-modal timeout=200 && drive controls during-wait=1 && [[ $DRIVE_REPLY == *'"msctls_progress32"'* ]]
}
sample 120 restart_wait
report 'code-page install'
e2e_check 'the code-page files were written' yes \
  "$([ -n "$(ls -A "$shares/10.203.0.32/HDD_1/.systemfile/.codepages" 2>/dev/null)" ] && echo yes || echo no)"
sample 6 false
report 'restart wait'
app_restart

echo "== BitTorrent readiness polls, the disk never ready"
click_device NAS-Slow
wire_mark
e2e_expect 'command 1025'
fifteen_polls() { [ "$(wire_count 3 11 00:14:fd:50:00:03)" -ge 15 ]; }
sample 90 fifteen_polls
report 'readiness polls'
e2e_check 'the disk status was polled 15 times, 2 s apart' yes "$(fifteen_polls && [ "$SAMPLED_MS" -ge 28000 ] && echo yes || echo "no: $(wire_count 3 11 00:14:fd:50:00:03) in $SAMPLED_MS ms")"

e2e_summary
