# Sourced by the end-to-end scripts of the companion and of the game once
# they set bin, case_name and session_prefix: the private session of
# tools/lib/private-session.sh with its own Xvfb, and the steps their cases
# share. Every wait is bounded. Set PERCH_E2E_SHOTS=folder to keep screenshots.

source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/private-session.sh"
perchctl=$bin/perchctl
perch_pid=""

fail() {
  echo "FAIL ($case_name): $*" >&2
  for f in "$work"/perch*.err "$work/notices"; do
    if [ -f "$f" ]; then echo "--- $f" >&2; tail -20 "$f" >&2; fi
  done
  if declare -F on_failure >/dev/null; then on_failure >&2 || true; fi
  shot failed
  exit 1
}
shot() {  # NAME: a screenshot kept in $PERCH_E2E_SHOTS
  [ -z "${PERCH_E2E_SHOTS:-}" ] || { mkdir -p "$PERCH_E2E_SHOTS" && import -window root "$PERCH_E2E_SHOTS/$case_name-$1.png"; } || true
}
# wait_until SECONDS COMMAND...: true as soon as the command succeeds.
wait_until() {
  local i
  for ((i = 0; i < $1 * 10; i++)); do "${@:2}" && return 0; sleep 0.1; done
  return 1
}

# The program folder: perch (or another program under that name) and the
# character file beside it; with "later" a config.ini of a completed first run.
install_program() {  # PROGRAM [later]
  cp "$bin/$1" "$prog/perch"
  if [ -f "$bin/bird.chr" ]; then cp "$bin/bird.chr" "$prog/"; fi
  if [ -d "$bin/characters" ]; then cp -r "$bin/characters" "$prog/"; fi
  if [ "${2:-}" = later ]; then printf '[parameter]\nfirstRun=1\n' >"$prog/config.ini"; fi
}
# The listener of the controller's notices, then perch, installed first when
# asked for.
start_perch() {  # [PROGRAM [later]]
  if [ $# -gt 0 ]; then install_program "$@"; fi
  "$perchctl" listen --timeout 300 >"$work/notices" 2>"$work/listen.err" &
  pids+=($!)
  wait_until 5 test -S "$XDG_RUNTIME_DIR/perch/TFrmTuliMain" || fail "the listener did not start"
  "$prog/perch" >"$work/perch.out" 2>"$work/perch.err" &
  perch_pid=$!
  pids+=("$perch_pid")
  wait_until 20 test -S "$XDG_RUNTIME_DIR/perch/TActor" || fail "perch did not bind its window"
}
alive() { kill -0 "$perch_pid" 2>/dev/null; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$perch_pid/status"; }
# expect_rss_near KB WHAT: the resident memory is at most 20 MB above KB.
expect_rss_near() {
  local now
  # grep reads all of ldd's output: with -q it could end the pipe early.
  if ldd "$prog/perch" 2>/dev/null | grep libasan >/dev/null; then
    echo "resident memory $2: not measured, AddressSanitizer holds freed memory back" >&2
    return 0
  fi
  now=$(rss_kb)
  echo "resident memory $2: $1 kB before, $now kB after" >&2
  [ "$now" -le $(($1 + 20480)) ] || fail "$2: resident memory grew from $1 kB to $now kB"
}
quit_and_end() {  # [SECONDS]: perch ends on the quit request, with status 0
  "$perchctl" quit
  wait_until "${1:-10}" eval '! alive' || fail "perch did not end"
  local status=0
  wait "$perch_pid" || status=$?
  [ "$status" -eq 0 ] || fail "perch ended with status $status"
}

count_notices() { grep -c "^$1 " "$work/notices" 2>/dev/null || true; }
has_notices() { [ "$(count_notices "$1")" -ge "$2" ]; }
expect_notices() {  # CODE COUNT SECONDS
  wait_until "$3" has_notices "$1" "$2" || fail "expected $2 notice(s) $1, got $(count_notices "$1")"
}
expect_exactly() {  # CODE COUNT [SECONDS to wait for them first]
  [ -z "${3:-}" ] || wait_until "$3" has_notices "$1" "$2" || true
  [ "$(count_notices "$1")" -eq "$2" ] || fail "expected exactly $2 notice(s) $1, got $(count_notices "$1")"
}
# A greeting (the shortest routine) and its notice 20: the companion answers.
expect_answers() {
  local before
  before=$(count_notices 20)
  "$perchctl" greet || fail "perchctl could not reach the companion"
  expect_notices 20 $((before + 1)) 60  # generous: a loaded machine runs it slowly
}

perch_windows() { xdotool search --onlyvisible --pid "$perch_pid" "${@:-}" 2>/dev/null; }  # [--name REGEX]
visible_windows() { perch_windows | wc -l; }
more_windows_than() { [ "$(visible_windows)" -gt "$1" ]; }
# found_window ROLE: sets window to the visible window of perch with that role.
found_window() {
  for window in $(perch_windows); do
    xprop -id "$window" WM_WINDOW_ROLE 2>/dev/null | grep -q "\"$1\"" && return 0
  done
  return 1
}
gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
press() {  # WINDOW XDOTOOL-COMMAND...: into the focused window
  xdotool windowfocus --sync "$1"
  sleep 0.2
  xdotool "${@:2}"
}

start_xvfb || fail "no Xvfb display could be started"
