# Helpers for end-to-end tests of NexoraStorageUtility.exe: the program under
# Wine in the client namespace, nexora-devsim in the device namespace, the
# program driven with nexora-uidriver.exe (scripts/e2e-lib.sh) and what
# reached the wire read back from the simulator's hex log. Source it from a
# test script:
#
#   source "$here/app-lib.sh"
#   app_setup                       # namespaces, Xvfb, Wine, the driver
#   devsim_start devices.ini        # DEVSIM_LOG
#   app_start                       # program up, main window attached
#   wire_mark                       # what follows is "since the mark"
#   ... drive ...
#   wire_rx 5 1 00:14:fd:00:00:01   # set requests of code 1 to that device
#
# Programs: E2E_WINDOWS_BIN (windows-x86: the release program and the driver) and
# NEXORA_NATIVE_BIN (native: nexora-devsim, default <repo>/build/native/bin).

# shellcheck shell=bash source=../../scripts/e2e-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"

: "${NEXORA_NATIVE_BIN:=$E2E_ROOT/build/native/bin}"
APP_EXE=$E2E_WINDOWS_BIN/NexoraStorageUtility.exe
APP_TITLE="Nexora Storage Utility"
DEVSIM=$NEXORA_NATIVE_BIN/nexora-devsim
DEVSIM_LOG=
DEVSIM_PID=
WIRE_MARK=0
APP_LAUNCH_MS=
APP_WINDOW_MS=

# app_require: every program the test needs is built.
app_require() {
  local f
  for f in "$APP_EXE" "$E2E_WINDOWS_BIN/nexora-uidriver.exe" "$DEVSIM"; do
    if [ ! -f "$f" ]; then
      echo "missing $f: build the native and windows-x86 presets first (scripts/build native windows-x86)" >&2
      exit 1
    fi
  done
}

# app_setup: the namespaces, a private display, Wine and the driver.
app_setup() {
  app_require
  e2e_init
  e2e_network || exit 1
  e2e_xvfb || exit 1
  e2e_wine || exit 1
  e2e_driver_start || exit 1
}

# devsim_start INI [ARG...]: the simulator on the device end of the pair,
# logging to DEVSIM_LOG; waits until it is ready.
devsim_start() {
  DEVSIM_LOG=$E2E_WORK/devsim.log
  : >"$DEVSIM_LOG"
  netns_spawn "$E2E_DEVICE_NS" "$DEVSIM" --bind "$E2E_DEVICE_IP" --log "$DEVSIM_LOG" "$@" \
    >>"$E2E_WORK/devsim.out" 2>&1
  # shellcheck disable=SC2034 # read by the test scripts
  DEVSIM_PID=$NETNS_LAST_PID
  if ! netns_wait_for_line "$DEVSIM_LOG" ' note ready' 10; then
    echo "FAIL the device simulator did not start:" >&2
    cat "$E2E_WORK/devsim.out" >&2
    exit 1
  fi
}

# app_start: launches the program, attaches to its main window and waits
# until the first discovery, which starts once the window shows, has filled
# the device list. Sets APP_LAUNCH_MS (start), APP_WINDOW_MS (window shown)
# and APP_ROWS_MS (first discovery ended).
app_start() {
  # shellcheck disable=SC2034 # read by the test scripts
  APP_LAUNCH_MS=$(e2e_now_ms)
  e2e_run_exe "$APP_EXE" || exit 1
  if ! drive attach "\"$APP_TITLE\"" timeout=30000; then
    echo "FAIL the program's main window did not appear: $DRIVE_REPLY"
    exit 1
  fi
  # shellcheck disable=SC2034 # read by the test scripts
  APP_WINDOW_MS=$(e2e_now_ms)
  if ! drive sync timeout=30000; then
    echo "FAIL the program's first discovery did not end: $DRIVE_REPLY"
    exit 1
  fi
  # shellcheck disable=SC2034 # read by the test scripts
  APP_ROWS_MS=$(e2e_now_ms)
}

