#!/usr/bin/env bash
# End-to-end proof of the harness: e2e-fixture.exe runs under Wine in a
# client network namespace on a private X display, a multicast echo runs in
# the device namespace, and nexora-uidriver.exe drives the fixture through
# every one of its commands as a person would. Each check prints "ok" or
# "FAIL" with what was expected and what came back; the last line is
# "N passed, M failed". Needs root (namespaces) and the windows-x86 build.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/e2e-lib.sh"

fixture=$E2E_WINDOWS_BIN/e2e-fixture.exe
for f in "$fixture" "$E2E_WINDOWS_BIN/nexora-uidriver.exe"; do
  if [ ! -f "$f" ]; then
    echo "missing $f: build the windows-x86 preset first (scripts/build windows-x86)" >&2
    exit 1
  fi
done

e2e_init
e2e_network || exit 1
e2e_xvfb || exit 1
e2e_wine || exit 1
netns_spawn "$E2E_DEVICE_NS" python3 "$here/mcast-echo.py" --iface "$E2E_DEVICE_IP" --seconds 240 \
  >"$E2E_WORK/echo.log" 2>&1
t0=$(e2e_now_ms)
e2e_driver_start || exit 1
echo "timing: first Wine program (the driver) up and answering: $(($(e2e_now_ms) - t0)) ms"

# Reads the fixture's status line ("<n>: <event>") into STATUS.
status() { drive text 1099; STATUS=$(drive_field text); }

# Waits until the fixture's status line ends with EVENT and checks it.
expect_event() {
  local what=$1 event=$2
  e2e_wait_for 'text 1099' "$event\"" 5 || true
  local got
  got=$(drive_field text)
  e2e_check "$what" "$event" "${got#*: }"
}

fixture_start() {
  local t0 t1
  t0=$(e2e_now_ms)
  e2e_run_exe "$fixture" || exit 1
  if ! drive attach '"Nexora E2E Fixture"' timeout=30000; then
    echo "FAIL the fixture's window did not appear: $DRIVE_REPLY"
    exit 1
  fi
  t1=$(e2e_now_ms)
  echo "timing: wine start to the fixture's first window: $((t1 - t0)) ms (warm prefix)"
}

echo "== start"
fixture_start
start=$(e2e_now_ms)
for _ in $(seq 50); do drive ping >/dev/null; done
echo "timing: driver round trip (ping): $(( ($(e2e_now_ms) - start) * 1000 / 50 )) us"

echo "== command language"
help=$(ip netns exec "$E2E_CLIENT_NS" wine "$E2E_WINDOWS_BIN/nexora-uidriver.exe" --help 2>/dev/null)
e2e_check 'nexora-uidriver.exe --help documents the commands' 'attach TITLE' \
  "$(grep -o 'attach TITLE' <<<"$help" | head -n1)"
e2e_expect 'help' 'attach TITLE' 'lv-read C'
e2e_expect 'frobnicate' 'err unknown-command'
e2e_expect 'click' 'err bad-args'
e2e_expect 'attach "no end' 'err bad-args'
e2e_expect 'click 1002 shape=round' 'err bad-args'
e2e_expect 'click 4711' 'err not-found'
e2e_expect 'set timeout=4000' 'timeout=4000'

echo "== windows and controls"
e2e_expect 'window' 'title="Nexora E2E Fixture"' 'class="#32770"' 'visible=1' 'enabled=1'
e2e_expect 'windows' 'count=1' '"Nexora E2E Fixture" "#32770" 1]'
e2e_expect 'controls' '1000 "SysListView32"' '1022 "Button" "Hidden" 0 1' '1099 "Static"'
e2e_expect 'control 1006' 'class="SysIPAddress32"' 'visible=1' 'enabled=1'
e2e_expect 'control Refresh' 'id=1002'
e2e_expect 'exit-code timeout=0' 'err running'
drive text 1098
addresses=$(drive_field text)
e2e_check "the fixture's local addresses are those of the client namespace" "$E2E_CLIENT_IP" "$addresses"

echo "== list view"
e2e_expect 'lv-read 1000' 'rows=3 cols=4 columns=["Name" "IP" "Netmask" "Gateway"]' \
  'items=[["NAS-One" "10.203.0.2" "255.255.255.0" "10.203.0.254"] ["NAS-Two" "10.203.0.3" "255.255.255.0" ""] ["Shelf \"B\" 3" "10.203.0.4" "255.255.0.0" "10.203.0.1"]]' \
  'selected=-1'
e2e_expect 'lv-click 1000 1'
expect_event 'a click on row 1 selects it' 'row 1000 item=1 selected=1'
e2e_expect 'lv-selected 1000' 'index=1'
e2e_expect 'lv-click 1000 2 col=3'
expect_event 'a click on row 2, column 3 selects row 2' 'row 1000 item=2 selected=2'
e2e_expect 'lv-read 1000' 'selected=2'
e2e_expect 'lv-click 1000 0 button=right'
expect_event 'a right click on row 0 is NM_RCLICK' 'rclick 1000 item=0 selected=0'
e2e_expect 'lv-click 1000 1 double=1'
expect_event 'a double click on row 1 ends with NM_DBLCLK' 'dblclick 1000 item=1 selected=1'
e2e_expect 'lv-click 1000 3' 'err not-found'
e2e_expect 'lv-read 1006' 'err wrong-class'

