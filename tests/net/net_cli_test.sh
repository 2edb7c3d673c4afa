#!/usr/bin/env bash
# End-to-end tests of nexora-cli against nexora-devsim over real sockets and
# multicast, in network namespaces made (and always removed) here.
#
#   net_cli_test.sh SCENARIO DEVSIM CLI        (as root)
#
# Topology: the client namespace has two interfaces, nc1 10.201.1.1/24 and
# nc2 10.201.2.1/24 (interface indexes 0 and 1 in that order), each a veth
# into its own device namespace (10.201.1.2 and 10.201.2.2) where one
# simulator plays the devices of that network.
set -u

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/netns-lib.sh
source "$here/../../scripts/netns-lib.sh"

scenario=${1:?scenario}
DEVSIM=${2:?path of nexora-devsim}
# NEXORA_NET_CLI runs the scenarios with another build of the CLI, e.g. the
# native-asan one.
CLI=${NEXORA_NET_CLI:-${3:?path of nexora-cli}}
WORK=$(mktemp -d /tmp/nexora-net.XXXXXX)
NETNS_PREFIX=nxt
# shellcheck disable=SC2016 # expanded by the trap, at exit
NETNS_ON_EXIT='rm -rf "$WORK"'
netns_init
unset NEXORA_INTERFACES

TAB=$'\t'

# shellcheck source=net-test-lib.sh
source "$here/net-test-lib.sh"

# ---------------------------------------------------------------- helpers

# dev ADDRESS NAME NETMASK GATEWAY DHCP MAC INTERFACE: one discover --json record (no model).
dev() {
  printf '{"address":"%s","name":"%s","netmask":"%s","gateway":"%s","dhcp":"%s","mac":"%s","model":"","interface":%s}' "$@"
}

