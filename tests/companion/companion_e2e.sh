#!/usr/bin/env bash
# End-to-end checks of the companion with the real programs: perch (or
# perch-recorded, which records what it asks of the character service) and
# perchctl, in a private session where config.ini lands in the program folder.
#
#   companion_e2e.sh BIN_FOLDER CASE
set -euo pipefail

bin=$(cd "$1" && pwd)
case_name=$2
session_prefix=perch-e2e
source "$(dirname "$0")/e2e_session.sh"

answer_name() {  # TEXT|--cancel: answers the next name dialog
  wait_until 60 found_window perch-name || fail "no name dialog"
  if [ "$1" = --cancel ]; then press "$window" key Escape; else press "$window" type --delay 30 "$1"; xdotool key Return; fi
  wait_until 5 gone "$window" || fail "the name dialog did not close"
}
# A second instance ends at once with status 0, saying so in one line on
# standard error.
second_instance_ends() {
  local status=0
  timeout 10 "$prog/perch" >"$work/second.out" 2>"$work/second.err" || status=$?
  [ "$status" -eq 0 ] && [ ! -s "$work/second.out" ] && [ "$(cat "$work/second.err")" = "Perch is already running" ] ||
    fail "second instance: status $status, $(cat "$work/second.out" "$work/second.err")"
  alive || fail "the first instance is gone"
}

