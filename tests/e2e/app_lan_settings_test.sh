#!/usr/bin/env bash
# End-to-end test of NexoraStorageUtility.exe: the program under Wine in the
# client namespace finds the devices that nexora-devsim plays in the device
# namespace (lan-devices.ini), and is driven as a person would: clicks on
# rows and buttons, addresses typed into the IP controls, message boxes and
# the login dialog answered. What the program shows is read back from its
# controls; what it sent is read from the simulator's hex log. One program
# start for every scenario. Needs root and the native and windows-x86 builds.
set -uo pipefail
# Byte-wise text comparison (share names in the ANSI code page), and the
# same Wine locale in every run.
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
source "$here/app-lib.sh"

app_setup
devsim_start "$here/lan-devices.ini"
app_start
echo "timing: program start to the main window $((APP_WINDOW_MS - APP_LAUNCH_MS)) ms, to its device rows $((APP_ROWS_MS - APP_LAUNCH_MS)) ms"
cid=$(client_id)

# No set request (type 5) and no login query (type 3, code 4) since the mark.
expect_quiet_wire() {
  e2e_check "$1: no set request on the wire" 0 "$(wire_count 5)"
  e2e_check "$1: no login query on the wire" 0 "$(wire_count 3 4)"
}

# Waits until the device list has a row NAME with ADDRESS (refresh after a
# change), then checks it.
expect_device_row() {
  local name=$1 address=$2
  e2e_wait_for 'lv-read 1000' "[\"$name\" \"$address\"" 20 || true
  e2e_check "the device list shows $name at $address" "[\"$name\" \"$address\"" \
    "$(grep -o "\[\"$name\" \"[^\"]*\"" <<<"$DRIVE_REPLY")"
}

echo "== discovery"
e2e_check 'the first discovery request is 11 bytes with zero bytes 7..10' \
  "01${cid}00000000" "$(awk '$2 == "rx" { print $6; exit }' "$DEVSIM_LOG")"
e2e_expect 'lv-read 1000' 'rows=7 cols=4 columns=["Name" "IP" "Netmask" "Gateway"]' \
  'items=[["NAS-Alpha" "10.203.0.21" "255.255.255.0" "10.203.0.254"] ["NAS-Beta" "10.203.0.22" "255.255.0.0" "0.0.0.0"] ["NAS-Gamma" "10.203.0.23" "255.255.255.0" "10.203.0.254"] ["NAS-Secure" "10.203.0.24" "255.255.255.0" "10.203.0.254"] ["NAS-Dual" "10.203.0.25" "255.255.255.0" "10.203.0.254"] ["NAS-Dual2" "192.168.77.6" "255.255.255.0" "192.168.77.1"] ["NAS-Mute" "10.203.0.27" "255.255.255.0" "10.203.0.254"]]' \
  'selected=-1'
e2e_expect 'lv-read 1001' 'rows=0 cols=2 columns=["Volume Name" "Location"]'
e2e_expect 'ip-read 1006' 'blank=1'

echo "== apply before any device is clicked"
wire_mark
e2e_expect 'click 1007'
expect_box Error 'Please select a device in the above section.' hand
expect_quiet_wire 'apply without a device'

echo "== a click fills the panel"
wire_mark
click_device NAS-Alpha
e2e_expect 'ip-read 1006' 'address="10.203.0.21" blank=0'
e2e_expect 'ip-read 1010' 'address="255.255.255.0"'
e2e_expect 'ip-read 1011' 'address="10.203.0.254"'
e2e_expect 'cb-read 1015' 'selected=0 text="Disable"'
for id in 1006 1010 1011; do e2e_expect "control $id" 'enabled=1'; done
# Recycle-bin shares are left out; "Recycle" is not one; the UTF-8 name is
# shown in the ANSI code page (1252 here).
e2e_expect 'lv-read 1001' "items=[[\"Public\" \"\"] [\"Media\" \"\"] [\"Recycle\" \"\"] [\"M"$'\xfc'"sik\" \"\"]]"
e2e_expect 'cb-read 1016' 'count=0'
e2e_expect 'control 1016' 'visible=0 enabled=0'
e2e_check 'the click queries LAN configuration, shares and SSL mode, in that order' \
  '20 3 19' "$(wire_rx 3 '' 00:14:fd:20:00:01 | while read -r h; do printf '%d ' "0x${h:42:2}"; done | sed 's/ $//')"
