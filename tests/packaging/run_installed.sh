#!/usr/bin/env bash
# Runs the programs of an installed (or unpacked) Perch from their folder, in
# a private session with its own Xvfb: the engine answers with its version,
# the companion starts (notice 40 twice, as after every start), keeps its
# settings in the user's config folder and ends on request.
#
#   run_installed.sh BIN-FOLDER VERSION
set -euo pipefail
bin=$1 version=$2
session_prefix=perch-installed
source "$(dirname "$0")/../../tools/lib/private-session.sh"
fail() {
  echo "FAIL: $*" >&2
  for f in "$work"/*.log "$work/notices"; do [ -f "$f" ] && { echo "--- $f"; tail -20 "$f"; } >&2; done
  exit 1
}
wait_until() {  # SECONDS COMMAND...
  local i
  for ((i = 0; i < $1 * 10; i++)); do "${@:2}" && return 0; sleep 0.1; done
  return 1
}

uci=$(printf 'uci\nisready\nquit\n' | "$bin/perch-uci")
grep -qx "id name Perch $version" <<<"$uci" && grep -qx uciok <<<"$uci" && grep -qx readyok <<<"$uci" ||
  fail "perch-uci: $uci"

start_xvfb || fail "no Xvfb"
# A completed first run, so the companion needs no names typed in.
mkdir -p "$XDG_CONFIG_HOME/perch"
printf '[parameter]\nfirstRun=1\n' >"$XDG_CONFIG_HOME/perch/config.ini"
"$bin/perchctl" listen --count 2 --timeout 120 >"$work/notices" 2>"$work/listen.log" &
listener=$!
pids+=("$listener")
wait_until 10 test -S "$XDG_RUNTIME_DIR/perch/TFrmTuliMain" || fail "the listener did not start"
"$bin/perch" >"$work/perch.log" 2>&1 &
perch=$!
pids+=("$perch")
wait "$listener" || fail "no two notices from perch"
[ "$(grep -c '^40 ' "$work/notices")" -eq 2 ] || fail "expected notice 40 twice"

"$bin/perchctl" quit
wait_until 30 eval '! kill -0 $perch 2>/dev/null' || fail "perch did not end on quit"
wait "$perch" || fail "perch ended with an error"
[ ! -e "$bin/config.ini" ] || fail "settings written beside the installed program"
grep -qx 'firstRun=1' "$XDG_CONFIG_HOME/perch/config.ini" || fail "the settings in the config folder were lost"
echo "run_installed: $bin runs"
