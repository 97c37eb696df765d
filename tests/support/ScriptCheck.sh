# What the shell-script tests share, sourced after `set -u`: a scratch folder `work`, the list
# `started` of processes to stop at the end, and the checks `fail` and `expect` that count
# `failures`.
work=$(mktemp -d)
failures=0
started=()

cleanup() {
  for p in "${started[@]}"; do kill "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
expect() {  # what, expected, actual
  [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"
}
