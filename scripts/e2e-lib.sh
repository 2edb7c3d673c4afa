# shellcheck shell=bash
# Library for end-to-end runs: a Windows program under Wine in a private
# network namespace, on a private X display, driven from outside by
# nexora-uidriver.exe as a person would. Source it from bash, as root:
#
#   source scripts/e2e-lib.sh
#   e2e_init                          # trap that tears everything down, work dir
#   e2e_network                       # client and device namespaces, veth, multicast routes
#   e2e_xvfb                          # private Xvfb (scripts/xvfb-lib.sh); exports DISPLAY
#   e2e_wine                          # private Wine prefix and wineserver in the client namespace
#   e2e_run_exe "$E2E_WINDOWS_BIN/NexoraStorageUtility.exe"
#   e2e_driver_start                  # nexora-uidriver.exe as a coprocess
#   drive attach '"Nexora Storage Utility"' timeout=30000
#   drive lv-read 1000; echo "$DRIVE_REPLY"
#   e2e_expect 'cb-read 1015' 'selected=0' 'text="Disable"'
#   e2e_summary                       # "N passed, M failed"; non-zero when any failed
#
# Everything started here is stopped when the shell exits, on success and on
# failure alike: the driver, the programs, the wineserver (wineserver -k),
# Xvfb, the namespaces (scripts/netns-lib.sh) and the prefix copy.
#
# Settings (environment, all optional):
#   E2E_WINDOWS_BIN     the release's programs (default <repo>/build/windows-x86/bin)
#   E2E_PREFIX_CACHE    the cached, once-made Wine prefix that each run copies
#                       (default <repo>/build/e2e-wineprefix; scripts/wine-lib.sh)
#   E2E_CLIENT_ADDR     client end of the veth pair (default 10.203.0.1/24)
#   E2E_DEVICE_ADDR     device end (default 10.203.0.2/24)
#   E2E_DRIVE_TIMEOUT   seconds to wait for one driver reply (default 60)
#   E2E_VERBOSE=1       print every driver exchange
#   E2E_KEEP=1          keep the work directory (logs, pictures) also on success

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=netns-lib.sh
source "$E2E_ROOT/scripts/netns-lib.sh"
# shellcheck source=wine-lib.sh
source "$E2E_ROOT/scripts/wine-lib.sh"

: "${E2E_WINDOWS_BIN:=$E2E_ROOT/build/windows-x86/bin}"
: "${E2E_PREFIX_CACHE:=$E2E_ROOT/build/e2e-wineprefix}"
: "${E2E_CLIENT_ADDR:=10.203.0.1/24}"
: "${E2E_DEVICE_ADDR:=10.203.0.2/24}"
: "${E2E_DRIVE_TIMEOUT:=60}"
: "${E2E_VERBOSE:=0}"
: "${E2E_KEEP:=0}"

E2E_WORK=
E2E_CLIENT_NS=
E2E_DEVICE_NS=
E2E_CLIENT_IF=nxc0
E2E_DEVICE_IF=nxd0
E2E_CLIENT_IP=
E2E_DEVICE_IP=
E2E_WINESERVER_PID=
E2E_PREFIX_COPY=
E2E_APP_PID=
E2E_DRIVER_JOB=
E2E_DRIVER_IN=
E2E_DRIVER_OUT=
E2E_PASSED=0
E2E_FAILED=0
DRIVE_REPLY=

e2e_log() { echo "e2e: $*" >&2; }

e2e_now_ms() { date +%s%3N; }

# e2e_init: checks the tools, installs the clean-up trap and makes the work
# directory E2E_WORK (logs, screenshots; removed on success).
e2e_init() {
  netns_init
  local tool
  for tool in wine wineserver Xvfb; do
    command -v "$tool" >/dev/null || { e2e_log "$tool is missing (run scripts/setup)"; exit 1; }
  done
  # shellcheck disable=SC2016 # expanded by the trap, where rc is the exit status
  NETNS_ON_EXIT='e2e_cleanup "${rc:-1}"'
  E2E_WORK=$(mktemp -d /tmp/nexora-e2e.XXXXXX)
  wine_env
}