e2e_check 'each query names the device and has no data (28 bytes)' \
  "$(hex_query "$cid" 00:14:fd:20:00:01 10.203.0.21 20)" \
  "$(wire_rx 3 20 00:14:fd:20:00:01 | head -n1)"

click_device NAS-Beta
e2e_expect 'cb-read 1015' 'selected=1 text="Enable"'
for id in 1006 1010 1011; do e2e_expect "control $id" 'enabled=0'; done
e2e_expect 'ip-read 1006' 'address="10.203.0.22"'
e2e_expect 'ip-read 1011' 'blank=1'   # gateway 0.0.0.0 is shown blank
e2e_expect 'lv-read 1001' 'items=[["Home" ""]]'

echo "== from DHCP to a link-local address without a gateway"
e2e_expect 'cb-select 1015 Disable' 'selected=0'
for id in 1006 1010 1011; do e2e_expect "control $id" 'enabled=1'; done
e2e_expect 'ip-type 1006 169.254.1.2 clear=1' 'address="169.254.1.2"'
wire_mark
e2e_expect 'click 1007'
expect_device_row NAS-Beta 169.254.1.2
e2e_check 'one code-1 set request with an empty gateway' \
  "$(hex_set_header "$cid" 00:14:fd:20:00:02 10.203.0.22 1 255.255.0.0 '' 11)$(hex_text 169.254.1.2)" \
  "$(wire_rx 5 '' 00:14:fd:20:00:02)"

echo "== validation messages send nothing"
click_device NAS-Alpha
wire_mark
# address netmask gateway | caption | text | icon
while IFS='|' read -r ip mask gw caption text icon; do
  e2e_expect "ip-type 1006 $ip clear=1" "address=\"$ip\""
  e2e_expect "ip-type 1010 $mask clear=1" "address=\"$mask\""
  e2e_expect "ip-type 1011 $gw clear=1" "address=\"$gw\""
  e2e_expect 'click 1007'
  expect_box "$caption" "$text" "$icon"
done <<'EOF'
127.0.0.1|255.255.255.0|10.203.0.254|Warning|IP address input error. Please try again.|exclamation
224.0.0.5|255.255.255.0|10.203.0.254|Error|Invalid IP address in 1st digit. It should be 1-223.|information
10.203.0.31|255.0.255.0|10.203.0.254|Error|Netmask address input invalid. Please try again.|hand
10.203.0.31|255.255.255.0|10.0.0.1|Error|You enter incorrect TCP/IP configuration. Please try again.|hand
10.203.0.31|255.255.255.0|10.203.0.255|Error|You enter incorrect TCP/IP configuration. Please try again.|hand
EOF
expect_quiet_wire 'refused settings'
e2e_expect 'ip-read 1006' 'address="10.203.0.31"'   # what was typed stays
e2e_expect 'lv-read 1000' '["NAS-Alpha" "10.203.0.21"'

echo "== a static address (no administrator password: no login dialog)"
e2e_expect 'ip-type 1011 10.203.0.254 clear=1' 'address="10.203.0.254"'
wire_mark
e2e_expect 'click 1007'
expect_device_row NAS-Alpha 10.203.0.31
e2e_expect 'windows' 'count=1'
e2e_check 'one login query with admin and an empty password (35 bytes)' \
  "$(hex_query "$cid" 00:14:fd:20:00:01 10.203.0.21 4 "$(hex_text admin)55aa")" \
  "$(wire_rx 3 4 00:14:fd:20:00:01)"
e2e_check 'one code-1 set request: settings header and the new address as 11 data bytes (71 bytes)' \
  "$(hex_set_header "$cid" 00:14:fd:20:00:01 10.203.0.21 1 255.255.255.0 10.203.0.254 11)$(hex_text 10.203.0.31)" \
  "$(wire_rx 5 '' 00:14:fd:20:00:01)"
