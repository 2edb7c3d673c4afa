#!/usr/bin/env bash
# nexora-cli under a flood of foreign datagrams on the protocol port, in
# network namespaces made (and always removed) here.
#
#   flood_test.sh DEVSIM CLI        (as root)
#
# Topology: the client namespace's nc1 10.202.1.1/24 is a veth into the
# device namespace (nd1 10.202.1.2/24), where one simulator plays the device
# and flooder.py sends 10,000 datagrams a second to 224.0.0.1:13579 out of
# nd1, loop-back off: only the client sees the flood. The device answers
# its queries 150 ms late, so that the reply arrives while the flood keeps
# coming: it finds room in the client's receive queue only if the client
# reads the flood as fast as it comes. For each kind of flood
# one discovery and one query run while it lasts; a line per kind gives the
# timings and the rate that the flooder reached.
set -u

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/netns-lib.sh
source "$here/../../scripts/netns-lib.sh"

DEVSIM=${1:?path of nexora-devsim}
CLI=${2:?path of nexora-cli}
WORK=$(mktemp -d /tmp/nexora-flood.XXXXXX)
NETNS_PREFIX=nxf
# shellcheck disable=SC2016 # expanded by the trap, at exit
NETNS_ON_EXIT='rm -rf "$WORK"'
netns_init
unset NEXORA_INTERFACES

# shellcheck source=net-test-lib.sh
source "$here/net-test-lib.sh"

RATE=10000
# Below this the flooder did not really flood: the run proves nothing.
MIN_RATE=9000

# The bounds, from the protocol's constants (protocol/transport.h,
# discovery.cpp, commands.cpp): a discovery listens 50 + 32 x 10 + 31 x 20
# ms; the ssl query drains 11 polls, then makes at most 20 + 1 counted polls
# of 10 ms with 20 pauses of 100 ms.
POLL_MS=10
DISCOVERY_MS=$((50 + 32 * POLL_MS + 31 * 20))
SSL_TRIES=20
QUERY_MS=$((11 * POLL_MS + (SSL_TRIES + 1) * POLL_MS + SSL_TRIES * 100))
# Process start, the socket set-up and a loaded machine.
MARGIN_MS=2500

DEVICE_ROW=$(row 10.202.1.10 Target 255.255.255.0 10.202.1.1 0 02:00:00:00:01:01 "" 0)

# rx_packets: datagrams that reached the client's interface so far.
rx_packets() { ip -n "$NS_C" -s link show nc1 | awk 'f { print $2; exit } $1 == "RX:" { f = 1 }'; }

setup_network() {
  netns_create cl NS_C
  netns_create dev NS_D
  netns_link "$NS_C" nc1 10.202.1.1/24 "$NS_D" nd1 10.202.1.2/24
  netns_mcast_route "$NS_C" nc1
  netns_mcast_route "$NS_D" nd1
  start_sim d "$NS_D" 10.202.1.2 '
[device target]
name = Target
mac = 02:00:00:00:01:01
address = 10.202.1.10
gateway = 10.202.1.1
ssl = 1
workgroup = FLOODED
delay_ms = 150
delay_on = query'
}

# flood_run KIND QUERY-MUST-ANSWER: one discovery and one query under a flood
# of KIND ("none" for a run without flood).
flood_run() {
  local kind=$1 must_answer=$2 flooder_pid="" disc_ms disc_rows query_ms query_result rate="-"
  local rx0 reached
  rx0=$(rx_packets)
  if [ "$kind" != none ]; then
    netns_spawn "$NS_D" python3 "$here/flooder.py" "$kind" --source 10.202.1.2 --rate "$RATE" \
      --device 10.202.1.10 --mac 020000000101 >"$WORK/flood-$kind.out" 2>&1
    flooder_pid=$NETNS_LAST_PID
    # Let the flood fill the client's receive queue before the client runs.
    sleep 0.5
  fi

  cli discover
  disc_ms=$MS
  disc_rows=$(printf '%s' "$OUT" | grep -c . || true)
  expect_run "flood $kind: discover lists the device" 0 "$DEVICE_ROW"
  expect_between "flood $kind: discover ends within its window" 0 $((DISCOVERY_MS + MARGIN_MS)) "$disc_ms"

  cli query 10.202.1.10 ssl
  query_ms=$MS
  if [ "$RC" = 0 ] && [ "$OUT" = 1 ]; then query_result=ok; else query_result="failed (exit $RC)"; fi
  if [ "$must_answer" = yes ]; then
    expect_run "flood $kind: query ssl answers" 0 1
  else
    # Foreign replies of the expected type count as failed polls: the
    # query may fail, but only after its tries, never later.
    expect_match "flood $kind: query ssl answers or fails" '^[01]$' "$RC"
  fi
  expect_between "flood $kind: discovery and query end within their bounds" \
    0 $((DISCOVERY_MS + QUERY_MS + MARGIN_MS)) "$query_ms"

  if [ -n "$flooder_pid" ]; then
    netns_stop "$flooder_pid"
    local summary sent
    reached=$(($(rx_packets) - rx0))
    summary=$(cat "$WORK/flood-$kind.out")
    sent=$(sed -n 's/^sent \([0-9]*\) .*/\1/p' <<<"$summary")
    # The flood really reached the client's interface, not only the socket.
    if [ -n "$sent" ] && [ "$reached" -ge $((sent * 9 / 10)) ]; then pass; else
      fail "flood $kind: the datagrams reach the client" "sent: $summary" "received on nc1: $reached"
    fi
    rate=$(sed -n 's/.*: \([0-9]*\)\/s.*/\1/p' <<<"$summary")
    expect_match "flood $kind: the flooder reports its rate" '^[0-9]+$' "$rate"
    [[ "$rate" =~ ^[0-9]+$ ]] || rate=0
    if [ "$rate" -ge "$MIN_RATE" ]; then pass; else fail "flood $kind: rate at least $MIN_RATE/s" "got: $summary"; fi
  fi
  echo "flood $kind: discover $disc_ms ms ($disc_rows device), query $query_ms ms $query_result, sent $rate/s${reached:+, $reached reached the client}"
}

setup_network
echo "bounds: discover $((DISCOVERY_MS + MARGIN_MS)) ms, discover and query $((DISCOVERY_MS + QUERY_MS + MARGIN_MS)) ms"
flood_run none yes
flood_run requests yes
flood_run malformed yes
flood_run replies no
finish