# app_restart: ends the program at once and starts it again, for a test
# that goes on while a long modal window (the 90 s restart wait after an
# install) holds the old one.
app_restart() {
  local p i
  disown "$E2E_APP_PID" 2>/dev/null
  for p in /proc/[0-9]*; do
    { tr '\0' ' ' <"$p/cmdline"; } 2>/dev/null | grep -q 'NexoraStorageUtility\.exe' && kill -9 "${p#/proc/}" 2>/dev/null
  done
  for i in $(seq 50); do
    kill -0 "$E2E_APP_PID" 2>/dev/null || break
    sleep 0.1
  done
  app_start
}

# app_exit: leaves through the Exit button; checks that the process ends.
app_exit() {
  e2e_expect 'click 1009'
  e2e_expect 'exit-code timeout=10000' 'code='
}

# wire_mark: later wire_rx calls look only at what the simulator receives
# from now on.
wire_mark() {
  WIRE_MARK=$(wc -l <"$DEVSIM_LOG")
}

# wire_rx [TYPE [CODE [MAC]]]: the hex of every datagram the simulator
# received since the mark, one per line, optionally only those of packet
# TYPE, command CODE (byte 21) and device MAC (aa:bb:..., bytes 11..16).
wire_rx() {
  local type=${1:-} code=${2:-} mac=${3:-} t='' c='' m=''
  [ -n "$type" ] && t=$(printf '%02x' "$type")
  [ -n "$code" ] && c=$(printf '%02x' "$code")
  m=${mac//:/}
  tail -n +"$((WIRE_MARK + 1))" "$DEVSIM_LOG" | awk -v t="$t" -v c="$c" -v m="${m,,}" '
    $2 == "rx" {
      h = $6
      if (t != "" && substr(h, 1, 2) != t) next
      if (c != "" && substr(h, 43, 2) != c) next
      if (m != "" && substr(h, 23, 12) != m) next
      print h
    }'
}

# wire_count [TYPE [CODE [MAC]]]: how many such datagrams.
wire_count() {
  wire_rx "$@" | grep -c . || true
}

# wire_wait COUNT TYPE [CODE [MAC]]: waits up to 5 s until at least COUNT
# such datagrams arrived since the mark.
wire_wait() {
  local want=$1 i
  shift
  for i in $(seq 50); do
    [ "$(wire_count "$@")" -ge "$want" ] && return 0
    sleep 0.1
  done
  return 1
}

# Hex builders for expected datagrams (lower case, no spaces).
hex_text() {   # TEXT: the bytes of TEXT
  printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'
}
hex_field() {  # TEXT WIDTH: TEXT zero-padded (or cut) to WIDTH bytes
  local h
  h=$(hex_text "$1")
  while [ ${#h} -lt $(($2 * 2)) ]; do h+=00; done
  printf '%s' "${h:0:$(($2 * 2))}"
}
hex_le32() {   # N: 32-bit little-endian
  printf '%02x%02x%02x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255))
}
hex_ip() {     # A.B.C.D: four octets
  local a b c d
  IFS=. read -r a b c d <<<"$1"
  printf '%02x%02x%02x%02x' "$a" "$b" "$c" "$d"
}
hex_mac() {    # aa:bb:cc:dd:ee:ff
  local m=${1//:/}
  printf '%s' "${m,,}"
}

# hex_set_header CLIENTID MAC ADDRESS CODE NETMASK GATEWAY DATALEN: the first
# 60 bytes of a set request (type 5).
hex_set_header() {
  printf '05%s00000000%s%s%02x0000%s%s%s' "$1" "$(hex_mac "$2")" "$(hex_ip "$3")" "$4" \
    "$(hex_field "$5" 16)" "$(hex_field "$6" 16)" "$(hex_le32 "$7")"
}

# hex_lan_port NAME ADDRESS NETMASK GATEWAY MODE: one 60-byte half of the LAN
# configuration record.
hex_lan_port() {
  printf '%s%s%s%s%s' "$(hex_field "$1" 10)" "$(hex_field "$2" 16)" "$(hex_field "$3" 16)" \
    "$(hex_field "$4" 16)" "$(hex_field "$5" 2)"
}

# client_id: the six random client-id bytes of the program's first discovery
# request in the whole log (hex).
client_id() {
  awk '$2 == "rx" && substr($6, 1, 2) == "01" && $5 == 11 { print substr($6, 3, 12); exit }' "$DEVSIM_LOG"
}

# expect_box CAPTION TEXT ICON: a message box with exactly that caption,
# text and icon and one OK button; presses OK and waits until it is gone.
expect_box() {
  e2e_expect 'msgbox timeout=40000' "caption=\"$1\" text=\"$2\" icon=$3 buttons=[\"OK\"]"
  e2e_expect 'click OK'
  e2e_expect 'wait-gone'
  drive use main >/dev/null
}

# next_letter L: the letter after L in the drive-letter combo's order (Z:
# first): Y: -> X:.
next_letter() {
  printf '%b:' "\\$(printf '%03o' $(($(printf '%d' "'${1:0:1}") - 1)))"
}

# lv_row_of C NAME: prints the index of the first row of list view C whose
# first column is NAME (nothing when there is none).
lv_row_of() {
  local items row=0 rest
  drive lv-read "$1" || return 1
  items=$(drive_field items)
  rest=${items#[}
  while [[ $rest == \[* ]]; do
    if [[ $rest == "[\"$2\""* ]]; then
      echo "$row"
      return 0
    fi
    rest=${rest#*]}
    rest=${rest# }
    row=$((row + 1))
  done
  return 1
}

# click_device NAME: a click on the device's row, scrolling the list first
# with the skinned scroll bar's arrows when the row is out of view; waits
# out the click's device queries.
click_device() {
  local row reply cell top t b
  row=$(lv_row_of 1000 "$1")
  if [ -z "$row" ]; then
    e2e_check "device $1 is listed" "a row named $1" "$(drive_field items)"
    return 1
  fi
  for _ in $(seq 20); do
    drive lv-click 1000 "$row"
    reply=$DRIVE_REPLY
    [[ $reply == "err not-visible"* ]] || break
    # "row N is scrolled out of view [l t r b]": above or below the list?
    cell=${reply##*[}
    read -r _ top _ <<<"$cell"
    # (a row hidden under the header is above the view as well)
    drive control 1000
    read -r _ t _ b <<<"$(drive_field rect | tr -d '[]')"
    lv_scroll 1000 "$( [ "$top" -lt $(((t + b) / 2)) ] && echo up || echo down)" || break
  done
  e2e_check "a click on the row of $1 (row $row)" ok "${reply%% *}" || return 1
  e2e_expect 'sync timeout=20000'
}

# lv_scroll C up|down: one click on the up or down arrow of the skinned
# vertical scroll bar beside list view C (the static whose left edge is the
# list's right edge), as a person scrolls the list.
lv_scroll() {
  local rect t r bar x1 y1 x2 y2 y
  drive control "$1" || return 1
  rect=$(drive_field rect)
  read -r _ t r _ <<<"${rect//[\[\]]/}"
  drive controls || return 1
  bar=$(grep -o "\"Static\" \"\" 1 1 \[$r $t [0-9]* [0-9]*\]" <<<"$DRIVE_REPLY" | head -n1)
  [ -n "$bar" ] || return 1
  bar=${bar##*[}
  read -r x1 y1 x2 y2 <<<"${bar%]}"
  if [ "$2" = up ]; then y=$((y1 + 5)); else y=$((y2 - 5)); fi
  drive click-at $(((x1 + x2) / 2)) "$y" || return 1
  drive sync
}

# hex_query CLIENTID MAC ADDRESS CODE [DATAHEX]: a whole query request
# (type 3): header, data length, data.
hex_query() {
  local data=${5:-}
  printf '03%s00000000%s%s%02x0000%s%s' "$1" "$(hex_mac "$2")" "$(hex_ip "$3")" "$4" \
    "$(hex_le32 $((${#data} / 2)))" "$data"
}