e2e_check 'the refresh leaves the panel empty' '' "$(drive lv-read 1001; drive_field items | tr -d '[]')"
e2e_expect 'ip-read 1006' 'blank=1'

echo "== DHCP client mode"
click_device NAS-Gamma
# DHCP mode does not look at the address controls: a refused address stays.
e2e_expect 'ip-type 1006 127.0.0.1 clear=1' 'address="127.0.0.1"'
e2e_expect 'cb-select 1015 Enable' 'selected=1 text="Enable"'
for id in 1006 1010 1011; do e2e_expect "control $id" 'enabled=0'; done
wire_mark
e2e_expect 'click 1007'
expect_box Confirm 'DHCP client enabled.' information
expect_device_row NAS-Gamma 10.203.0.77
e2e_check 'one code-2 set request, 60 bytes, without data or settings' \
  "$(hex_set_header "$cid" 00:14:fd:20:00:03 10.203.0.23 2 '' '' 0)" \
  "$(wire_rx 5 '' 00:14:fd:20:00:03)"

echo "== administrator password"
click_device NAS-Secure
e2e_expect 'ip-type 1006 10.203.0.44 clear=1' 'address="10.203.0.44"'
wire_mark
e2e_expect 'click 1007'
e2e_expect 'wait-modal timeout=20000' 'title="Login"' 'kind=dialog'
e2e_expect 'control 1016' 'text="admin"' 'enabled=0'
e2e_expect 'type 1017 wrong' 'text="wrong"'
e2e_expect 'click 1'
e2e_expect 'wait-gone'
expect_box Error 'Wrong administrator password input!' hand
e2e_check 'a wrong password: two login queries, the second one with what was typed' \
  "$(hex_text admin)55aa $(hex_text admin)55aa$(hex_text wrong)" \
  "$(wire_rx 3 4 00:14:fd:20:00:04 | cut -c57- | paste -sd' ')"
e2e_check 'a wrong password sends no set request' 0 "$(wire_count 5)"
e2e_expect 'lv-read 1000' '["NAS-Secure" "10.203.0.24"'

wire_mark
e2e_expect 'click 1007'
e2e_expect 'wait-modal timeout=20000' 'title="Login"'
e2e_expect 'type 1017 abcdefghijklmnopqrst' 'text="abcdefghijklmnop"'   # 16 characters at most
e2e_expect 'keys {ESC}'
e2e_expect 'wait-gone'
expect_box Error 'Wrong administrator password input!' hand
e2e_check 'Cancel in the login dialog sends no set request' 0 "$(wire_count 5)"

wire_mark
e2e_expect 'click 1007'
e2e_expect 'wait-modal timeout=20000' 'title="Login"'
e2e_expect 'type 1017 s3cret' 'text="s3cret"'
e2e_expect 'click 1'
e2e_expect 'wait-gone'
drive use main >/dev/null
expect_device_row NAS-Secure 10.203.0.44
e2e_check 'the right password: one code-1 set request with the new address' \
  "$(hex_set_header "$cid" 00:14:fd:20:00:04 10.203.0.24 1 255.255.255.0 10.203.0.254 11)$(hex_text 10.203.0.44)" \
  "$(wire_rx 5 '' 00:14:fd:20:00:04)"

echo "== two LAN ports"
click_device NAS-Dual
e2e_expect 'cb-read 1016' 'count=2 items=["LAN1" "LAN2"] selected=0'
e2e_expect 'control 1016' 'visible=0 enabled=1'
e2e_expect 'ip-read 1006' 'address="10.203.0.25"'
e2e_expect 'lv-read 1001' 'items=[["Projects" ""] ["Archive" ""]]'
e2e_expect 'ip-type 1006 10.203.0.35 clear=1' 'address="10.203.0.35"'
# The port combo is hidden (no person reaches it): chosen with cb-set.
# Switching keeps what was edited for the port left.
e2e_expect 'cb-set 1016 LAN2' 'selected=1 text="LAN2"'
e2e_expect 'sync'
e2e_expect 'ip-read 1006' 'address="192.168.77.5"'
e2e_expect 'ip-read 1011' 'blank=1'
e2e_expect 'ip-type 1006 192.168.77.8 clear=1' 'address="192.168.77.8"'
e2e_expect 'cb-set 1016 LAN1' 'selected=0 text="LAN1"'
e2e_expect 'sync'
e2e_expect 'ip-read 1006' 'address="10.203.0.35"'
e2e_expect 'ip-read 1011' 'address="10.203.0.254"'
wire_mark
e2e_expect 'click 1007'
expect_device_row NAS-Dual 10.203.0.35
e2e_check 'one code-21 set request of 180 bytes: header with the first port, then both ports' \
  "$(hex_set_header "$cid" 00:14:fd:20:00:05 10.203.0.25 21 255.255.255.0 10.203.0.254 120)$(
    hex_lan_port LAN1 10.203.0.35 255.255.255.0 10.203.0.254 0)$(
    hex_lan_port LAN2 192.168.77.8 255.255.255.0 0.0.0.0 0)" \
  "$(wire_rx 5 '' 00:14:fd:20:00:05)"

