# shellcheck shell=bash
# Private X servers for headless runs. Xvfb picks a free display itself and
# names it on a pipe (-displayfd), so parallel runs never race for a number.
# It listens on its file-system socket only (no TCP), which clients in other
# network namespaces reach as well. Source it from bash:
#
#   source scripts/xvfb-lib.sh
#   xvfb_start LOG        # exports DISPLAY; the server's pid is in XVFB_PID
#   ...
#   xvfb_stop             # stops the server xvfb_start started
#
# XVFB_SCREEN sets the screen (default 1280x1024x24).

: "${XVFB_SCREEN:=1280x1024x24}"
XVFB_PID=

# xvfb_start LOG: starts Xvfb (its output goes to LOG, /dev/null for none),
# waits until its socket is there and exports DISPLAY. Returns 1 when the
# server does not come up within 10 s.
xvfb_start() {
  local log=$1 dir n=''
  dir=$(mktemp -d "${TMPDIR:-/tmp}/nexora-xvfb.XXXXXX") || return 1
  mkfifo "$dir/displayfd" || { rm -rf "$dir"; return 1; }
  Xvfb -displayfd 3 -screen 0 "$XVFB_SCREEN" -nolisten tcp 3>"$dir/displayfd" >"$log" 2>&1 &
  XVFB_PID=$!
  # The read ends at the display number, or at end of file when Xvfb fails.
  read -r -t 10 n <"$dir/displayfd" || n=''
  rm -rf "$dir"
  if [ -z "$n" ]; then
    if [ "$log" = /dev/null ]; then echo "xvfb: Xvfb did not start" >&2
    else echo "xvfb: Xvfb did not start (see $log)" >&2; fi
    xvfb_stop
    return 1
  fi
  for _ in $(seq 50); do
    [ -S "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n"
}

# xvfb_stop: stops the server of xvfb_start, if any, and waits for it.
xvfb_stop() {
  [ -n "$XVFB_PID" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
}
