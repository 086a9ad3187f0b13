#!/usr/bin/env bash
# End-to-end checks of the companion with the real programs: perch (or
# perch-recorded, which records what it asks of the character service) and
# perchctl, under a private Xvfb, a private runtime folder and a private copy
# of the program folder, where config.ini lands.
#
#   end_to_end.sh BIN_FOLDER CASE
#
# Every wait is bounded. Set PERCH_E2E_SHOTS=folder to keep screenshots.
set -euo pipefail

bin=$(cd "$1" && pwd)
case_name=$2
session_prefix=perch-e2e
source "$(dirname "$0")/../../tools/lib/private-session.sh"
perchctl=$bin/perchctl

fail() {
  echo "FAIL ($case_name): $*" >&2
  for f in "$work"/perch*.err; do [ -f "$f" ] && { echo "--- $f" >&2; tail -20 "$f" >&2; }; done
  [ -f "$work/notices" ] && { echo "--- notices" >&2; cat "$work/notices" >&2; }
  exit 1
}


# The program folder: perch (or the recording one under that name) and the
# character file beside it.
install_program() {
  cp "$bin/$1" "$prog/perch"
  [ -f "$bin/bird.chr" ] && cp "$bin/bird.chr" "$prog/"
  [ -d "$bin/characters" ] && cp -r "$bin/characters" "$prog/"
  return 0
}

completed_first_run() { printf '[parameter]\nfirstRun=1\n' >"$prog/config.ini"; }

start_listener() {
  "$perchctl" listen --timeout 220 >"$work/notices" 2>"$work/listen.err" &
  pids+=($!)
  wait_until 5 test -S "$XDG_RUNTIME_DIR/perch/TFrmTuliMain" || fail "the listener did not start"
}

start_perch() {
  "$prog/perch" >"$work/perch.out" 2>"$work/perch.err" &
  perch_pid=$!
  pids+=("$perch_pid")
  wait_until 20 test -S "$XDG_RUNTIME_DIR/perch/TActor" || fail "perch did not bind its window"
}

