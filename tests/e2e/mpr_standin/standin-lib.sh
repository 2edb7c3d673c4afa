# shellcheck shell=bash
# Windows networking for NexoraStorageUtility.exe under Wine, which cannot
# map drives: the program runs from a folder that also holds the mpr.dll
# stand-in of this directory, loaded through WINEDLLOVERRIDES=mpr=n,b. On
# Windows the program uses Windows networking itself.
#
#   source tests/e2e/mpr_standin/standin-lib.sh
#   mpr_standin_setup "$program" "$workdir" devices.ini   # sets MPR_EXE, MPR_LOG, MPR_STATE
#   e2e_run_exe "$MPR_EXE"
#   mpr_mark; ...; e2e_check ... "$(mpr_add_line Y: '\\10.203.0.2\Public' '""' '""' 1 0)" "$(mpr_calls)"
#
# The shares of the devices in the ini file (their "address" and "shares")
# are the ones that exist; any credentials are accepted unless
# NEXORA_MPR_ACCEPT says otherwise (see mpr_standin.cpp).

# Windows form (drive Z:, Wine's view of /) of a Unix path.
mpr_windows_path() {
  local p=$1
  echo "Z:${p//\//\\}"
}

# "\\address\share;..." of every share of every device in INI.
mpr_ini_shares() {
  awk -F' *= *' '
    /^\[/ { flush(); address = ""; shares = ""; next }
    $1 == "address" { address = $2 }
    $1 == "shares" { shares = $2 }
    function flush(  n, i, parts) {
      if (address == "" || shares == "") return
      n = split(shares, parts, ":")
      for (i = 1; i <= n; i++) out = out (out == "" ? "" : ";") "\\\\" address "\\" parts[i]
    }
    END { flush(); print out }
  ' "$1"
}

# mpr_standin_setup PROGRAM DIR INI
mpr_standin_setup() {
  local program=$1 dir=$2 ini=$3 dll
  dll=$(dirname "$program")/../mpr-standin/mpr.dll
  if [ ! -f "$dll" ]; then
    echo "missing $dll: build the windows-x86 preset first" >&2
    return 1
  fi
  mkdir -p "$dir"
  cp "$program" "$dir/" && cp "$dll" "$dir/mpr.dll" || return 1
  # shellcheck disable=SC2034  # read by the scripts that source this library
  MPR_EXE=$dir/$(basename "$program")
  MPR_LOG=$dir/mpr-calls.log
  MPR_STATE=$dir/mpr-connections.txt
  : >"$MPR_LOG"
  : >"$MPR_STATE"
  export WINEDLLOVERRIDES="mpr=n,b${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
  export NEXORA_MPR_LOG NEXORA_MPR_STATE NEXORA_MPR_SHARES
  NEXORA_MPR_LOG=$(mpr_windows_path "$MPR_LOG")
  NEXORA_MPR_STATE=$(mpr_windows_path "$MPR_STATE")
  NEXORA_MPR_SHARES=$(mpr_ini_shares "$ini")
}

# mpr_mark: later mpr_calls look only at the calls logged from now on.
mpr_mark() {
  MPR_MARK=$(wc -l <"$MPR_LOG")
}

# mpr_calls: the connect and cancel calls logged since the mark, one a line.
mpr_calls() {
  tail -n +"$((MPR_MARK + 1))" "$MPR_LOG" | grep -E '^WNet(Add|Cancel)' || true
}

# The log lines of a call: mpr_add_line LETTER REMOTE PASSWORD USER FLAGS
# RESULT (PASSWORD and USER quoted, or NULL) and mpr_cancel_line LETTER
# RESULT.
mpr_add_line() {
  printf 'WNetAddConnection2A type=1 local="%s" remote="%s" provider=NULL password=%s user=%s flags=%s -> %s\n' "$@"
}
mpr_cancel_line() {
  printf 'WNetCancelConnection2A name="%s" flags=1 force=1 -> %s\n' "$1" "$2"
}
