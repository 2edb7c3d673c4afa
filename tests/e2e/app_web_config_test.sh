#!/usr/bin/env bash
# End-to-end test of the web button of NexoraStorageUtility.exe: the program
# under Wine in the client namespace, nexora-devsim in the device namespace
# playing the devices of web-devices.ini with their web pages. The prefix
# registers nexora-recorder.exe as the default browser, so what the program
# launches is read from the recorder's log. The reachability check is real:
# WinINet connects to the page the browser is to open. Needs root and the
# native and windows-x86 builds.
set -uo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
source "$here/app-lib.sh"

RECORDER_EXE=$E2E_WINDOWS_BIN/nexora-recorder.exe
[ -f "$RECORDER_EXE" ] || { echo "missing $RECORDER_EXE: build the windows-x86 preset first" >&2; exit 1; }

app_setup
for address in 10.203.0.31 10.203.0.32; do
  ip -n "$E2E_DEVICE_NS" addr add "$address/24" dev "$E2E_DEVICE_IF" || exit 1
done
ip -n "$E2E_CLIENT_NS" route add 10.203.9.0/24 via "$E2E_DEVICE_IP" || exit 1

e2e_recorder_as_browser "$RECORDER_EXE" || exit 1

devsim_start "$here/web-devices.ini"
e2e_check 'the simulator serves http on the plain device' 1 "$(grep -c ' note web on 10.203.0.2:80$' "$DEVSIM_LOG")"
e2e_check 'the simulator accepts on 443 for the SSL device' 1 "$(grep -c ' note web on 10.203.0.31:443$' "$DEVSIM_LOG")"
e2e_check 'the device without web pages serves nothing' 0 "$(grep -c ' note web on 10.203.0.32' "$DEVSIM_LOG")"
app_start

# wait_launches N: up to 10 s for the Nth launch.
wait_launches() {
  local i
  for i in $(seq 100); do
    [ "$(e2e_recorder_count)" -ge "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
last_launch() { tr -d '\r' <"$E2E_RECORDER_LOG" | tail -n1; }

echo "== web without a selected device"
e2e_expect 'click 1008'
expect_box Warning 'Please select a device to configure.' exclamation
e2e_check 'nothing is launched' 0 "$(e2e_recorder_count)"

echo "== a device over http"
click_device NAS-Web
mark=$(wc -l <"$DEVSIM_LOG")
e2e_expect 'click 1008'
e2e_expect 'sync timeout=20000'
wait_launches 1
e2e_check 'the browser gets the device URL' 'C:\recorder\nexora-recorder.exe http://10.203.0.2' "$(last_launch)"
e2e_check 'the check connected to the page first' 1 \
  "$(tail -n +"$((mark + 1))" "$DEVSIM_LOG" | grep -c ' note web connect 10.203.0.2:80 from 10.203.0.1$')"
e2e_expect 'msgbox timeout=1500' 'err timeout'
e2e_expect 'lv-read 1000' 'selected=0'

echo "== a device with SSL over https"
click_device NAS-Secure
e2e_expect 'click 1008'
e2e_expect 'sync timeout=20000'
wait_launches 2
e2e_check 'the browser gets the https URL' 'C:\recorder\nexora-recorder.exe https://10.203.0.31' "$(last_launch)"
e2e_check 'the check connected to port 443' 1 "$(grep -c ' note web connect 10.203.0.31:443 from' "$DEVSIM_LOG")"

echo "== a device whose pages do not answer"
click_device NAS-Gone
e2e_expect 'click 1008'
expect_box Warning 'Device is no longer available.' exclamation
e2e_expect 'sync timeout=20000'
e2e_check 'nothing more is launched' 2 "$(e2e_recorder_count)"
e2e_expect 'lv-read 1000' 'rows=4' 'selected=-1'

# still_connecting: the program's connection to NAS-Far's page is open.
still_connecting() {
  ip netns exec "$E2E_CLIENT_NS" ss -Htn state syn-sent dst 10.203.9.9 | grep -c ':80' || true
}

echo "== a device out of reach: the wait gives up while the check still connects"
click_device NAS-Far
start=$(e2e_now_ms)
e2e_expect 'click 1008'
expect_box Warning 'Device is no longer available.' exclamation
echo "the message came after $(($(e2e_now_ms) - start)) ms"
e2e_check 'the check of the page is still connecting' 1 "$(still_connecting)"
e2e_check 'nothing more is launched' 2 "$(e2e_recorder_count)"

echo "== a device that stopped answering"
click_device NAS-Web
netns_stop "$DEVSIM_PID"
e2e_expect 'click 1008'
expect_box Warning 'Device is no longer available.' exclamation
e2e_expect 'sync timeout=20000'
e2e_check 'nothing more is launched' 2 "$(e2e_recorder_count)"
e2e_expect 'lv-read 1000' 'rows=0'

echo "== About opens and closes (OK, then Esc)"
for close in 'click 1' 'keys {ESC}'; do
  e2e_expect 'click 1021'
  e2e_expect 'wait-modal timeout=10000' 'kind=dialog'
  e2e_expect 'controls' '"Nexora Storage Utility"' '"Version : 5.1.1.2"'
  e2e_expect "$close"
  e2e_expect 'wait-gone'
  drive use main >/dev/null
done
e2e_expect 'window main' 'enabled=1'

echo "== leaving while a check still connects"
e2e_check 'the check of NAS-Far is still connecting' 1 "$(still_connecting)"
e2e_expect 'click 1009'
e2e_expect 'exit-code timeout=5000' 'code=0'
e2e_summary
