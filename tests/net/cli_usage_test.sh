#!/usr/bin/env bash
# nexora-cli's command-line checks, without a network: every line of
# invalid_inputs.txt exits with status 2 and its message, and --help and
# --version work.
# NEXORA_INTERFACES pins the client to loopback in case a check let
# something through to the network.
#
#   cli_usage_test.sh CLI VERSION
set -u
CLI=${1:?path of nexora-cli}
VERSION=${2:?version of the program}
here=$(cd "$(dirname "$0")" && pwd)
export NEXORA_INTERFACES=127.0.0.1
passed=0
failed=0
check() {  # WHAT EXPECTED GOT
  if [ "$2" == "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL: %s\n  expected: %q\n  got:      %q\n' "$1" "$2" "$3"
  fi
}
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
while IFS='|' read -r expected args; do
  case "$expected" in '' | '#'*) continue ;; esac
  eval "set -- $args"
  timeout 20 "$CLI" "$@" >"$out" 2>"$err"
  rc=$?
  check "nexora-cli $args: exit status" 2 "$rc"
  check "nexora-cli $args: standard error" "$expected" "$(cat "$err")"
  check "nexora-cli $args: standard output" "" "$(cat "$out")"
  # The same refusal for scripts: one JSON object on standard output, with
  # the exit status and the same message, and nothing on standard error.
  timeout 20 "$CLI" --json "$@" >"$out" 2>"$err"
  rc=$?
  check "nexora-cli --json $args: exit status" 2 "$rc"
  check "nexora-cli --json $args: standard output" "{\"status\":2,\"error\":\"$expected\"}" "$(cat "$out")"
  check "nexora-cli --json $args: standard error" "" "$(cat "$err")"
done <"$here/invalid_inputs.txt"

# --json stands anywhere among the options; after "--" it is an argument.
while IFS='|' read -r expected args; do
  eval "set -- $args"
  timeout 20 "$CLI" "$@" >"$out" 2>"$err"
  check "nexora-cli $args: output" "$expected" "$(cat "$out")$(cat "$err")"
done <<'EOF'
{"status":2,"error":"nexora-cli: unknown command 'frobnicate' (see nexora-cli --help)"}|frobnicate --json
{"status":2,"error":"nexora-cli: no command (see nexora-cli --help)"}|--json
{"status":2,"error":"nexora-cli: --json takes no value (see nexora-cli --help)"}|--json --json=yes discover
nexora-cli: unknown command '--json' (see nexora-cli --help)|-- --json
EOF

"$CLI" --help >"$out" 2>"$err"
check "--help: exit status" 0 "$?"
check "--help: first line" "Usage: nexora-cli [--verbose] COMMAND [ARGUMENTS] [OPTIONS]" "$(head -n 1 "$out")"
for word in discover query login set-dhcp set-static lanconfig "--port LAN1|LAN2" --json --version "Exit status"; do
  if grep -qF -- "$word" "$out"; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAIL: --help does not mention '$word'"; fi
done
"$CLI" query 10.201.1.10 ssl --help >"$out" 2>"$err"
check "--help after a command: exit status" 0 "$?"
"$CLI" --json --help >"$out" 2>"$err"
check "--json --help: the text help" "Usage: nexora-cli [--verbose] COMMAND [ARGUMENTS] [OPTIONS]" "$(head -n 1 "$out")"

# --version prints the name and version alone, as text, wherever it stands
# and whatever else the command line holds; nothing is sent.
for args in "--version" "--json --version" "query 10.201.1.10 ssl --version" "--version frobnicate --class 1"; do
  eval "set -- $args"
  timeout 20 "$CLI" "$@" >"$out" 2>"$err"
  check "nexora-cli $args: exit status" 0 "$?"
  check "nexora-cli $args: standard output" "nexora-cli $VERSION" "$(cat "$out")"
  check "nexora-cli $args: standard error" "" "$(cat "$err")"
done
"$CLI" --version --help >"$out" 2>"$err"
check "--version --help: the help" "Usage: nexora-cli [--verbose] COMMAND [ARGUMENTS] [OPTIONS]" "$(head -n 1 "$out")"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