hex_text() { printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'; }
# hex_field TEXT WIDTH: the text zero-padded to WIDTH bytes.
hex_field() {
  local h
  h=$(hex_text "$1")
  while [ ${#h} -lt $(($2 * 2)) ]; do h+=00; done
  echo "$h"
}
le32() { printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
ip_hex() { local a b c d; IFS=. read -r a b c d <<<"$1"; printf '%02x%02x%02x%02x' "$a" "$b" "$c" "$d"; }
mac_hex() { echo "${1//:/}"; }
zeros() { printf '%0*d' $(($1 * 2)) 0; }

declare -A MARK
# mark LOG...: remembers where the logs end now.
mark() { local f; for f in "$@"; do MARK[$f]=$(wc -l <"$f"); done; }
# rx_since LOG: hex of the datagrams received since the mark, one a line.
rx_since() { tail -n +$((MARK[$1] + 1)) "$1" | awk '$2 == "rx" { print $6 }'; }

setup_network() {
  netns_create "cl-$scenario" NS_C
  netns_create "d1-$scenario" NS_D1
  netns_create "d2-$scenario" NS_D2
  netns_link "$NS_C" nc1 10.201.1.1/24 "$NS_D1" nd1 10.201.1.2/24
  netns_link "$NS_C" nc2 10.201.2.1/24 "$NS_D2" nd2 10.201.2.2/24
  netns_mcast_route "$NS_C" nc1
  netns_mcast_route "$NS_D1" nd1
  netns_mcast_route "$NS_D2" nd2
  LOG1=$WORK/d1.log
  LOG2=$WORK/d2.log
}

# The client id of the last discovery request in LOG (12 hex digits).
client_id() { awk '$2 == "rx" && substr($6, 1, 2) == "01" { id = substr($6, 3, 12) } END { print id }' "$1"; }

# query_request ID MAC ADDRESS CODE [DATA-HEX]
query_request() {
  local data=${5:-}
  echo "03$1$(zeros 4)$(mac_hex "$2")$(ip_hex "$3")$(printf %02x "$4")0000$(le32 $((${#data} / 2)))$data"
}

# set_request ID MAC ADDRESS CODE NETMASK-HEX16 GATEWAY-HEX16 [DATA-HEX]
set_request() {
  local data=${7:-}
  echo "05$1$(zeros 4)$(mac_hex "$2")$(ip_hex "$3")$(printf %02x "$4")0000$5$6$(le32 $((${#data} / 2)))$data"
}

# lan_half NAME ADDRESS NETMASK GATEWAY MODE: one 60-byte half of the record.
lan_half() { echo "$(hex_field "$1" 10)$(hex_field "$2" 16)$(hex_field "$3" 16)$(hex_field "$4" 16)$(hex_field "$5" 2)"; }

login_data() { echo "$(hex_text "$1")55aa$(hex_text "$2")"; }

# ---------------------------------------------------------------- scenarios

scenario_discovery() {
  start_sim d1 "$NS_D1" 10.201.1.2 '
[device alpha]
name = Alpha
mac = 02:00:00:00:01:0a
address = 10.201.1.10
gateway = 10.201.1.1
model = KX-7200
[device bravo]
name = Bravo
mac = 02:00:00:00:01:0b
address = 10.201.1.11
netmask = 255.255.0.0
dhcp = yes
reply_type = 2
[device twin1]
name = Twin-1
mac = 02:00:00:00:01:32
address = 10.201.1.50
[device twin2]
name = Twin-2
mac = 02:00:00:00:01:33
address = 10.201.1.50
[device echo]
name = Echo
mac = 02:00:00:00:01:0c
address = 10.201.1.12
reply_type = 7
subclass = 5
[device foxtrot]
name = Foxtrot
mac = 02:00:00:00:01:0d
address = 10.201.1.13
class = 2
model = F-1
[device nameless]
name =
mac = 02:00:00:00:01:0e
address = 10.201.1.14
reply_type = 2
[device both]
name = Both-Sides
mac = 02:00:00:00:03:03
address = 10.201.3.3'
  start_sim d2 "$NS_D2" 10.201.2.2 '
[device both]
name = Both-Sides-Seen-Second
mac = 02:00:00:00:03:03
address = 10.201.3.3
[device golf]
name = Golf
mac = 02:00:00:00:02:0a
address = 10.201.2.10
gateway = 10.201.2.1
reply_type = 7'

  local alpha bravo twin echo foxtrot nameless both golf
  alpha=$(row 10.201.1.10 Alpha 255.255.255.0 10.201.1.1 0 02:00:00:00:01:0a KX-7200 0)
  bravo=$(row 10.201.1.11 Bravo 255.255.0.0 "" 1 02:00:00:00:01:0b "" 0)
  twin=$(row 10.201.1.50 Twin-1 255.255.255.0 "" 0 02:00:00:00:01:32 "" 0)
  echo=$(row 10.201.1.12 Echo 255.255.255.0 "" 0 02:00:00:00:01:0c "" 0)
  foxtrot=$(row 10.201.1.13 Foxtrot 255.255.255.0 "" 0 02:00:00:00:01:0d F-1 0)
  nameless=$(row 10.201.1.14 "" 255.255.255.0 "" 0 02:00:00:00:01:0e "" 0)
  both=$(row 10.201.3.3 Both-Sides 255.255.255.0 "" 0 02:00:00:00:03:03 "" 0)
  golf=$(row 10.201.2.10 Golf 255.255.255.0 10.201.2.1 0 02:00:00:00:02:0a "" 1)

  mark "$LOG1" "$LOG2"
  cli discover
  expect_run "discover (class 3, subclass 3): order, one record per address, first interface wins" 0 \
    "$alpha"$'\n'"$bravo"$'\n'"$twin"$'\n'"$nameless"$'\n'"$both"$'\n'"$golf"
  expect_between "discover listens on both interfaces in one window of about one second" 900 1700 "$MS"
  local r1 r2
  r1=$(rx_since "$LOG1")
  r2=$(rx_since "$LOG2")
  expect_match "one 11-byte discovery request on interface 1" '^01[0-9a-f]{12}00000000$' "$r1"
  expect_eq "the same request, client id included, on interface 2" "$r1" "$r2"

  cli discover --class 0 --subclass 0
  expect_run "discover --class 0 --subclass 0 accepts every class" 0 \
    "$alpha"$'\n'"$bravo"$'\n'"$twin"$'\n'"$echo"$'\n'"$foxtrot"$'\n'"$nameless"$'\n'"$both"$'\n'"$golf"
  cli discover --class 3 --subclass 5
  expect_run "discover --class 3 --subclass 5: classed replies filtered, type 2 always accepted" 0 \
    "$bravo"$'\n'"$echo"$'\n'"$nameless"
  cli discover --class=2 --subclass=3
  expect_run "discover --class=2 --subclass=3" 0 "$bravo"$'\n'"$foxtrot"$'\n'"$nameless"

  # A hundred devices behind the first interface, all listed in one discovery.
  netns_stop "${SIM_PID[d1]}"
  local n conf="" many=""
  for n in $(seq 100); do
    conf+=$(printf '\n[device m%d]\nname = Many-%d\nmac = 02:00:00:00:0c:%02x\naddress = 10.201.1.%d' "$n" "$n" "$n" $((100 + n)))
    many+=$(row "10.201.1.$((100 + n))" "Many-$n" 255.255.255.0 "" 0 "$(printf '02:00:00:00:0c:%02x' "$n")" "" 0)$'\n'
  done
  start_sim many "$NS_D1" 10.201.1.2 "$conf"
  cli discover
  expect_run "discover: a hundred devices on one interface, then the second interface's" 0 \
    "$many$(row 10.201.3.3 Both-Sides-Seen-Second 255.255.255.0 "" 0 02:00:00:00:03:03 "" 1)"$'\n'"$golf"
}

QUERY_DEVICES='
[device alpha]
name = Alpha
mac = 02:00:00:00:01:0a
address = 10.201.1.10
shares = HDD_1:HDD_1:USB:Recycle Bin - HDD_1
workgroup = OFFICE
codepage = 850
disk = 5
sharename = HDD_a
btfirmware = 2
domain = example.lan
ssl = 1
[device twoport]
name = Two-Port
mac = 02:00:00:00:01:0b
address = 10.201.1.11
lanconfig = LAN1:10.201.1.11:255.255.255.0::1:LAN2:10.0.0.2:255.0.0.0::0
domain =
shares =
[device oneport]
name = One-Port
mac = 02:00:00:00:01:0c
address = 10.201.1.12
lanconfig = eth0:10.201.1.12:255.255.255.0:10.201.1.1:0'

scenario_queries() {
  start_sim d1 "$NS_D1" 10.201.1.2 "$QUERY_DEVICES"
  start_sim d2 "$NS_D2" 10.201.2.2 '
[device golf]
name = Golf
mac = 02:00:00:00:02:0a
address = 10.201.2.10
workgroup = SECOND-NET'

  local item expected code
  # item | expected output | query code
  while IFS='|' read -r item expected code; do
    [ -n "$item" ] || continue
    expected=${expected//\\n/$'\n'}
    expected=${expected//\\t/$TAB}
    mark "$LOG1"
    cli query 10.201.1.10 "$item"
    expect_run "query $item" 0 "$expected"
    expect_eq "query $item: requests after the discovery" \
      "$(query_request "$(client_id "$LOG1")" 02:00:00:00:01:0a 10.201.1.10 "$code")" \
      "$(rx_since "$LOG1" | tail -n +2)"
  done <<'EOF'
shares|HDD_1\nUSB\nRecycle Bin - HDD_1|3
workgroup|OFFICE|6
codepage|850|9
disk|5|11
sharename|HDD_a|12
btfirmware|2|15
domain|example.lan|18
ssl|1|19
lanconfig||20
EOF

  cli query 10.201.1.11 lanconfig
  expect_run "query lanconfig of a two-port device" 0 \
    "$(row LAN1 10.201.1.11 255.255.255.0 "" 1)"$'\n'"$(row LAN2 10.0.0.2 255.0.0.0 "" 0)"
  cli query 10.201.1.12 lanconfig
  expect_run "query lanconfig of a device whose first port is not LAN1" 0 \
    "$(row eth0 10.201.1.12 255.255.255.0 10.201.1.1 0)"
  cli query 10.201.1.11 domain
  expect_run "query of an empty text prints an empty line" 0 ""
  expect_eq "query of an empty text: exactly one newline" "0a" "$(od -An -tx1 "$WORK/out" | tr -d ' \n')"
  cli query 10.201.1.11 shares
  expect_run "query shares of a device without shares prints nothing" 0 ""
  expect_eq "query shares of a device without shares: no bytes" "0" "$(wc -c <"$WORK/out")"
  cli query 10.201.2.10 workgroup
  expect_run "query through the second interface" 0 "SECOND-NET"
  cli --verbose query 10.201.1.10 ssl
  expect_run "query --verbose keeps standard output clean" 0 "1"
  expect_match "query --verbose: trace lines on standard error" '(^|'$'\n'')ssl=1($|'$'\n'')' "$ERR"
  mark "$LOG1" "$LOG2"
  cli query 10.201.1.99 ssl
  expect_run "query of an address that no device has" 1 ""
  expect_match "query of an unknown address: message" 'no device found at 10\.201\.1\.99' "$ERR"
  expect_eq "query of an unknown address: only the discovery requests" \
    "1" "$(rx_since "$LOG1" | wc -l)"
}

scenario_login() {
  start_sim d1 "$NS_D1" 10.201.1.2 '
[device locked]
name = Locked
mac = 02:00:00:00:01:0a
address = 10.201.1.10
password = s3cret
[device open]
name = Open
mac = 02:00:00:00:01:0b
address = 10.201.1.11
[device bob]
name = Bob
mac = 02:00:00:00:01:0c
address = 10.201.1.12
user = bob
password = 0123456789abcdef'
  start_sim d2 "$NS_D2" 10.201.2.2 ''
  local id

  mark "$LOG1"
  cli login 10.201.1.11
  expect_run "login admin with an empty password to a device without a password" 0 "Login accepted."
  id=$(client_id "$LOG1")
  expect_eq "login request: admin, 55 AA, nothing after (35 bytes)" \
    "$(query_request "$id" 02:00:00:00:01:0b 10.201.1.11 4 "$(login_data admin "")")" \
    "$(rx_since "$LOG1" | tail -n +2)"
  expect_eq "the 35-byte login request is 35 bytes" 70 "$(rx_since "$LOG1" | tail -n 1 | tr -d '\n' | wc -c)"

  cli login 10.201.1.10 --password s3cret
  expect_run "login with the right password" 0 "Login accepted."
  cli login 10.201.1.10 --password wrong
  expect_run "login with a wrong password" 1 ""
  expect_eq "login with a wrong password: message" "Wrong administrator password input!" "$ERR"
  cli login 10.201.1.10
  expect_run "login without the password that the device has" 1 ""

  mark "$LOG1"
  cli login 10.201.1.12 --user bob --password 0123456789abcdef
  expect_run "login with a 16-character password and another user" 0 "Login accepted."
  expect_eq "login request with user and password" \
    "$(query_request "$(client_id "$LOG1")" 02:00:00:00:01:0c 10.201.1.12 4 "$(login_data bob 0123456789abcdef)")" \
    "$(rx_since "$LOG1" | tail -n +2)"
}

scenario_set() {
  start_sim d1 "$NS_D1" 10.201.1.2 '
[device single]
name = Single
mac = 02:00:00:00:01:14
address = 10.201.1.20
gateway = 10.201.1.1
password = pw
[device twoport]
name = Two-Port
mac = 02:00:00:00:01:1e
address = 10.201.1.30
gateway = 10.201.1.1
lanconfig = LAN1:10.201.1.30:255.255.255.0:10.201.1.1:0:LAN2:10.0.0.2:255.0.0.0::0
[device dhcp1]
name = Dhcp-Single
mac = 02:00:00:00:01:28
address = 10.201.1.40
dhcp_address = 10.201.1.77
[device dhcp2]
name = Dhcp-Two
mac = 02:00:00:00:01:2d
address = 10.201.1.45
lanconfig = LAN1:10.201.1.45:255.255.255.0::0:LAN2:10.0.0.3:255.0.0.0::0
dhcp_address = 10.201.1.78
[device relayed]
name = Relayed
mac = 02:00:00:00:01:32
address = 10.201.1.50
header_address = 10.201.1.250
header_address_on = set
[device noaddress]
name = No-Address
mac = 02:00:00:00:01:3c
address = 10.201.1.60
lanconfig = LAN1::255.255.255.0::0:LAN2:10.0.0.2:255.0.0.0::0'
  start_sim d2 "$NS_D2" 10.201.2.2 ''
  local id reqs mask gw

  # Static address, older form (device without per-port configuration).
  mark "$LOG1"
  cli set-static 10.201.1.20 10.201.1.21 255.255.255.0 10.201.1.1 --password pw
  expect_run "set-static, single-port device" 0 "LAN settings applied."
  id=$(client_id "$LOG1")
  mask=$(hex_field 255.255.255.0 16)
  gw=$(hex_field 10.201.1.1 16)
  reqs=$(rx_since "$LOG1" | tail -n +2)
  expect_eq "set-static, single-port: lanconfig query, two logins, code 1 with the address" \
    "$(query_request "$id" 02:00:00:00:01:14 10.201.1.20 20)
$(query_request "$id" 02:00:00:00:01:14 10.201.1.20 4 "$(login_data admin "")")
$(query_request "$id" 02:00:00:00:01:14 10.201.1.20 4 "$(login_data admin pw)")
$(set_request "$id" 02:00:00:00:01:14 10.201.1.20 1 "$mask" "$gw" "$(hex_text 10.201.1.21)")" "$reqs"
  expect_eq "set-static, single-port: the set request is 71 bytes" 142 "$(echo "$reqs" | tail -n 1 | tr -d '\n' | wc -c)"
  cli discover
  expect_match "set-static, single-port: the next discovery shows the new address" \
    "(^|"$'\n'")$(row 10.201.1.21 Single 255.255.255.0 10.201.1.1 0 02:00:00:00:01:14 "" 0)($|"$'\n'")" "$OUT"
  cli query 10.201.1.20 ssl
  expect_run "set-static, single-port: the old address is gone" 1 ""

  # Static address, per-port form: LAN2 of a two-port device.
  mark "$LOG1"
  cli set-static 10.201.1.30 10.0.0.5 255.255.0.0 10.0.0.1 --port LAN2
  expect_run "set-static --port LAN2, two-port device" 0 "LAN settings applied."
  id=$(client_id "$LOG1")
  reqs=$(rx_since "$LOG1" | tail -n 1)
  expect_eq "set-static --port LAN2: code 21 with LAN1 as reported and the new LAN2 (180 bytes)" \
    "$(set_request "$id" 02:00:00:00:01:1e 10.201.1.30 21 "$mask" "$gw" \
       "$(lan_half LAN1 10.201.1.30 255.255.255.0 10.201.1.1 0)$(lan_half LAN2 10.0.0.5 255.255.0.0 10.0.0.1 0)")" \
    "$reqs"
  expect_eq "set-static --port LAN2: 180 bytes" 360 "$(printf %s "$reqs" | wc -c)"
  cli query 10.201.1.30 lanconfig
  expect_run "set-static --port LAN2: the device reports the new LAN2" 0 \
    "$(row LAN1 10.201.1.30 255.255.255.0 10.201.1.1 0)"$'\n'"$(row LAN2 10.0.0.5 255.255.0.0 10.0.0.1 0)"

  # LAN1 (the port carrying the address, chosen by default) moves the device.
  mark "$LOG1"
  cli set-static 10.201.1.30 10.201.1.31 255.255.255.0 10.201.1.254
  expect_run "set-static, two-port device, default port" 0 "LAN settings applied."
  expect_eq "set-static, default port LAN1: code 21 with the new LAN1 and LAN2 as reported" \
    "$(set_request "$(client_id "$LOG1")" 02:00:00:00:01:1e 10.201.1.30 21 "$mask" "$(hex_field 10.201.1.254 16)" \
       "$(lan_half LAN1 10.201.1.31 255.255.255.0 10.201.1.254 0)$(lan_half LAN2 10.0.0.5 255.255.0.0 10.0.0.1 0)")" \
    "$(rx_since "$LOG1" | tail -n 1)"
  cli discover
  expect_match "set-static LAN1: the next discovery shows the device's new address" \
    "(^|"$'\n'")$(row 10.201.1.31 Two-Port 255.255.255.0 10.201.1.254 0 02:00:00:00:01:1e "" 0)($|"$'\n'")" "$OUT"

  # DHCP, older form: a 60-byte code 2 without data; the reply names the new address.
  mark "$LOG1"
  cli set-dhcp 10.201.1.40
  expect_run "set-dhcp, single-port device" 0 "DHCP client enabled."$'\n'"10.201.1.77"
  expect_eq "set-dhcp, single-port: code 2, zero netmask and gateway, no data (60 bytes)" \
    "$(set_request "$(client_id "$LOG1")" 02:00:00:00:01:28 10.201.1.40 2 "$(zeros 16)" "$(zeros 16)")" \
    "$(rx_since "$LOG1" | tail -n 1)"
  cli discover
  expect_match "set-dhcp, single-port: the next discovery shows the DHCP address and flag" \
    "(^|"$'\n'")$(row 10.201.1.77 Dhcp-Single 255.255.255.0 "" 1 02:00:00:00:01:28 "" 0)($|"$'\n'")" "$OUT"

  # DHCP on a two-port device, as the window sends it: code 21 with the
  # record, the port's mode 1, the first port's netmask and gateway in the header.
  mark "$LOG1"
  cli set-dhcp 10.201.1.45
  expect_run "set-dhcp, two-port device" 0 "DHCP client enabled."$'\n'"10.201.1.45"
  expect_eq "set-dhcp, two-port: code 21 with the record, LAN1 mode 1 (180 bytes)" \
    "$(set_request "$(client_id "$LOG1")" 02:00:00:00:01:2d 10.201.1.45 21 "$mask" "$(zeros 16)" \
       "$(lan_half LAN1 10.201.1.45 255.255.255.0 "" 1)$(lan_half LAN2 10.0.0.3 255.0.0.0 "" 0)")" \
    "$(rx_since "$LOG1" | tail -n 1)"
  cli query 10.201.1.78 lanconfig
  expect_run "set-dhcp, two-port: the device reports LAN1 as DHCP client at its new address" 0 \
    "$(row LAN1 10.201.1.78 255.255.255.0 "" 1)"$'\n'"$(row LAN2 10.0.0.3 255.0.0.0 "" 0)"

  # A set reply that names another address is accepted.
  cli set-static 10.201.1.50 10.201.1.51 255.255.255.0 10.201.1.1
  expect_run "set-static accepts a reply naming another address" 0 "LAN settings applied."

  # Wrong password: nothing is set.
  mark "$LOG1"
  cli set-static 10.201.1.21 10.201.1.22 255.255.255.0 10.201.1.1 --password nope
  expect_run "set-static with a wrong password" 1 ""
  expect_eq "set-static with a wrong password: message" "Wrong administrator password input!" "$ERR"
  expect_eq "set-static with a wrong password: no set request" "" "$(rx_since "$LOG1" | grep '^05')"
  cli set-dhcp 10.201.1.21
  expect_run "set-dhcp without the password" 1 ""
  cli discover
  expect_match "after the refused changes the device keeps its address" \
    "(^|"$'\n'")10\.201\.1\.21${TAB}Single${TAB}" "$OUT"

  cli set-static 10.201.1.21 10.201.1.22 255.255.255.0 10.201.1.1 --port LAN2 --password pw
  expect_run "set-static --port LAN2 on a single-port device" 2 ""

  # The first port reported no address ("NULL"): a LAN2 change still goes out.
  mark "$LOG1"
  cli set-static 10.201.1.60 10.0.0.9 255.255.0.0 10.0.0.1 --port LAN2
  expect_run "set-static --port LAN2, first port without an address" 0 "LAN settings applied."
  expect_eq "set-static --port LAN2, first port without an address: code 21, LAN1 as reported" \
    "$(set_request "$(client_id "$LOG1")" 02:00:00:00:01:3c 10.201.1.60 21 "$mask" "$(zeros 16)" \
       "$(lan_half LAN1 NULL 255.255.255.0 "" 0)$(lan_half LAN2 10.0.0.9 255.255.0.0 10.0.0.1 0)")" \
    "$(rx_since "$LOG1" | tail -n 1)"
}

scenario_faults() {
  start_sim d1 "$NS_D1" 10.201.1.2 '
[device flooder]
name = Flooder
mac = 02:00:00:00:01:01
address = 10.201.1.10
flood = 40
flood_on = discover
[device hidden]
name = Hidden
mac = 02:00:00:00:01:02
address = 10.201.1.11'
  start_sim d2 "$NS_D2" 10.201.2.2 '
[device mute]
name = Mute
mac = 02:00:00:00:02:01
address = 10.201.2.10
silent = yes
[device deaf]
name = Query-Deaf
mac = 02:00:00:00:02:02
address = 10.201.2.11
silent = yes
silent_on = query
[device late]
name = Late
mac = 02:00:00:00:02:03
address = 10.201.2.12
ssl = 1
delay_ms = 400
delay_on = query
[device tardy]
name = Tardy
mac = 02:00:00:00:02:04
address = 10.201.2.13
delay_ms = 1500
delay_on = discover
[device stranger]
name = Stranger
mac = 02:00:00:00:02:05
address = 10.201.2.14
foreign_id = yes
foreign_id_on = discover
[device impostor]
name = Impostor
mac = 02:00:00:00:02:06
address = 10.201.2.15
header_address = 10.201.2.16
header_address_on = query
[device chatty]
name = Chatty
mac = 02:00:00:00:02:07
address = 10.201.2.17
ssl = 1
flood = 5
flood_on = query
[device stutter]
name = Stutter
mac = 02:00:00:00:02:08
address = 10.201.2.18
ssl = 1
flood = 30
flood_on = query
[device noisy]
name = Noisy
mac = 02:00:00:00:02:09
address = 10.201.2.19
ssl = 1
flood = 30
flood_type = other
flood_on = query
[device answersother]
name = Foreign-Answers
mac = 02:00:00:00:02:0a
address = 10.201.2.20
foreign_id = yes
foreign_id_on = query
[device badlen]
name = Bad-Length
mac = 02:00:00:00:02:0b
address = 10.201.2.21
ssl = 1
malformed = badlength
[device huge]
name = Huge
mac = 02:00:00:00:02:0c
address = 10.201.2.22
malformed = oversize
malformed_on = query
[device stub]
name = Stub
mac = 02:00:00:00:02:0d
address = 10.201.2.23
malformed = truncate
truncate_to = 20'

  cli discover
  expect_run "discover: forty foreign datagrams hide no device" 0 \
    "$(row 10.201.1.10 Flooder 255.255.255.0 "" 0 02:00:00:00:01:01 "" 0)
$(row 10.201.1.11 Hidden 255.255.255.0 "" 0 02:00:00:00:01:02 "" 0)
$(row 10.201.2.11 Query-Deaf 255.255.255.0 "" 0 02:00:00:00:02:02 "" 1)
$(row 10.201.2.12 Late 255.255.255.0 "" 0 02:00:00:00:02:03 "" 1)
$(row 10.201.2.15 Impostor 255.255.255.0 "" 0 02:00:00:00:02:06 "" 1)
$(row 10.201.2.17 Chatty 255.255.255.0 "" 0 02:00:00:00:02:07 "" 1)
$(row 10.201.2.18 Stutter 255.255.255.0 "" 0 02:00:00:00:02:08 "" 1)
$(row 10.201.2.19 Noisy 255.255.255.0 "" 0 02:00:00:00:02:09 "" 1)
$(row 10.201.2.20 Foreign-Answers 255.255.255.0 "" 0 02:00:00:00:02:0a "" 1)
$(row 10.201.2.21 Bad-Length 255.255.255.0 "" 0 02:00:00:00:02:0b "" 1)
$(row 10.201.2.22 Huge 255.255.255.0 "" 0 02:00:00:00:02:0c "" 1)"

  cli query 10.201.2.10 ssl
  expect_run "a silent device is not found" 1 ""
  # The window is 50 ms and 32 cycles; a cycle's wait ends early when the
  # other devices' replies arrive, its 20 ms pause never does.
  expect_between "a silent device: exit after the discovery" 690 3500 "$MS"
  cli query 10.201.2.11 ssl
  expect_run "a device that does not answer queries" 1 ""
  expect_match "no answer: message" 'no answer from 10\.201\.2\.11' "$ERR"
  # discovery ~1 s, drain 11 polls, 21 polls with 20 pauses of 100 ms
  expect_between "no answer to a query: discovery and about 2.3 s" 3000 6000 "$MS"
  cli login 10.201.2.11
  expect_run "login to a device that does not answer" 1 ""
  expect_between "no answer to a login: discovery and about 1.1 s" 1800 4800 "$MS"
  cli query 10.201.2.12 ssl
  expect_run "a reply 400 ms late is still taken" 0 "1"
  cli query 10.201.2.15 ssl
  expect_run "a reply naming another device's address is not taken" 1 ""
  cli query 10.201.2.17 ssl
  expect_run "five foreign replies before the reply cost five tries" 0 "1"
  cli query 10.201.2.18 ssl
  expect_run "thirty foreign replies before the reply use up the tries" 1 ""
  cli query 10.201.2.19 ssl
  expect_run "thirty datagrams of another type cost no try" 0 "1"
  cli query 10.201.2.20 ssl
  expect_run "a reply with another client id is not taken" 1 ""
  cli query 10.201.2.21 ssl
  expect_run "a query reply with a wrong length field: the text up to the datagram's end" 0 "1"
  cli query 10.201.2.22 ssl
  expect_run "a 4096-byte reply without terminator is cut to the buffer" 0 "0AAAAAA"
  cli query 10.201.2.22 domain
  expect_eq "a 4096-byte domain reply is cut to 127 characters" "127" "$(printf %s "$OUT" | wc -c)"
  cli query 10.201.2.22 shares
  expect_run "a 4096-byte share list is cut to a 255-character name" 0 "$(printf 'A%.0s' $(seq 255))"

  # The flood on interface 1 only: the next one finds its devices.
  netns_stop "${SIM_PID[d1]}"
  start_sim d1b "$NS_D1" 10.201.1.2 '
[device flooder]
name = Flooder
mac = 02:00:00:00:01:01
address = 10.201.1.10
flood = 5
flood_on = discover
[device hidden]
name = Hidden
mac = 02:00:00:00:01:02
address = 10.201.1.11'
  cli discover
  expect_match "discover: five foreign datagrams leave room for the replies" \
    "^$(row 10.201.1.10 Flooder 255.255.255.0 "" 0 02:00:00:00:01:01 "" 0)"$'\n'"$(row 10.201.1.11 Hidden 255.255.255.0 "" 0 02:00:00:00:01:02 "" 0)"$'\n' "$OUT"
}

# Invalid input: exit 2, one line on standard error, nothing on the wire.
scenario_input() {
  start_sim d1 "$NS_D1" 10.201.1.2 "$QUERY_DEVICES"
  start_sim d2 "$NS_D2" 10.201.2.2 ''
  mark "$LOG1" "$LOG2"
  local expected args argv
  while IFS='|' read -r expected args; do
    case "$expected" in '' | '#'*) continue ;; esac
    eval "argv=($args)"
    cli "${argv[@]}"
    expect_run "nexora-cli $args" 2 ""
    expect_eq "nexora-cli $args: message" "$expected" "$ERR"
  done < "$here/invalid_inputs.txt"
  sleep 0.3
  expect_eq "invalid input sends nothing (interface 1)" "" "$(rx_since "$LOG1")"
  expect_eq "invalid input sends nothing (interface 2)" "" "$(rx_since "$LOG2")"
}

# A device whose every text is 4096 bytes running through every byte value
# (long_texts): no output overflows, each text is cut to its buffer.
scenario_long() {
  start_sim d1 "$NS_D1" 10.201.1.2 '
[device long]
mac = 02:00:00:00:01:0a
address = 10.201.1.10
long_texts = yes'
  start_sim d2 "$NS_D2" 10.201.2.2 ''
  local item template mac=02:00:00:00:01:0a expected
  expect_long() {
    expect_run "long texts: $1: exit status" "$2"
    expected=$(python3 "$here/long_text.py" text "$3")
    expect_eq "long texts: $1" "$expected" "$OUT"
  }
  expect_long_json() {
    local why
    if why=$(python3 "$here/long_text.py" json "$WORK/out" "$2" 2>&1); then pass; else fail "long texts: --json $1" "$why"; fi
  }

  # Discovery: the name cut to 255 bytes, netmask and gateway to 15, the
  # model to its 32-byte field.
  cli discover
  expect_long discover 0 "$(row 10.201.1.10 @255 @15 @15 0 $mac @32 0)"
  cli --json discover
  expect_long_json discover \
    '{"devices":[{"address":"10.201.1.10","name":"@255","netmask":"@15","gateway":"@15","dhcp":"0","mac":"'$mac'","model":"@32","interface":0}]}'

  # Query texts: the reply text ends at the first zero byte (255 bytes), then
  # each is cut to its buffer; the share list splits at ':' (byte 0x3a).
  while IFS='|' read -r item template; do
    [ -n "$item" ] || continue
    cli query 10.201.1.10 "$item"
    expect_long "query $item" 0 "${template//\\n/$'\n'}"
    cli --json query 10.201.1.10 "$item"
    if [ "$item" = shares ]; then
      expect_long_json "query shares" '{"shares":[{"name":"@57"},{"name":"@58:255"}]}'
    else
      expect_long_json "query $item" "{\"$item\":\"$template\"}"
    fi
  done <<'EOF'
shares|@57\n@58:255
workgroup|@31
codepage|@63
disk|@7
sharename|@15
btfirmware|@7
domain|@127
ssl|@7
EOF

  # Two ':'-separated pieces are no LAN configuration: refused, no output.
  cli query 10.201.1.10 lanconfig
  expect_run "long texts: query lanconfig is refused" 1 ""
  cli --json query 10.201.1.10 lanconfig
  expect_run "long texts: --json query lanconfig is refused" 1
  expect_match "long texts: --json query lanconfig reports the failure" '^\{"status":1,"error":' "$OUT"
}

setup_network
# Every command with --json: the same results as records with named fields,
# texts escaped as JSON needs (device texts are single-byte, not UTF-8), and
# failures as {"status", "error"} with the same exit status.
scenario_json() {
  # A name with a quote, a backslash, a tab and the ANSI byte e9.
  local odd
  odd=$(printf 'A"B\\\tC\xe9')
  start_sim d1 "$NS_D1" 10.201.1.2 "$QUERY_DEVICES
[device odd]
name = $odd
mac = 02:00:00:00:01:0d
address = 10.201.1.13
[device dhcp1]
name = Dhcp-Single
mac = 02:00:00:00:01:28
address = 10.201.1.40
dhcp_address = 10.201.1.77
password = pw
[device single]
name = Single
mac = 02:00:00:00:01:14
address = 10.201.1.20
gateway = 10.201.1.1"
  start_sim d2 "$NS_D2" 10.201.2.2 '
[device golf]
name = Golf
mac = 02:00:00:00:02:0a
address = 10.201.2.10
gateway = 10.201.2.1'

  cli --json discover
  expect_run "discover --json: every device, named fields, in discovery order" 0 \
    "{\"devices\":[$(dev 10.201.1.10 Alpha 255.255.255.0 "" 0 02:00:00:00:01:0a 0),$(dev 10.201.1.11 Two-Port 255.255.255.0 "" 0 02:00:00:00:01:0b 0),$(dev 10.201.1.12 One-Port 255.255.255.0 "" 0 02:00:00:00:01:0c 0),$(dev 10.201.1.13 'A\"B\\\tC'$'\xef\xbf\xbd' 255.255.255.0 "" 0 02:00:00:00:01:0d 0),$(dev 10.201.1.40 Dhcp-Single 255.255.255.0 "" 0 02:00:00:00:01:28 0),$(dev 10.201.1.20 Single 255.255.255.0 10.201.1.1 0 02:00:00:00:01:14 0),$(dev 10.201.2.10 Golf 255.255.255.0 10.201.2.1 0 02:00:00:00:02:0a 1)]}"
  expect_eq "discover --json: nothing on standard error" "" "$ERR"
  cli discover
  expect_eq "discover without --json: the tab-separated records stay the default, the tab as '?'" \
    "$(row 10.201.1.13 'A"B\?C'$'\xe9' 255.255.255.0 "" 0 02:00:00:00:01:0d "" 0)" \
    "$(printf '%s\n' "$OUT" | grep -a '^10\.201\.1\.13')"
  cli discover --class 3 --subclass 9 --json
  expect_run "discover --json with no device found: an empty list" 0 '{"devices":[]}'

  local args expected rc words
  # arguments | exit status | standard output
  while IFS='|' read -r args rc expected; do
    [ -n "$args" ] || continue
    read -ra words <<<"$args"
    cli --json "${words[@]}"
    expect_run "--json $args" "$rc" "$expected"
    expect_eq "--json $args: nothing on standard error" "" "$ERR"
  done <<'EOF'
query 10.201.1.10 shares|0|{"shares":[{"name":"HDD_1"},{"name":"USB"},{"name":"Recycle Bin - HDD_1"}]}
query 10.201.1.11 shares|0|{"shares":[]}
query 10.201.1.11 lanconfig|0|{"ports":[{"name":"LAN1","address":"10.201.1.11","netmask":"255.255.255.0","gateway":"","mode":"1"},{"name":"LAN2","address":"10.0.0.2","netmask":"255.0.0.0","gateway":"","mode":"0"}]}
query 10.201.1.10 lanconfig|0|{"ports":[]}
query 10.201.1.10 workgroup|0|{"workgroup":"OFFICE"}
query 10.201.1.10 codepage|0|{"codepage":"850"}
query 10.201.1.11 domain|0|{"domain":""}
query 10.201.1.99 ssl|1|{"status":1,"error":"nexora-cli: no device found at 10.201.1.99"}
login 10.201.1.40 --password pw|0|{"message":"Login accepted."}
login 10.201.1.40 --password wrong|1|{"status":1,"error":"Wrong administrator password input!"}
set-static 10.201.1.20 10.201.1.21 255.255.255.0 10.201.1.1|0|{"message":"LAN settings applied."}
set-dhcp 10.201.1.40 --password pw|0|{"message":"DHCP client enabled.","address":"10.201.1.77"}
set-static 10.201.1.12 10.201.1.30 255.255.255.0 10.201.1.1 --port LAN2|2|{"status":2,"error":"nexora-cli: the device at 10.201.1.12 has no port LAN2"}
EOF
}

case "$scenario" in
  discovery) scenario_discovery ;;
  queries) scenario_queries ;;
  login) scenario_login ;;
  set) scenario_set ;;
  faults) scenario_faults ;;
  input) scenario_input ;;
  json) scenario_json ;;
  long) scenario_long ;;
  *) echo "unknown scenario $scenario"; exit 2 ;;
esac

finish