# e2e_network: a client and a device namespace joined by a veth pair, lo up
# in both, the multicast range routed through the pair on both sides.
# Sets E2E_CLIENT_NS, E2E_DEVICE_NS, E2E_CLIENT_IP, E2E_DEVICE_IP.
e2e_network() {
  netns_create client E2E_CLIENT_NS || return 1
  netns_create device E2E_DEVICE_NS || return 1
  netns_link "$E2E_CLIENT_NS" "$E2E_CLIENT_IF" "$E2E_CLIENT_ADDR" \
             "$E2E_DEVICE_NS" "$E2E_DEVICE_IF" "$E2E_DEVICE_ADDR" || return 1
  netns_mcast_route "$E2E_CLIENT_NS" "$E2E_CLIENT_IF" || return 1
  netns_mcast_route "$E2E_DEVICE_NS" "$E2E_DEVICE_IF" || return 1
  # shellcheck disable=SC2034 # read by the scripts that source this library
  E2E_CLIENT_IP=${E2E_CLIENT_ADDR%/*}
  # shellcheck disable=SC2034 # read by the scripts that source this library
  E2E_DEVICE_IP=${E2E_DEVICE_ADDR%/*}
}

# e2e_xvfb: a private X server (scripts/xvfb-lib.sh), its output in
# $E2E_WORK/xvfb.log. Exports DISPLAY.
e2e_xvfb() {
  xvfb_start "$E2E_WORK/xvfb.log"
}

# e2e_clone_prefix SRC DST: a private copy of a prefix. Program images and
# code-page tables are hard links to the template (Wine never writes them);
# every other file is a real copy, so nothing a run writes reaches the
# template. Falls back to a full copy across file systems.
e2e_clone_prefix() {
  local src dst=$2
  src=$(cd "$1" && pwd) || return 1
  if cp -al "$src" "$dst" 2>/dev/null && (
    cd "$dst" || exit 1
    find . -type f ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' -o -iname '*.sys' \
      -o -iname '*.ocx' -o -iname '*.tlb' -o -iname '*.acm' -o -iname '*.cpl' -o -iname '*.ax' \
      -o -iname '*.ds' -o -iname '*.nls' -o -iname '*.msstyles' \) -print0 |
      while IFS= read -r -d '' f; do cp -p --remove-destination "$src/$f" "$f" || exit 1; done
  ); then
    return 0
  fi
  rm -rf "$dst"
  cp -a "$src" "$dst"
}

# e2e_wine: a private prefix (copy of the cached one) and its wineserver,
# started inside the client namespace. The wineserver is the process that
# creates every socket of the Windows programs, so it must live where their
# network is. Exports WINEPREFIX. Needs e2e_network and a DISPLAY.
e2e_wine() {
  local i
  wine_prefix_make "$E2E_PREFIX_CACHE" "$E2E_WORK/wineboot.log" ||
    { e2e_log "cannot make the Wine prefix (see $E2E_WORK/wineboot.log)"; return 1; }
  E2E_PREFIX_COPY=$E2E_PREFIX_CACHE.run.$$
  rm -rf "$E2E_PREFIX_COPY"
  e2e_clone_prefix "$E2E_PREFIX_CACHE" "$E2E_PREFIX_COPY" || return 1
  export WINEPREFIX=$E2E_PREFIX_COPY
  ip netns exec "$E2E_CLIENT_NS" wineserver -f -p >"$E2E_WORK/wineserver.log" 2>&1 &
  E2E_WINESERVER_PID=$!
  # Wine names the server's directory after the prefix's device and inode,
  # under /tmp/.wine-UID (upstream) or /tmp/wine-XXXXXX (Debian).
  local key dev ino socket=''
  read -r dev ino <<<"$(stat -c '%d %i' "$WINEPREFIX")"
  key=$(printf 'server-%x-%x' "$dev" "$ino")
  for i in $(seq 100); do
    for socket in /tmp/.wine-"$(id -u)"/"$key"/socket /tmp/wine-*/"$key"/socket; do
      [ -S "$socket" ] && break 2
    done
    socket=
    kill -0 "$E2E_WINESERVER_PID" 2>/dev/null || break
    sleep 0.05
  done
  [ -n "$socket" ] || { e2e_log "wineserver did not start (see $E2E_WORK/wineserver.log)"; return 1; }
}

# e2e_run_exe EXE [ARG...]: runs a Windows program under wine in the client
# namespace on DISPLAY, in the background; its output goes to
# $E2E_WORK/app.log. Sets E2E_APP_PID.
e2e_run_exe() {
  local exe=$1
  shift
  [ -f "$exe" ] || { e2e_log "no program $exe (build the windows-x86 preset first)"; return 1; }
  netns_spawn "$E2E_CLIENT_NS" wine "$exe" "$@" >>"$E2E_WORK/app.log" 2>&1
  # shellcheck disable=SC2034 # read by the scripts that source this library
  E2E_APP_PID=$NETNS_LAST_PID
}

# e2e_driver_start: nexora-uidriver.exe in the client namespace and prefix,
# as the coprocess E2E_DRIVER; waits for its first answer.
e2e_driver_start() {
  local exe=$E2E_WINDOWS_BIN/nexora-uidriver.exe
  [ -f "$exe" ] || { e2e_log "no driver $exe (build the windows-x86 preset first)"; return 1; }
  coproc E2E_DRIVER { exec ip netns exec "$E2E_CLIENT_NS" wine "$exe" 2>>"$E2E_WORK/driver.err"; }
  # Bash forgets E2E_DRIVER_PID as soon as the coprocess ends; keep our own.
  # shellcheck disable=SC2153 # bash's coproc sets E2E_DRIVER_PID
  E2E_DRIVER_JOB=$E2E_DRIVER_PID
  E2E_DRIVER_IN=${E2E_DRIVER[1]}
  E2E_DRIVER_OUT=${E2E_DRIVER[0]}
  drive ping || { e2e_log "the driver does not answer: $DRIVE_REPLY"; return 1; }
}

# The registry view of the programs under test. With 32-bit Wine present,
# HKLM\Software and HKCR have a 32-bit view (Wow6432Node) and a 64-bit one;
# the release is 32-bit, so its keys are written in the 32-bit view (set
# E2E_REG_VIEW=/reg:64 with E2E_WINDOWS_BIN of a 64-bit build).
: "${E2E_REG_VIEW:=/reg:32}"

# e2e_reg_add KEY ARG...: `reg add KEY ARG... /f` in the client prefix, in
# the view of the programs under test. Needs e2e_wine.
e2e_reg_add() {
  ip netns exec "$E2E_CLIENT_NS" wine reg add "$@" "$E2E_REG_VIEW" /f >>"$E2E_WORK/reg.log" 2>&1
}

# e2e_default_browser NAME COMMAND: the client prefix's default browser, as
# Windows records it (HKLM\Software\Clients\StartMenuInternet). Needs
# e2e_wine.
e2e_default_browser() {
  e2e_reg_add 'HKLM\Software\Clients\StartMenuInternet' /ve /d "$1" &&
    e2e_reg_add "HKLM\\Software\\Clients\\StartMenuInternet\\$1\\shell\\open\\command" /ve /d "$2"
}

# e2e_recorder_as_browser RECORDER_EXE: nexora-recorder.exe (tests/e2e/
# recorder) becomes the default browser; it writes each command line it is
# started with to E2E_RECORDER_LOG, which starts empty.
e2e_recorder_as_browser() {
  mkdir -p "$WINEPREFIX/drive_c/recorder" &&
    cp "$1" "$WINEPREFIX/drive_c/recorder/nexora-recorder.exe" || return 1
  export NEXORA_RECORDER_LOG='C:\recorder.log'
  E2E_RECORDER_LOG=$WINEPREFIX/drive_c/recorder.log
  : >"$E2E_RECORDER_LOG"
  e2e_default_browser NexoraRecorder 'C:\recorder\nexora-recorder.exe'
}

# e2e_recorder_count: the launches the recorder has logged so far.
e2e_recorder_count() {
  local n
  n=$(tr -d '\r' <"$E2E_RECORDER_LOG" 2>/dev/null | grep -c .)
  echo "${n:-0}"
}

# drive COMMAND...: sends one command line (the words are joined with
# spaces) and reads the reply into DRIVE_REPLY. Returns 0 for "ok ...",
# 1 for "err ...", 2 when the driver is gone or silent.
drive() {
  local cmd="$*"
  if [ -z "$E2E_DRIVER_JOB" ] || ! kill -0 "$E2E_DRIVER_JOB" 2>/dev/null ||
     ! printf '%s\n' "$cmd" >&"$E2E_DRIVER_IN"; then
    DRIVE_REPLY="err driver-gone \"the driver is not running\""
    return 2
  fi
  if ! IFS= read -r -t "$E2E_DRIVE_TIMEOUT" DRIVE_REPLY <&"$E2E_DRIVER_OUT"; then
    DRIVE_REPLY="err driver-silent \"no reply within $E2E_DRIVE_TIMEOUT s\""
    return 2
  fi
  printf '%s > %s\n%s\n' "$(e2e_now_ms)" "$cmd" "$DRIVE_REPLY" >>"$E2E_WORK/drive.log"
  [ "$E2E_VERBOSE" = 1 ] && printf '> %s\n%s\n' "$cmd" "$DRIVE_REPLY" >&2
  [[ $DRIVE_REPLY == ok* ]]
}

# drive_field NAME [REPLY]: prints the value of NAME= in REPLY (default
# DRIVE_REPLY): quoted strings without their quotes and escapes, lists and
# words as they are. Returns 1 when there is no such field.
drive_field() {
  local name=$1 reply=${2:-$DRIVE_REPLY} rest value='' c i depth=0 inq=0
  [[ " $reply" == *" $name="* ]] || return 1
  rest=${reply#* "$name="}
  [[ $reply == "$name="* ]] && rest=${reply#"$name="}
  if [[ $rest == \"* ]]; then
    i=1
    while [ $i -lt ${#rest} ]; do
      c=${rest:i:1}
      if [ "$c" = "\\" ]; then
        i=$((i + 1))
        case ${rest:i:1} in
          n) value+=$'\n' ;; t) value+=$'\t' ;; r) value+=$'\r' ;;
          x) value+=$(printf '%b' "\\x${rest:i+1:2}"); i=$((i + 2)) ;;
          *) value+=${rest:i:1} ;;
        esac
      elif [ "$c" = '"' ]; then
        break
      else
        value+=$c
      fi
      i=$((i + 1))
    done
  elif [[ $rest == \[* ]]; then
    for ((i = 0; i < ${#rest}; i++)); do
      c=${rest:i:1}
      value+=$c
      if [ $inq = 1 ]; then
        if [ "$c" = "\\" ]; then i=$((i + 1)); value+=${rest:i:1};
        elif [ "$c" = '"' ]; then inq=0; fi
      elif [ "$c" = '"' ]; then inq=1
      elif [ "$c" = '[' ]; then depth=$((depth + 1))
      elif [ "$c" = ']' ]; then depth=$((depth - 1)); [ $depth = 0 ] && break
      fi
    done
  else
    value=${rest%% *}
  fi
  printf '%s' "$value"
}

# e2e_expect COMMAND FRAGMENT...: one check: the reply is "ok ..." and holds
# every FRAGMENT literally. A FRAGMENT "err CODE" expects that error instead.
e2e_expect() {
  local cmd=$1 frag failed=
  shift
  drive "$cmd"
  local rc=$?
  if [ $rc = 2 ]; then
    failed="driver failure"
  elif [ $# -gt 0 ] && [[ $1 == "err "* ]]; then
    [[ $DRIVE_REPLY == "$1"* ]] || failed="expected a reply starting \"$1\""
    shift
  elif [ $rc != 0 ]; then
    failed="expected ok"
  fi
  for frag in "$@"; do
    [ -n "$failed" ] && break
    [[ $DRIVE_REPLY == *"$frag"* ]] || failed="expected the reply to hold: $frag"
  done
  if [ -n "$failed" ]; then
    E2E_FAILED=$((E2E_FAILED + 1))
    printf 'FAIL %s\n     %s\n     got: %s\n' "$cmd" "$failed" "$DRIVE_REPLY"
    return 1
  fi
  E2E_PASSED=$((E2E_PASSED + 1))
  printf 'ok   %s\n' "$cmd"
}

# e2e_check DESCRIPTION EXPECTED GOT: one check of two values.
e2e_check() {
  if [ "$2" = "$3" ]; then
    E2E_PASSED=$((E2E_PASSED + 1))
    printf 'ok   %s\n' "$1"
  else
    E2E_FAILED=$((E2E_FAILED + 1))
    printf 'FAIL %s\n     expected: %s\n     got:      %s\n' "$1" "$2" "$3"
    return 1
  fi
}

# e2e_wait_for COMMAND FRAGMENT [SECONDS]: repeats COMMAND until its reply
# holds FRAGMENT (default 10 s). Returns 1 on time-out, reply in DRIVE_REPLY.
e2e_wait_for() {
  local cmd=$1 frag=$2 secs=${3:-10} start
  start=$(e2e_now_ms)
  while true; do
    drive "$cmd" && [[ $DRIVE_REPLY == *"$frag"* ]] && return 0
    [ $(($(e2e_now_ms) - start)) -ge $((secs * 1000)) ] && return 1
    sleep 0.1
  done
}

# e2e_screenshot FILE: the whole X screen, through ImageMagick (any format
# by the file's extension).
e2e_screenshot() {
  import -display "$DISPLAY" -window root "$1"
}

# e2e_summary: prints "N passed, M failed" and fails when any check failed.
e2e_summary() {
  echo "$E2E_PASSED passed, $E2E_FAILED failed"
  [ "$E2E_FAILED" = 0 ]
}

# e2e_cleanup RC: stops everything this library started (run by the trap).
e2e_cleanup() {
  local rc=${1:-1} i
  set +eu
  if [ -n "$E2E_DRIVER_JOB" ] && kill -0 "$E2E_DRIVER_JOB" 2>/dev/null; then
    { printf 'quit\n' >&"$E2E_DRIVER_IN"; } 2>/dev/null
    for i in $(seq 20); do kill -0 "$E2E_DRIVER_JOB" 2>/dev/null || break; sleep 0.05; done
    kill "$E2E_DRIVER_JOB" 2>/dev/null
  fi
  if [ -n "$E2E_PREFIX_COPY" ]; then
    WINEPREFIX=$E2E_PREFIX_COPY timeout 10 wineserver -k 2>/dev/null || true
    if [ -n "$E2E_WINESERVER_PID" ]; then
      for i in $(seq 40); do kill -0 "$E2E_WINESERVER_PID" 2>/dev/null || break; sleep 0.05; done
      kill -KILL "$E2E_WINESERVER_PID" 2>/dev/null || true
      wait "$E2E_WINESERVER_PID" 2>/dev/null || true
    fi
    rm -rf "$E2E_PREFIX_COPY"
  fi
  xvfb_stop
  if [ -n "$E2E_WORK" ] && [ -d "$E2E_WORK" ]; then
    if [ "$rc" = 0 ] && [ "$E2E_KEEP" != 1 ]; then
      rm -rf "$E2E_WORK"
    else
      e2e_log "logs and pictures kept in $E2E_WORK"
    fi
  fi
}
