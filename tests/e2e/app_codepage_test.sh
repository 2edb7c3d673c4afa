#!/usr/bin/env bash
# End-to-end test of the code-page install: NexoraStorageUtility.exe under
# Wine against nexora-devsim (codepage-devices.ini). Each device's shares are
# folders of this test, linked into the Wine prefix as \\ADDRESS\SHARE. The
# Language command (button 1022, hidden) is sent to the main window; the
# language dialog is answered as a person would. Checks the files on the
# share, byte for byte against the payloads the program embeds, and the
# set requests on the wire. Needs root and the native and windows-x86 builds.
set -uo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
source "$here/app-lib.sh"

# The payload folder the program embeds: NEXORA_PAYLOAD_DIR of the build, or
# the generated stand-ins.
payload_dir() {
  local cache=$E2E_WINDOWS_BIN/../CMakeCache.txt dir=
  [ -f "$cache" ] && dir=$(sed -n 's/^NEXORA_PAYLOAD_DIR:PATH=//p' "$cache")
  [ -n "$dir" ] && echo "$dir" || echo "$E2E_WINDOWS_BIN/../resources/payloads"
}
PAYLOADS=$(payload_dir)
[ -f "$PAYLOADS/codepage.932" ] || { echo "FAIL no embedded payloads in $PAYLOADS"; exit 1; }

app_require
e2e_init
SHARES=$E2E_WORK/shares
READONLY=$SHARES/10.203.0.33/HDD_a
# The read-only share is mounted before Wine starts, so that the program's
# namespaces see it; it is unmounted before the library's own clean-up.
mkdir -p "$READONLY/.codepages"
if ! { mount --bind "$READONLY" "$READONLY" && mount -o remount,bind,ro "$READONLY"; }; then
  echo "FAIL cannot mount the read-only share"
  exit 1
fi
NETNS_ON_EXIT="umount '$READONLY' 2>/dev/null; $NETNS_ON_EXIT"
e2e_network || exit 1
e2e_xvfb || exit 1
e2e_wine || exit 1
e2e_driver_start || exit 1

# share ADDRESS SHARE [FOLDER...]: a share folder of a device with the
# device's own folders in it, reachable as \\ADDRESS\SHARE.
share() {
  local address=$1 name=$2 folder
  shift 2
  mkdir -p "$SHARES/$address/$name" "$WINEPREFIX/dosdevices/unc/$address"
  for folder in "$@"; do mkdir -p "$SHARES/$address/$name/$folder" 2>/dev/null; done
  ln -sfn "$SHARES/$address/$name" "$WINEPREFIX/dosdevices/unc/$address/$name"
}
share 10.203.0.31 HDD_1 .systemfile/.codepages
share 10.203.0.32 HDD_a .codepages
share 10.203.0.33 HDD_a .codepages

devsim_start "$here/codepage-devices.ini"
app_start

# text_of HEX: the bytes as text, up to the first zero.
text_of() {
  local hex=$1 i out=''
  for ((i = 0; i < ${#hex}; i += 2)); do
    [ "${hex:i:2}" = 00 ] && break
    out+=$(printf '%b' "\\x${hex:i:2}")
  done
  printf '%s' "$out"
}

# set_requests MAC: "CODE:TEXT" of every set request to that device since
# the mark, space-separated (the text is the data at offset 60, by its length
# at 56).
set_requests() {
  wire_rx 5 '' "$1" | while read -r h; do
    local len=$((0x${h:118:2}${h:116:2}${h:114:2}${h:112:2}))
    printf '%d:%s ' "0x${h:42:2}" "$(text_of "${h:120:$((len * 2))}")"
  done | sed 's/ $//'
}

# install NAME SHOWN [CHOICE]: the Language command on device NAME; the
# dialog shows the device's language SHOWN; CHOICE (one the opened list
# shows) is picked with the mouse; OK.
install() {
  wire_mark
  click_device "$1"
  e2e_expect 'sync'
  e2e_expect 'command 1022'
  e2e_expect 'wait-modal timeout=30000' 'title=""' 'kind=dialog'
  e2e_expect 'cb-read 1022' "text=\"$2\""
  [ -n "${3:-}" ] && e2e_expect "cb-select 1022 \"$3\"" "text=\"$3\""
  e2e_expect 'click 1'
  drive use main >/dev/null
}

# expect_files DIR NAME...: DIR holds exactly these files, each the bytes
# of the embedded payload of that name.
expect_files() {
  local dir=$1 name same=1
  shift
  e2e_check "$dir holds exactly the language's files" "$(printf '%s\n' "$@" | sort)" \
    "$(find "$dir" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort)"
  for name in "$@"; do cmp -s "$PAYLOADS/$name" "$dir/$name" || { same=0; echo "     $name differs"; }; done
  e2e_check "every file in $dir equals the catalogue's" 1 "$same"
}

# restart_wait_then_restart: the restart wait (a progress bar) follows a
# successful install; its 90 s are waited for once, in the BitTorrent test,
# so here the program is started again instead.
restart_wait_then_restart() {
  e2e_expect 'wait-modal timeout=10000' 'kind=dialog'
  e2e_expect 'controls' '"msctls_progress32"'
  app_restart
}

echo "== Japanese on an \"HDD_1\" device"
install NAS-Number 'Japanese SJIS'
wire_wait 2 5 '' 00:14:fd:30:00:01
expect_files "$SHARES/10.203.0.31/HDD_1/.systemfile/.codepages" \
  codepage.932 nls_cp932.ko nls_euc-jp.ko nls_cp932_12.ko nls_euc-jp_12.ko unicode_map.932
e2e_check 'the wire shows "rw", then the code page' '10:rw 8:932' "$(set_requests 00:14:fd:30:00:01)"
e2e_check 'no message box' '' "$(drive msgbox timeout=300 >/dev/null && echo "$DRIVE_REPLY")"
restart_wait_then_restart

echo "== Cyrillic on an \"HDD_a\" device"
install NAS-Letter Cyrillic
wire_wait 2 5 '' 00:14:fd:30:00:02
expect_files "$SHARES/10.203.0.32/HDD_a/.codepages" \
  codepage.866 nls_cp866.o nls_koi8-r.o unicode_map.866 unicode_map.KOI8-R
e2e_check 'the wire shows "rw", then the code page' '10:rw 8:866' "$(set_requests 00:14:fd:30:00:02)"
restart_wait_then_restart

echo "== a read-only share"
install NAS-Locked 'Traditional Chinese' 'Western European'
expect_box 'Nexora Storage Utility' 'Please check hard drives.' none
e2e_check 'the wire shows "rw", then "stop", and no code page' '10:rw 13:stop' \
  "$(set_requests 00:14:fd:30:00:03)"
e2e_check 'nothing arrived on the share' '' "$(ls -A "$READONLY/.codepages")"
# The language dialog is offered again; Cancel leaves the flow.
e2e_expect 'wait-modal timeout=30000' 'title=""' 'kind=dialog'
e2e_expect 'control 1022' 'visible=1'
e2e_expect 'click 2'
e2e_expect 'wait-gone'
drive use main >/dev/null

app_exit
e2e_summary