echo "== buttons"
drive control 1002
rect=$(drive_field rect)
read -r l t r b <<<"${rect//[\[\]]/}"
e2e_expect "move $(( (l + r) / 2 )) $(( (t + b) / 2 ))" "x=$(( (l + r) / 2 )) y=$(( (t + b) / 2 ))"
e2e_expect "click-at $(( (l + r) / 2 )) $(( (t + b) / 2 ))"
expect_event 'a click at the Refresh button' 'click 1002'
status
before=${STATUS%%:*}
e2e_expect 'click 1002'
e2e_expect 'click 1002'
e2e_wait_for 'text 1099' "$((before + 2)): click 1002\"" 5
status
e2e_check 'two quick clicks on one button are two clicks, not a double click' \
  "$((before + 2)): click 1002" "$STATUS"
e2e_expect 'click 1022' 'err hidden'
e2e_expect 'bm-click 1022'
e2e_expect 'sync'
expect_event 'BM_CLICK reaches the hidden button' 'click 1022'
status
before=${STATUS%%:*}
e2e_expect 'command 1022'
e2e_expect 'sync'
status
e2e_check 'WM_COMMAND of the hidden button runs its handler again' "$((before + 1)): click 1022" "$STATUS"

echo "== combo boxes"
e2e_expect 'cb-read 1015' 'count=2 items=["Disable" "Enable"] selected=0 text="Disable" dropped=0'
e2e_expect 'cb-select 1015 Enable' 'selected=1 text="Enable" dropped=0'
expect_event 'choosing Enable sends CBN_SELCHANGE' 'selchange 1015 1 Enable'
e2e_expect 'control 1006' 'enabled=0'
e2e_expect 'click 1006' 'err disabled'
e2e_expect 'cb-select 1015 0' 'selected=0 text="Disable"'
e2e_expect 'control 1011' 'enabled=1'
e2e_expect 'cb-read 1013' 'count=23 items=["Z:" "Y:" "X:"' 'selected=-1 text=""'
e2e_expect 'cb-select 1013 D:' 'selected=22 text="D:"'
expect_event 'an item out of view is reached with the keys' 'selchange 1013 22 D:'
e2e_expect 'cb-select 1013 X: via=keys' 'selected=2 text="X:"'
e2e_expect 'cb-select 1013 1' 'selected=1 text="Y:"'
expect_event 'a click on an item in view takes it' 'selchange 1013 1 Y:'
e2e_expect 'cb-select 1013 B:' 'err not-found'
e2e_expect 'cb-select 1016 LAN2' 'err hidden'
e2e_expect 'cb-set 1016 LAN2' 'selected=1 text="LAN2"'
expect_event 'cb-set reaches a hidden combo box' 'selchange 1016 1 LAN2'

echo "== IP address controls and edits"
e2e_expect 'ip-read 1006' 'address="0.0.0.0" blank=1 filled=0 fields=["" "" "" ""]'
e2e_expect 'ip-type 1006 10.203.0.9' 'address="10.203.0.9" blank=0 filled=4 fields=["10" "203" "0" "9"]'
e2e_expect 'ip-type 1010 255.255.255.0' 'address="255.255.255.0"'
e2e_expect 'focus' 'class="Edit" ip=1010 field=3'
e2e_expect 'ip-type 1011 7 field=2' 'fields=["" "" "7" ""]'
e2e_expect 'focus' 'ip=1011 field=2'
e2e_expect 'ip-type 1011 10.203.0.1 clear=1' 'address="10.203.0.1" blank=0 filled=4'
e2e_expect 'type 1040 "Hello World"' 'text="Hello World"'
e2e_expect 'type 1040 x clear=1' 'text="x"'
e2e_expect 'focus' 'id=1040 class="Edit"'
e2e_expect 'type 1040 abcdefghijklmnopqrst clear=1' 'text="abcdefghijklmnop"'
e2e_expect 'keys {HOME}{SHIFT+END}{DEL}n{BACK}N'
e2e_expect 'text 1040' 'text="N"'
e2e_expect 'click Apply'
expect_event 'the owner-drawn Apply button reads the controls' 'apply 10.203.0.9/255.255.255.0/10.203.0.1 name=N'