echo "== two LAN ports, found at the second port's address"
click_device NAS-Dual2
e2e_expect 'cb-read 1016' 'count=2 items=["LAN1" "LAN2"] selected=1 text="LAN2"'
e2e_expect 'ip-read 1006' 'address="192.168.77.6"'
e2e_expect 'ip-type 1006 192.168.77.9 clear=1' 'address="192.168.77.9"'
wire_mark
e2e_expect 'click 1007'
expect_device_row NAS-Dual2 192.168.77.9
# The edited values travel in the second half; the header carries the
# first port's settings.
e2e_check 'one code-21 set request: LAN1 as queried, LAN2 as edited' \
  "$(hex_set_header "$cid" 00:14:fd:20:00:06 192.168.77.6 21 255.255.255.0 10.203.0.254 120)$(
    hex_lan_port LAN1 10.203.0.26 255.255.255.0 10.203.0.254 0)$(
    hex_lan_port LAN2 192.168.77.9 255.255.255.0 192.168.77.1 0)" \
  "$(wire_rx 5 '' 00:14:fd:20:00:06)"

echo "== a device that does not answer the DHCP command"
click_device NAS-Mute
e2e_expect 'cb-select 1015 Enable' 'selected=1'
wire_mark
e2e_expect 'click 1007'
expect_box Error 'Set to dhcp client fail.' hand
e2e_check 'the DHCP command was sent once' 1 "$(wire_count 5 2 00:14:fd:20:00:07)"
e2e_expect 'lv-read 1000' '["NAS-Mute" "10.203.0.27"'

echo "== a refresh ends the selection"
click_device NAS-Alpha
e2e_expect 'click 1002'
e2e_expect 'sync timeout=20000'
e2e_expect 'ip-read 1006' 'blank=1'
e2e_expect 'lv-read 1001' 'rows=0'
wire_mark
e2e_expect 'click 1007'
expect_box Error 'Please select a device in the above section.' hand
expect_quiet_wire 'apply after a refresh'

echo "== the list after all the changes"
e2e_expect 'lv-read 1000' 'rows=7' \
  'items=[["NAS-Alpha" "10.203.0.31" "255.255.255.0" "10.203.0.254"] ["NAS-Beta" "169.254.1.2" "255.255.0.0" ""] ["NAS-Gamma" "10.203.0.77" "255.255.255.0" "10.203.0.254"] ["NAS-Secure" "10.203.0.44" "255.255.255.0" "10.203.0.254"] ["NAS-Dual" "10.203.0.35" "255.255.255.0" "10.203.0.254"] ["NAS-Dual2" "192.168.77.9" "255.255.255.0" "192.168.77.1"] ["NAS-Mute" "10.203.0.27" "255.255.255.0" "10.203.0.254"]]'

echo "== no device on the network"
netns_stop "$DEVSIM_PID"
e2e_expect 'click 1002'
e2e_expect 'sync timeout=20000'
e2e_expect 'lv-read 1000' 'rows=0'
e2e_expect 'msgbox timeout=1500' 'err timeout'
e2e_expect 'control 1016' 'enabled=0'
e2e_expect 'ip-read 1006' 'blank=1'

echo "== leaving"
app_exit
e2e_summary
