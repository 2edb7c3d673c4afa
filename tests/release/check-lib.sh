# shellcheck shell=bash
# The check helper of the package tests: check WHAT EXPECTED GOT prints the
# difference and sets failed=1 when the two differ.
# shellcheck disable=SC2034  # read by the tests that source this library
failed=0
check() {
  if [ "$2" != "$3" ]; then
    failed=1
    printf 'FAIL: %s\n  expected: %q\n  got:      %q\n' "$1" "$2" "$3"
  fi
}