case "$case_name" in
  first_run)
    start_perch perch
    answer_name "  Polly "
    answer_name Ann
    expect_notices 40 2 30
    shot named
    [ "$(cat "$prog/config.ini")" = $'[parameter]\nusername=Ann\nhalname=Polly\nfirstRun=1' ] ||
      fail "config.ini: $(cat "$prog/config.ini")"
    quit_and_end
    ;;
  cancelled_intro)
    start_perch perch
    for _ in 1 2 3 4; do answer_name --cancel; done  # the introduction plays twice
    expect_notices 40 2 30
    [ ! -e "$prog/config.ini" ] || fail "config.ini was written: $(cat "$prog/config.ini")"
    quit_and_end
    ;;
  later_start)
    start_perch perch later
    expect_notices 40 2 20
    ! wait_until 2 found_window perch-name || fail "a later start asked for a name"
    second_instance_ends
    windows=$(visible_windows)  # nothing has spoken yet
    "$perchctl" say "Hello there"
    wait_until 10 more_windows_than "$windows" || fail "no balloon appeared for the text"
    shot balloon
    expect_answers
    "$perchctl" request 6  # 6 and 23 do nothing
    "$perchctl" request 23
    "$perchctl" chinese
    "$perchctl" say "你好"
    "$perchctl" english
    expect_answers
    [ "$(wc -l <"$work/notices")" -eq 4 ] || fail "requests 6 or 23 caused a notice"
    quit_and_end
    ;;
  quit_during_wait)
    start_perch perch
    sleep 2  # well inside the introduction's first wait
    quit_and_end
    expect_exactly 40 1 5  # the introduction did not run again
    [ ! -e "$prog/config.ini" ] || fail "config.ini was written"
    ;;
  broken_character)
    install_program perch later
    echo "this is not a character" >"$prog/bird.chr"
    start_perch
    wait_until 20 perch_windows --name '^Perch$' >/dev/null || fail "no error box for the broken character"
    grep -q '^perch: ' "$work/perch.err" || fail "the error was not reported"
    shot errorbox
    expect_answers  # while the box is open
    press "$(perch_windows --name '^Perch$' | head -1)" key Return
    expect_notices 40 1 20
    "$perchctl" say "hello"
    expect_answers
    quit_and_end
    ;;
  fuzz | recorded_fuzz)
    if [ "$case_name" = fuzz ]; then start_perch perch later; else start_perch perch-recorded later; fi
    expect_notices 40 2 20
    expect_answers
    before=$(rss_kb)
    python3 "$(dirname "$0")/link_fuzz.py" 12000 >"$work/fuzz.out" || fail "the fuzzer lost the companion"
    alive || fail "perch died under the fuzz"
    expect_answers
    expect_rss_near "$before" "after the fuzz"
    quit_and_end 20
    ;;
  flood)
    # A flood of long texts: the latest wins, a new text shows at once, and
    # the memory the flood took is given back.
    start_perch perch later
    expect_notices 40 2 20
    "$perchctl" say "warming up" && expect_answers
    before=$(rss_kb)
    python3 "$(dirname "$0")/link_flood.py" texts 200 60 || fail "the flood lost the companion"
    marker="marker $$"
    "$perchctl" say "$marker"
    wait_until 5 perch_windows --name "^$marker\$" >/dev/null || fail "the marker's balloon did not show within 5 s"
    sleep 20
    expect_rss_near "$before" "20 s after the flood"
    expect_answers
    quit_and_end
    ;;
  nested_sleeps)
    # 40 sleeps at once: 32 run nested, the 8 past the bound report at once.
    start_perch perch-recorded later
    expect_notices 40 2 20
    python3 "$(dirname "$0")/link_flood.py" requests 2 40
    expect_exactly 20 8 15
    [ "$(grep -c 'routines are running nested' "$work/perch.err")" -eq 1 ] || fail "the drop was not told once"
    quit_and_end 30  # the nested sleeps end with their own notices, more at once than a link queue holds
    ;;
  slow_listener)
    # 200 sleeps at once to a controller that reads a notice every 20 ms:
    # 32 run nested, 168 are answered at once, and the nested ones end at
    # the quit; the link's queue holds about ten, yet every notice arrives.
    install_program perch-recorded later
    python3 "$(dirname "$0")/slow_listener.py" "$work/notices" 0.02 120 &
    pids+=($!)
    wait_until 5 test -S "$XDG_RUNTIME_DIR/perch/TFrmTuliMain" || fail "the listener did not start"
    "$prog/perch" >"$work/perch.out" 2>"$work/perch.err" &
    perch_pid=$!
    pids+=("$perch_pid")
    expect_notices 40 2 20
    python3 "$(dirname "$0")/link_flood.py" requests 2 200
    expect_exactly 20 168 30
    "$perchctl" quit
    wait_until 30 eval '! alive' || fail "perch did not end"
    expect_exactly 20 200 30
    ;;
  recorded_requests)
    install_program perch-recorded later
    export PERCH_RECORDING_AGENT_LOG=$work/calls
    # Without any display, a plain message and status 1 before Qt starts.
    status=0
    env -u DISPLAY "$prog/perch" 2>"$work/nodisplay.err" || status=$?
    [ "$status" -eq 1 ] && grep -q "no display" "$work/nodisplay.err" || fail "no-display start: status $status"
    start_perch
    expect_notices 40 2 20
    # A later start places and shows the bird and says nothing.
    ! grep -qE '^(Speak|Play|MoveTo)' "$work/calls" || fail "a later start said: $(cat "$work/calls")"
    grep -qx 'Show 0' "$work/calls" || fail "the bird was not shown"
    second_instance_ends
    : >"$work/calls"
    for command in chinese "say 你好" english "say Hello there" "request 6" "request 23"; do "$perchctl" $command; done
    "$perchctl" say ""
    expect_answers  # the link keeps the order: everything before it is done
    expected=$'LanguageID 2052\nStopAll play\nSpeak 你好 [2052]\nLanguageID 1033\nStopAll play\nSpeak Hello there [1033]'
    expected+=$'\nStopAll play\nStopAll play\nPlay Wave'  # the empty text is not spoken; then the greeting
    [ "$(head -n 9 "$work/calls")" = "$expected" ] || fail "calls were: $(cat "$work/calls")"
    [ "$(wc -l <"$work/notices")" -eq 3 ] || fail "requests 6 or 23 caused a notice"
    quit_and_end
    ;;
  recorded_pointer)
    # A pointer that comes near the bird and stays is looked at, once; one
    # that goes onto the bird (to click it) is not.
    install_program perch-recorded later
    export PERCH_RECORDING_AGENT_LOG=$work/calls
    start_perch
    expect_notices 40 2 20
    left=$(sed -n 's/^Left //p' "$work/calls" | tail -1) top=$(sed -n 's/^Top //p' "$work/calls" | tail -1)
    [ -n "$left" ] && [ -n "$top" ] || fail "the bird was not placed: $(cat "$work/calls")"
    xdotool mousemove 0 1000
    sleep 1
    : >"$work/calls"
    xdotool mousemove $((left + 100)) $((top + 90))  # onto the bird
    sleep 2
    ! grep -q '^Play Look' "$work/calls" || fail "a pointer on the bird was looked at: $(cat "$work/calls")"
    xdotool mousemove 0 1000
    sleep 1
    xdotool mousemove $((left - 80)) $((top + 90))  # 80 left of it
    wait_until 5 grep -qx 'Play LookLeft' "$work/calls" || fail "the bird did not look at the pointer: $(cat "$work/calls")"
    sleep 2
    [ "$(grep -c '^Play Look' "$work/calls")" -eq 1 ] || fail "looked more than once: $(cat "$work/calls")"
    quit_and_end
    ;;
  recorded_language)
    # The mode of config.ini from the first line on: the introduction and its
    # name dialogs (Qt's buttons too) in Chinese, the names as typed.
    install_program perch-recorded
    printf '[parameter]\nlanguage=chinese\n' >"$prog/config.ini"
    export PERCH_RECORDING_AGENT_LOG=$work/calls
    start_perch
    wait_until 60 found_window perch-name || fail "no name dialog"
    shot chinese-name-dialog
    answer_name Polly
    answer_name "Ann Lee"
    expect_notices 40 1 30
    said() { sed -n 's/^Speak \(.*\) \[[0-9]*\]$/\1/p' "$work/calls"; }
    [ "$(grep -c '^Speak ' "$work/calls")" -eq 12 ] || fail "the introduction said: $(cat "$work/calls")"
    ! grep '^Speak ' "$work/calls" | grep -qv '\[2052\]$' || fail "not all in the Chinese voice: $(cat "$work/calls")"
    ! said | sed 's/Polly//; s/Ann Lee//' | grep -q '[A-Za-z]' || fail "a Latin word: $(said)"
    said | grep -q 'Ann Lee' || fail "the name was not kept: $(said)"
    # At run time: the next lines in the new mode, kept in config.ini; an
    # unknown mode is refused before anything is posted.
    : >"$work/calls"
    "$perchctl" language english
    expect_answers
    grep -qx 'Speak Busy? How about a chat? Or a game of chess? Is there anything I can help you with? \[1033\]' \
      "$work/calls" || fail "the greeting in English: $(cat "$work/calls")"
    grep -qx 'language=english' "$prog/config.ini" || fail "config.ini: $(cat "$prog/config.ini")"
    status=0
    "$perchctl" language klingon 2>"$work/language.err" || status=$?
    [ "$status" -eq 2 ] || fail "perchctl language klingon: status $status"
    : >"$work/calls"
    "$perchctl" language written
    expect_answers
    grep -qx 'Speak 忙吗？和我聊天吧？下棋也可以。有什么事情我可以帮忙的？ \[2052\]' "$work/calls" ||
      fail "the greeting as written: $(cat "$work/calls")"
    quit_and_end
    ;;
  *) fail "unknown case" ;;
esac
echo "ok ($case_name)"
