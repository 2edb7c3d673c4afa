#!/usr/bin/env bash
# End-to-end test of the BitTorrent install: NexoraStorageUtility.exe under
# Wine against nexora-devsim, its hidden BitTorrent button's command (1025)
# sent to the main window. The device's share is a folder that the test
# prefix reaches as \\ADDRESS\SHARE (dosdevices/unc). Checked: the two
# programs staged in "C:\bt\", on the device byte for byte as the catalogue
# holds them (an old copy replaced), "rw" and the registration "BT" on the
# wire, the restart wait with its real 90 s, the refresh and the staging
# folder removed; and a device whose firmware refuses the add-on at the
# first answer, asked once. Needs root and the native and windows-x86
# builds.
set -uo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
source "$here/app-lib.sh"

# The payload files the build embedded (generated stand-ins, or the folder
# given to the build as NEXORA_PAYLOAD_DIR).
PAYLOADS=${NEXORA_E2E_PAYLOADS:-$E2E_WINDOWS_BIN/../resources/payloads}
for f in bt btdog; do
  if [ ! -f "$PAYLOADS/$f" ]; then
    echo "missing $PAYLOADS/$f: build the windows-x86 preset first (or set NEXORA_E2E_PAYLOADS)" >&2
    exit 1
  fi
done

app_setup
BT_MAC=00:14:fd:40:00:01
REFUSING_MAC=00:14:fd:40:00:02
cat >"$E2E_WORK/devices.ini" <<INI
[device bt]
name = NAS-Bt
mac = $BT_MAC
address = 10.203.0.2
model = KX-7200
disk = 4
sharename = HDD_1
btfirmware = 1
restart_ms = 1000

[device refusing]
name = NAS-NoBt
mac = $REFUSING_MAC
address = 10.203.0.3
disk = 3
btfirmware = 2
INI
devsim_start "$E2E_WORK/devices.ini"

# The device's share HDD_1 as a folder, with the add-on folder and an old
# "bt" of an earlier install.
share=$E2E_WORK/shares/10.203.0.2/HDD_1
device_dir=$share/Nas_Prog/BT
mkdir -p "$device_dir" "$WINEPREFIX/dosdevices/unc/10.203.0.2"
printf 'old bt\n' >"$device_dir/bt"
ln -s "$share" "$WINEPREFIX/dosdevices/unc/10.203.0.2/HDD_1"
staging=$WINEPREFIX/drive_c/bt

app_start

# set_data TYPE5-HEX: the data of a set request, as text.
set_data() {
  local h=$1 n
  n=$(( 16#${h:118:2}${h:116:2}${h:114:2}${h:112:2} ))
  printf '%s' "${h:120:$((n * 2))}" | xxd -r -p | tr -d '\0'
}

echo "== firmware refusing at the first answer: asked once, the flow stops"
click_device NAS-NoBt
wire_mark
e2e_expect 'command 1025'
expect_box "$APP_TITLE" 'BitTorrent does not supported on this device now.' none
e2e_check 'one firmware query' 1 "$(wire_count 3 15 "$REFUSING_MAC")"
e2e_check 'no install run (no mount mode)' 0 "$(wire_count 5 10 "$REFUSING_MAC")"
e2e_check 'nothing staged' no "$([ -e "$staging" ] && echo yes || echo no)"

echo "== install"
click_device NAS-Bt
wire_mark
e2e_expect 'command 1025'
# The readiness polls, then the install window's run, then the restart wait
# (the modal window with the progress bar).
shown=no
for i in $(seq 120); do
  if drive wait-modal timeout=500 && drive controls && [[ $DRIVE_REPLY == *'"msctls_progress32"'* ]]; then
    shown=yes
    break
  fi
  sleep 0.5
done
wait_started=$(e2e_now_ms)
e2e_check 'the restart wait comes up after the install' yes "$shown"
e2e_expect 'control 1023' 'class="msctls_progress32"'
e2e_check 'the programs are staged in C:\bt\ (folder still there, files gone)' "yes " \
  "$([ -d "$staging" ] && echo yes) $(ls -A "$staging" 2>/dev/null)"
for f in bt btdog; do
  e2e_check "$f on the device equals the catalogue's" same \
    "$(cmp -s "$PAYLOADS/$f" "$device_dir/$f" && echo same || echo differs)"
done
e2e_check 'mount mode "rw" on the wire' rw "$(set_data "$(wire_rx 5 10 "$BT_MAC" | head -n1)")"
e2e_check 'the add-on registered as "BT"' BT "$(set_data "$(wire_rx 5 14 "$BT_MAC" | head -n1)")"
e2e_check 'no stop command' 0 "$(wire_count 5 13 "$BT_MAC")"
e2e_check 'one disk status query (4 is ready)' 1 "$(wire_count 3 11 "$BT_MAC")"

# The restart wait closes by itself after 90 s (waited for in steps shorter
# than the driver's reply time-out).
gone=no
for i in $(seq 5); do
  if drive wait-gone timeout=30000; then gone=yes; break; fi
done
e2e_check 'the restart wait closes by itself' yes "$gone"
waited=$(( $(e2e_now_ms) - wait_started ))
echo "timing: the restart wait closed after $waited ms"
e2e_check 'the restart wait lasts about 90 s' yes "$([ "$waited" -ge 85000 ] && [ "$waited" -le 100000 ] && echo yes || echo "no ($waited ms)")"
drive use main >/dev/null
e2e_expect 'sync timeout=20000'
e2e_check 'refreshed: a discovery after the install' yes "$([ "$(wire_count 1)" -ge 1 ] && echo yes || echo no)"
e2e_check 'the staging folder is removed' no "$([ -e "$staging" ] && echo yes || echo no)"
e2e_expect 'lv-read 1000' 'selected=-1'

app_exit
e2e_summary
