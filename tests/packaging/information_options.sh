#!/usr/bin/env bash
# Every program answers --version and --help at once and with status 0, with
# no display, no Qt platform and a standard input that never ends; perch-uci
# started without arguments is still the engine.
#
#   information_options.sh BIN-FOLDER VERSION
set -euo pipefail
bin=$1 version=$2
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The programs' input: a pipe that this script holds open, so that it never
# ends. A program that read it, or waited for a display, would be stopped by
# the time-out.
work=$(mktemp -d /tmp/perch-information.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkfifo "$work/input"
exec 3<>"$work/input"

answer() {  # PROGRAM OPTION
  local out status=0
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$bin/$1" "$2" <"$work/input" 2>&1 3>&-) ||
    status=$?
  if [ "$status" -ne 0 ]; then
    fail "$1 $2 ended with $status: $out"
    return 1
  fi
  printf '%s\n' "$out"
}

programs=(perch perchctl perch-uci perch-board perch-character)
[ -x "$bin/perch-tray" ] && programs+=(perch-tray)
for program in "${programs[@]}"; do
  [ -x "$bin/$program" ] || { fail "no $bin/$program"; continue; }
  if out=$(answer "$program" --version); then
    [ "$out" = "$program $version" ] || fail "$program --version: $out"
  fi
  for option in --help -h; do
    if out=$(answer "$program" "$option"); then
      head -n 1 <<<"$out" | grep -q "^usage: $program\b" || fail "$program $option: $out"
    fi
  done
done

# Other arguments keep their meaning: a wrong one is still a usage error.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/perch-board" --no-such-option >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "perch-board --no-such-option ended with $status, not 2"

uci=$(printf 'uci\nisready\nquit\n' | timeout 20 "$bin/perch-uci") || fail "perch-uci as an engine failed"
grep -qx "id name Perch $version" <<<"$uci" && grep -qx uciok <<<"$uci" && grep -qx readyok <<<"$uci" ||
  fail "perch-uci without arguments is no UCI engine: $uci"

echo "${#programs[@]} programs checked, $failures failures"
[ "$failures" -eq 0 ]
