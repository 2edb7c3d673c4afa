# shellcheck shell=bash
# Small library for tests and benchmarks that need private networks: network
# namespaces joined by veth pairs. Source it from bash (root needed):
#
#   source scripts/netns-lib.sh
#   netns_init                       # installs the EXIT/INT/TERM clean-up trap
#   c=$(netns_create client)         # prints the namespace's unique name
#   d=$(netns_create dev1)
#   netns_link "$c" nc1 10.201.1.1/24 "$d" nd1 10.201.1.2/24
#   netns_mcast_route "$d" nd1       # 224.0.0.0/4 through that interface
#   netns_spawn "$d" some-server --flag   # runs in the background, pid in NETNS_LAST_PID
#   ...                              # everything is removed when the shell exits
#
# Names carry the shell's pid ($$), so parallel runs never collide. The trap
# stops every process started with netns_spawn (by its own pid) and deletes
# every namespace made with netns_create, on success and on failure alike.
# A caller that needs its own EXIT work sets NETNS_ON_EXIT to a command that
# the trap runs first.

NETNS_CREATED=()
NETNS_PIDS=()
NETNS_LAST_PID=
NETNS_ON_EXIT=
NETNS_PREFIX=${NETNS_PREFIX:-nx}

netns_require_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "netns-lib: needs root (network namespaces)" >&2
    return 1
  fi
  command -v ip >/dev/null || { echo "netns-lib: the ip command (iproute2) is missing" >&2; return 1; }
}

netns_cleanup() {
  local pid ns
  if [ -n "$NETNS_ON_EXIT" ]; then
    eval "$NETNS_ON_EXIT" || true
  fi
  for pid in "${NETNS_PIDS[@]}"; do
    kill -TERM "$pid" 2>/dev/null || true
  done
  for pid in "${NETNS_PIDS[@]}"; do
    # Give each process up to 2 s to leave by itself, then force it.
    local i
    for i in $(seq 20); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  NETNS_PIDS=()
  for ns in "${NETNS_CREATED[@]}"; do
    ip netns del "$ns" 2>/dev/null || true
  done
  NETNS_CREATED=()
}

# netns_exit STATUS: the EXIT trap. Leaves STATUS in the global rc, where
# NETNS_ON_EXIT can read it.
netns_exit() {
  rc=$1
  netns_cleanup
  exit "$rc"
}

netns_init() {
  netns_require_root || exit 1
  trap 'netns_exit $?' EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

# netns_create ROLE: makes namespace "<prefix><pid>-ROLE" with lo up and
# prints its name. Call it without a subshell ($(...) would lose the record
# of what to remove): netns_create ROLE VAR stores the name in VAR instead.
netns_create() {
  local role=$1 var=${2:-}
  local ns="${NETNS_PREFIX}$$-${role}"
  ip netns add "$ns" || return 1
  NETNS_CREATED+=("$ns")
  ip -n "$ns" link set lo up || return 1
  if [ -n "$var" ]; then
    printf -v "$var" '%s' "$ns"
  else
    echo "$ns"
  fi
}

# netns_link NS1 IF1 ADDR1/PREFIX NS2 IF2 ADDR2/PREFIX: a veth pair with one
# end in each namespace, addressed and up.
netns_link() {
  local ns1=$1 if1=$2 a1=$3 ns2=$4 if2=$5 a2=$6
  ip link add "$if1" netns "$ns1" type veth peer name "$if2" netns "$ns2" || return 1
  ip -n "$ns1" addr add "$a1" dev "$if1" || return 1
  ip -n "$ns2" addr add "$a2" dev "$if2" || return 1
  ip -n "$ns1" link set "$if1" up || return 1
  ip -n "$ns2" link set "$if2" up || return 1
}

# netns_mcast_route NS DEV: routes the multicast range through DEV.
netns_mcast_route() {
  ip -n "$1" route replace 224.0.0.0/4 dev "$2"
}

# netns_spawn NS COMMAND...: runs COMMAND inside NS in the background; the
# trap stops it. Its pid is left in NETNS_LAST_PID.
netns_spawn() {
  local ns=$1
  shift
  ip netns exec "$ns" "$@" &
  NETNS_LAST_PID=$!
  NETNS_PIDS+=("$NETNS_LAST_PID")
}

# netns_stop PID: stops one process started with netns_spawn and waits for it.
netns_stop() {
  local pid=$1 i keep=()
  kill -TERM "$pid" 2>/dev/null || true
  for i in $(seq 30); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  for i in "${NETNS_PIDS[@]}"; do
    [ "$i" = "$pid" ] || keep+=("$i")
  done
  NETNS_PIDS=("${keep[@]}")
}

# netns_wait_for_line FILE PATTERN [SECONDS]: waits until FILE has a line
# matching the extended regular expression PATTERN.
netns_wait_for_line() {
  local file=$1 pattern=$2 secs=${3:-5} i
  for i in $(seq $((secs * 20))); do
    if [ -f "$file" ] && grep -Eq -- "$pattern" "$file"; then
      return 0
    fi
    sleep 0.05
  done
  return 1
}