echo "== message boxes"
e2e_expect 'msgbox timeout=200' 'err timeout'
e2e_expect 'ip-type 1006 0.1.2.3 clear=1' 'address="0.1.2.3"'
e2e_expect 'click 1007'
e2e_expect 'msgbox' 'caption="Error" text="Invalid IP address in 1st digit. It should be 1-223." icon=information buttons=["OK"]'
e2e_expect 'wait-modal' 'kind=msgbox'
e2e_expect 'click 1002' 'err not-found'
e2e_expect 'click OK'
e2e_expect 'wait-gone'
expect_event 'OK closes the box with IDOK' 'msgbox 1007 -> 1'
e2e_expect 'focus' 'ip=1006 field=0'
e2e_expect 'click "Error box"'
e2e_expect 'msgbox' 'caption="Error" text="Please select a device in the above section." icon=hand buttons=["OK"]'
e2e_expect 'keys {ENTER}'
e2e_expect 'wait-gone'
expect_event 'Enter presses the default button' 'msgbox 1041 -> 1'
e2e_expect 'click 1042'
e2e_expect 'msgbox' 'caption="Warning" text="Please input net mask address!" icon=exclamation'
e2e_expect 'click OK'
e2e_expect 'wait-gone'
e2e_expect 'click 1043'
e2e_expect 'msgbox' 'caption="Confirm" text="DHCP client enabled." icon=information buttons=["OK" "Cancel"]'
e2e_expect 'click Cancel'
e2e_expect 'wait-gone'
expect_event 'Cancel closes the box with IDCANCEL' 'msgbox 1043 -> 2'
e2e_expect 'click 1044'
e2e_expect 'msgbox' 'caption="Question" text="Remove the mapping\nof drive Z:?" icon=question buttons=["Yes" "No"]'
e2e_expect 'click No'
e2e_expect 'wait-gone'
expect_event 'No closes the box with IDNO' 'msgbox 1044 -> 7'

echo "== modal dialog"
e2e_expect 'click Login...'
e2e_expect 'wait-modal' 'title="Login" class="#32770" kind=dialog'
e2e_expect 'msgbox timeout=300' 'err not-msgbox'
e2e_expect 'use main'
e2e_expect 'wait-window title=Login' 'title="Login"'
e2e_expect 'control 1016' 'text="admin"' 'enabled=0'
e2e_expect 'type 1017 s3cret' 'text="s3cret"'
e2e_expect 'focus' 'id=1017'
e2e_expect 'click OK'
e2e_expect 'wait-gone'
expect_event 'the dialog hands back what was typed' 'login ok user=admin password=s3cret'
e2e_expect 'click 1045'
e2e_expect 'wait-modal' 'title="Login"'
e2e_expect 'keys {ESC}'
e2e_expect 'wait-gone'
expect_event 'Escape cancels the dialog' 'login cancel'

e2e_expect 'click 1048'
e2e_expect 'wait-modal' 'kind=dialog'
e2e_expect 'msgbox timeout=300' 'err not-msgbox'
e2e_expect 'controls' '65535 "Static" "The drive letter has been used."' '[0x' ' 1 "Button" "" 1 1'
e2e_expect 'click 1'
e2e_expect 'wait-gone'
expect_event 'a text-less skinned button is clicked by its id' 'in-use ok'

echo "== busy window"
e2e_expect 'click Busy'
e2e_expect 'sync timeout=300' 'err busy'
e2e_expect 'sync timeout=5000'
expect_event 'sync waits out the blocked handler' 'busy done'
status
before=${STATUS%%:*}
e2e_expect 'click Busy'
e2e_expect 'click Refresh'
e2e_expect 'sync timeout=5000'
status
e2e_check 'sync also waits for the click that queued up while the window was busy' \
  "$((before + 2)): click 1002" "$STATUS"
e2e_expect 'click Busy'
e2e_expect 'text 1099' 'busy done'

echo "== network"
e2e_expect 'click Multicast'
expect_event 'a datagram to 224.0.0.1 reaches the device namespace and back' \
  "mcast reply from $E2E_DEVICE_IP: pong:e2e-ping"

echo "== pictures"
bmp=$E2E_WORK/fixture.bmp
drive window main
rect=$(drive_field rect)
read -r l t r b <<<"${rect//[\[\]]/}"
e2e_expect "screenshot $bmp main" "width=$((r - l)) height=$((b - t))"
e2e_check 'the window picture is a BMP file of the reported size' \
  "BM $((54 + ((r - l) * 3 + 3) / 4 * 4 * (b - t)))" \
  "$(head -c2 "$bmp" 2>/dev/null) $(stat -c %s "$bmp" 2>/dev/null)"
e2e_expect "screenshot $E2E_WORK/screen.bmp" 'width=1280 height=1024'
e2e_screenshot "$E2E_WORK/screen.png"
e2e_check 'import takes a picture of the whole screen' 'PNG' "$(head -c4 "$E2E_WORK/screen.png" | tail -c3)"

echo "== leaving"
e2e_expect 'click Exit'
e2e_expect 'exit-code' 'code=7'
e2e_expect 'window main' 'err gone'
fixture_start
e2e_expect 'close'
e2e_expect 'exit-code' 'code=2'

e2e_summary
