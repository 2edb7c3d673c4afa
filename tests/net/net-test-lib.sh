# shellcheck shell=bash
# shellcheck disable=SC2034 # RC, OUT, ERR, MS and SIM_PID are read by the scripts that source this
# Checks and helpers shared by the network tests of nexora-cli against
# nexora-devsim. Source it after scripts/netns-lib.sh, with DEVSIM, CLI,
# WORK and NS_C (the client namespace) set by the caller.

PASSED=0
FAILED=0
declare -A SIM_PID

# ---------------------------------------------------------------- checks

pass() { PASSED=$((PASSED + 1)); }
fail() {
  FAILED=$((FAILED + 1))
  echo "FAIL: $1"
  shift
  local l
  for l in "$@"; do echo "  $l"; done
}

# expect_eq WHAT EXPECTED GOT (multi-line texts compared whole)
expect_eq() {
  if [ "$2" == "$3" ]; then
    pass
  else
    fail "$1" "expected:" "$(printf '%s\n' "$2" | sed 's/^/    | /')" "got:" "$(printf '%s\n' "$3" | sed 's/^/    | /')"
  fi
}

# expect_match WHAT REGEX GOT
expect_match() {
  if [[ "$3" =~ $2 ]]; then pass; else fail "$1" "expected to match: $2" "got: $3"; fi
}

# expect_between WHAT LOW HIGH VALUE (milliseconds)
expect_between() {
  if [ "$4" -ge "$2" ] && [ "$4" -le "$3" ]; then pass; else fail "$1" "expected $2..$3 ms" "got $4 ms"; fi
}

# expect_run WHAT RC [STDOUT]: exit status (and standard output) of the last cli.
expect_run() {
  if [ "$RC" == "$2" ]; then pass; else fail "$1: exit status" "expected $2" "got $RC (stderr: $ERR)"; fi
  if [ $# -ge 3 ]; then expect_eq "$1: output" "$3" "$OUT"; fi
}

# ---------------------------------------------------------------- helpers

# cli ARGS...: runs nexora-cli in the client namespace; sets RC, OUT, ERR, MS.
cli() {
  local t0 t1
  t0=$(date +%s%N)
  ip netns exec "$NS_C" "$CLI" "$@" >"$WORK/out" 2>"$WORK/err"
  RC=$?
  t1=$(date +%s%N)
  MS=$(( (t1 - t0) / 1000000 ))
  OUT=$(cat "$WORK/out")
  ERR=$(cat "$WORK/err")
}

row() { local IFS=$'\t'; echo "$*"; }
# start_sim NAME NAMESPACE BIND-ADDRESS CONFIG-TEXT [OPTIONS]: log $WORK/NAME.log
start_sim() {
  local name=$1 ns=$2 bind=$3 conf=$4
  shift 4
  printf '%s\n' "$conf" >"$WORK/$name.ini"
  netns_spawn "$ns" "$DEVSIM" --bind "$bind" --log "$WORK/$name.log" "$@" "$WORK/$name.ini"
  SIM_PID[$name]=$NETNS_LAST_PID
  if ! netns_wait_for_line "$WORK/$name.log" ' note ready' 5; then
    echo "simulator $name did not start"
    exit 1
  fi
}

# finish: prints the simulators' last log lines when a check failed, the
# tally, and returns the test's status.
finish() {
  local f
  if [ "$FAILED" -ne 0 ]; then
    for f in "$WORK"/*.log; do
      [ -f "$f" ] || continue
      echo "--- last lines of $(basename "$f")"
      tail -n 15 "$f" | cut -c1-220
    done
  fi
  echo "$PASSED passed, $FAILED failed"
  [ "$FAILED" -eq 0 ]
}