# wait_until SECONDS COMMAND...: true as soon as the command succeeds.
wait_until() {
  local limit=$(( $1 * 10 )); shift
  for _ in $(seq 1 "$limit"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

count_notices() { grep -c "^$1 " "$work/notices" 2>/dev/null || true; }
has_notices() { [ "$(count_notices "$1")" -ge "$2" ]; }
expect_notices() {  # CODE COUNT SECONDS
  wait_until "$3" has_notices "$1" "$2" || fail "expected $2 notice(s) $1, got $(count_notices "$1")"
}

# The visible name dialog of the companion, found by its window role.
find_name_dialog() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$perch_pid" "" 2>/dev/null); do
    if xprop -id "$w" WM_WINDOW_ROLE 2>/dev/null | grep -q '"perch-name"'; then echo "$w"; return 0; fi
  done
  return 1
}
wait_name_dialog() {  # SECONDS -> prints the window
  local w
  for _ in $(seq 1 $(( $1 * 10 ))); do
    if w=$(find_name_dialog); then echo "$w"; return 0; fi
    sleep 0.1
  done
  return 1
}
gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1 || ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
answer_dialog() {  # WINDOW TEXT|--cancel
  xdotool windowfocus --sync "$1"
  sleep 0.2
  if [ "$2" = --cancel ]; then
    xdotool key Escape
  else
    xdotool type --delay 30 "$2"
    xdotool key Return
  fi
  wait_until 5 gone "$1" || fail "the dialog did not close"
}

shot() {
  [ -n "${PERCH_E2E_SHOTS:-}" ] || return 0
  mkdir -p "$PERCH_E2E_SHOTS"
  import -window root "$PERCH_E2E_SHOTS/$case_name-$1.png" 2>/dev/null || true
}

alive() { kill -0 "$perch_pid" 2>/dev/null; }
expect_ends() {  # SECONDS: perch ends by itself with status 0
  wait_until "$1" bash -c "! kill -0 $perch_pid 2>/dev/null" || fail "perch did not end"
  local status=0
  wait "$perch_pid" || status=$?
  [ "$status" -eq 0 ] || fail "perch ended with status $status"
}

# A request and its notice 20 show that the companion still answers. The
# greeting is the shortest routine (a few seconds).
expect_answers() {
  local before
  before=$(count_notices 20)
  "$perchctl" greet || fail "perchctl could not reach the companion"
  expect_notices 20 $((before + 1)) 20
}

visible_windows() { xdotool search --onlyvisible --pid "$perch_pid" "" 2>/dev/null | wc -l; }

start_xvfb || fail "no Xvfb display could be started"

case "$case_name" in
  first_run)
    install_program perch
    start_listener
    start_perch
    w=$(wait_name_dialog 60) || fail "no dialog for the character's name"
    shot dialog
    answer_dialog "$w" "  Polly "
    w=$(wait_name_dialog 30) || fail "no dialog for the user's name"
    answer_dialog "$w" "Ann"
    expect_notices 40 2 30
    shot done
    grep -qx 'username=Ann' "$prog/config.ini" || fail "username not stored"
    grep -qx 'halname=Polly' "$prog/config.ini" || fail "halname not stored"
    grep -qx 'firstRun=1' "$prog/config.ini" || fail "firstRun not stored"
    grep -qx '\[parameter\]' "$prog/config.ini" || fail "no section parameter"
    "$perchctl" quit
    expect_ends 10
    ;;

  cancelled_intro)
    install_program perch
    start_listener
    start_perch
    for which in 1 2 3 4; do  # the introduction plays twice
      w=$(wait_name_dialog 60) || fail "no dialog $which"
      answer_dialog "$w" --cancel
    done
    expect_notices 40 2 30
    [ ! -e "$prog/config.ini" ] || fail "config.ini was written: $(cat "$prog/config.ini")"
    "$perchctl" quit
    expect_ends 10
    ;;

  later_start)
    install_program perch
    completed_first_run
    start_listener
    start_perch
    expect_notices 40 2 20
    ! wait_name_dialog 2 >/dev/null || fail "a later start asked for a name"
    # A second instance ends at once, silently, with status 0.
    status=0
    timeout 10 "$prog/perch" >"$work/second.out" 2>&1 || status=$?
    [ "$status" -eq 0 ] || fail "the second instance ended with status $status"
    [ ! -s "$work/second.out" ] || fail "the second instance said: $(cat "$work/second.out")"
    alive || fail "the first instance is gone"
    # A text is spoken in a balloon (nothing else has spoken yet).
    before=$(visible_windows)
    "$perchctl" say "Hello there"
    wait_until 10 bash -c "[ \$(xdotool search --onlyvisible --pid $perch_pid '' 2>/dev/null | wc -l) -gt $before ]" ||
      fail "no balloon appeared for the text"
    shot balloon
    expect_answers
    # Requests 6 and 23 do nothing.
    "$perchctl" request 6
    "$perchctl" request 23
    sleep 1.5
    [ "$(wc -l <"$work/notices")" -eq 3 ] || fail "requests 6 or 23 caused a notice"
    "$perchctl" chinese
    "$perchctl" say "你好"
    "$perchctl" english
    expect_answers
    "$perchctl" quit
    expect_ends 10
    ;;

  quit_during_wait)
    install_program perch
    start_listener
    start_perch
    sleep 2  # well inside the introduction's first wait
    "$perchctl" quit
    expect_ends 10
    expect_notices 40 1 5
    [ "$(count_notices 40)" -eq 1 ] || fail "the introduction ran again after quit"
    [ ! -e "$prog/config.ini" ] || fail "config.ini was written"
    ;;

  broken_character)
    install_program perch
    completed_first_run
    echo "this is not a character" >"$prog/bird.chr"
    start_listener
    start_perch
    wait_until 20 bash -c "xdotool search --onlyvisible --pid $perch_pid --name '^Perch\$' >/dev/null 2>&1" ||
      fail "no error box for the broken character"
    shot errorbox
    expect_answers  # while the box is open
    box=$(xdotool search --onlyvisible --pid "$perch_pid" --name '^Perch$' | head -1)
    xdotool windowfocus --sync "$box"
    sleep 0.2
    xdotool key Return
    expect_notices 40 1 20
    "$perchctl" say "hello"
    expect_answers
    "$perchctl" quit
    expect_ends 10
    ;;

  fuzz | recorded_fuzz)
    if [ "$case_name" = fuzz ]; then install_program perch; else install_program perch-recorded; fi
    completed_first_run
    start_listener
    start_perch
    expect_notices 40 2 20
    "$bin/perch-link-fuzz" 12000 >"$work/fuzz.out" || fail "the fuzzer lost the companion"
    alive || fail "perch died under the fuzz"
    expect_answers
    "$perchctl" quit
    expect_ends 20
    ;;

  recorded_requests)
    install_program perch-recorded
    completed_first_run
    export PERCH_RECORDING_AGENT_LOG=$work/calls
    # Without any display, a plain message and status 1 before Qt starts.
    status=0
    env -u DISPLAY "$prog/perch" 2>"$work/nodisplay.err" || status=$?
    [ "$status" -eq 1 ] && grep -q "no display" "$work/nodisplay.err" || fail "no-display start: status $status"

    start_listener
    start_perch
    expect_notices 40 2 20
    # A later start places and shows the bird and says nothing.
    ! grep -qE '^(Speak|Play|MoveTo)' "$work/calls" || fail "a later start said: $(cat "$work/calls")"
    grep -qx 'Show 0' "$work/calls" || fail "the bird was not shown"
    status=0
    timeout 10 "$prog/perch" || status=$?
    [ "$status" -eq 0 ] || fail "the second instance ended with status $status"
    : >"$work/calls"
    "$perchctl" chinese
    "$perchctl" say "你好"
    "$perchctl" english
    "$perchctl" say Hello there
    "$perchctl" request 6
    "$perchctl" request 23
    "$perchctl" say ""
    expect_answers  # the link keeps the order: everything before it is done
    expected=$'LanguageID 2052\nStopAll play\nSpeak 你好 [2052]\nLanguageID 1033\nStopAll play\nSpeak Hello there [1033]\nStopAll play'
    [ "$(head -n 7 "$work/calls")" = "$expected" ] || fail "calls were: $(cat "$work/calls")"
    [ "$(wc -l <"$work/notices")" -eq 3 ] || fail "requests 6 or 23 caused a notice"
    "$perchctl" quit
    expect_ends 10
    ;;

  *)
    fail "unknown case"
    ;;
esac
echo "ok ($case_name)"
