#!/usr/bin/env bash
# The whole companion end to end: the real perch and perchctl under a
# private Xvfb, a private runtime folder and a private copy of the program
# folder with a prepared config.ini; real mouse input with xdotool; what
# the screen shows read from screenshots.
#
#   end_to_end.sh BIN_FOLDER CASE
#
# Every wait is bounded. Set PERCH_E2E_SHOTS=folder to keep screenshots.
set -euo pipefail

bin=$(cd "$1" && pwd)
case_name=$2
here=$(cd "$(dirname "$0")" && pwd)
session_prefix=perch-game-e2e
source "$here/../../tools/lib/private-session.sh"
perchctl=$bin/perchctl
perch_pid=""

fail() {
  echo "FAIL ($case_name): $*" >&2
  [ -f "$work/perch.err" ] && { echo "--- perch.err" >&2; tail -20 "$work/perch.err" >&2; }
  [ -f "$work/notices" ] && { echo "--- notices" >&2; cat "$work/notices" >&2; }
  [ -f "$work/shot.png" ] && { echo "--- board" >&2; board_map >&2 || true; }
  keep_shot failed
  exit 1
}


# wait_until SECONDS COMMAND...: true as soon as the command succeeds.
wait_until() {
  local limit=$(($1 * 10))
  shift
  for _ in $(seq 1 "$limit"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

start_companion() {
  cp "$bin/perch" "$prog/perch"
  [ -f "$bin/bird.chr" ] && cp "$bin/bird.chr" "$prog/"
  [ -d "$bin/characters" ] && cp -r "$bin/characters" "$prog/"
  printf '[parameter]\nfirstRun=1\n' >"$prog/config.ini"  # no introduction
  "$perchctl" listen --timeout 300 >"$work/notices" 2>"$work/listen.err" &
  pids+=($!)
  wait_until 5 test -S "$XDG_RUNTIME_DIR/perch/TFrmTuliMain" || fail "the listener did not start"
  "$prog/perch" >"$work/perch.out" 2>"$work/perch.err" &
  perch_pid=$!
  pids+=("$perch_pid")
  expect_notices 40 2 30
}

count_notices() { grep -c "^$1 " "$work/notices" 2>/dev/null || true; }
has_notices() { [ "$(count_notices "$1")" -ge "$2" ]; }
expect_notices() {  # CODE COUNT SECONDS
  wait_until "$3" has_notices "$1" "$2" || fail "expected $2 notice(s) $1, got $(count_notices "$1")"
}
expect_exactly() {  # CODE COUNT
  [ "$(count_notices "$1")" -eq "$2" ] || fail "expected exactly $2 notice(s) $1, got $(count_notices "$1")"
}

expect_ends() {  # SECONDS: perch ends by itself with status 0
  wait_until "$1" bash -c "! kill -0 $perch_pid 2>/dev/null" || fail "perch did not end"
  local status=0
  wait "$perch_pid" || status=$?
  [ "$status" -eq 0 ] || fail "perch ended with status $status"
}

# --- the screen ------------------------------------------------------------

# The form is at (400, 117) during a game; the board's squares start after
# its 24-pixel border, 40 pixels each.
board_x=424
board_y=141

take_shot() { import -window root "$work/shot.png" 2>/dev/null; }
keep_shot() {
  [ -n "${PERCH_E2E_SHOTS:-}" ] && [ -f "$work/shot.png" ] || return 0
  mkdir -p "$PERCH_E2E_SHOTS"
  cp "$work/shot.png" "$PERCH_E2E_SHOTS/game-$case_name-$1.png"
}
board_map() { python3 "$here/screen.py" board "$work/shot.png" "$board_x" "$board_y"; }
region() { python3 "$here/screen.py" region "$work/shot.png" "$@"; }

# square_at NAME -> "file row" (row 0 is rank 8, at the top)
square_col() { echo $(($(printf '%d' "'${1:0:1}") - 97)); }
square_row() { echo $((8 - ${1:1:1})); }
square_center() { echo "$((board_x + $(square_col "$1") * 40 + 20)) $((board_y + $(square_row "$1") * 40 + 20))"; }

# What a square shows: "w", "b" or "." (bare wood).
square_shows() {
  local row col
  row=$(square_row "$1")
  col=$(square_col "$1")
  board_map | sed -n "$((row + 1))p" | cut -c$((col + 1))
}
shows() {  # SQUARE KIND
  take_shot
  [ "$(square_shows "$1")" = "$2" ]
}
expect_shows() {  # SQUARE KIND SECONDS
  wait_until "$3" shows "$1" "$2" || fail "$1 does not show \"$2\" but \"$(square_shows "$1")\""
}

# The starting position, on the squares the bird beside the board cannot
# cover (it stands over the top of files c to f).
start_position_shown() {
  take_shot
  local map
  map=$(board_map)
  [ "$(echo "$map" | sed -n 1p | cut -c1-2,7-8)" = bbbb ] &&
    [ "$(echo "$map" | sed -n 2p | cut -c1-2,7-8)" = bbbb ] &&
    [ "$(echo "$map" | sed -n 4,6p | tr -d '\n')" = "........................" ] &&
    [ "$(echo "$map" | sed -n 7,8p | tr -d '\n')" = wwwwwwwwwwwwwwww ]
}

wood_squares_shown() {
  take_shot
  [ "$(python3 "$here/screen.py" wood "$work/shot.png" $board_x $((board_y + 120)))" = dark ] &&
    [ "$(python3 "$here/screen.py" wood "$work/shot.png" $((board_x + 40)) $((board_y + 120)))" = light ]
}

# The bird's blue in the box where the game puts it, (500, 67).
bird_beside_board() {
  take_shot
  local blue
  blue=$(region 500 67 160 160 | awk '{print $8}')
  awk -v b="$blue" 'BEGIN { exit !(b > 0.10) }'
}

form_off_screen() {
  take_shot
  local lit
  lit=$(region 400 300 369 180 | awk '{print $6}')
  awk -v l="$lit" 'BEGIN { exit !(l < 0.05) }'
}

# The "New" button: enabled when its caption is drawn in black.
new_enabled() {
  take_shot
  local darkest
  darkest=$(region 666 463 33 21 | awk '{print $10}')
  [ "$darkest" -lt 80 ]
}
new_disabled() { ! new_enabled; }

drag() {  # FROM TO: a real drag with the mouse
  local from to
  read -r fx fy <<<"$(square_center "$1")"
  read -r tx ty <<<"$(square_center "$2")"
  xdotool mousemove "$fx" "$fy"
  sleep 0.2
  xdotool mousedown 1
  for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((fx + (tx - fx) * step / 8)) $((fy + (ty - fy) * step / 8))
    sleep 0.04
  done
  sleep 0.1
  xdotool mouseup 1
}
click_at() { xdotool mousemove "$1" "$2" && sleep 0.2 && xdotool click 1; }

game_over_box() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$perch_pid" "" 2>/dev/null); do
    if xprop -id "$w" WM_WINDOW_ROLE 2>/dev/null | grep -q '"perch-game-over"'; then echo "$w"; return 0; fi
  done
  return 1
}

window_places() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$perch_pid" "" 2>/dev/null); do
    xdotool getwindowgeometry "$w" 2>/dev/null | tr '\n' ' '
  done
}
windows_still() {
  local before
  before=$(window_places)
  sleep 0.7
  [ "$before" = "$(window_places)" ]
}

visible_windows() { xdotool search --onlyvisible --pid "$perch_pid" "" 2>/dev/null | wc -l; }
more_windows_than() { [ "$(visible_windows)" -gt "$1" ]; }

# The invitation: the form on screen with a fresh board, the bird beside it.
open_game() {
  "$perchctl" chess || fail "perchctl could not reach the companion"
  wait_until 15 start_position_shown || fail "no board in its starting position at x = 400"
  wood_squares_shown || fail "the squares are not of wood"
  wait_until 15 bird_beside_board || fail "the bird did not come beside the board"
  sleep 1.5  # its "you first"
}

# --- the cases ---------------------------------------------------------------

start_xvfb || fail "no Xvfb display could be started"

case "$case_name" in
  opening)
    start_companion
    open_game
    keep_shot opened
    new_disabled || fail "\"New\" is enabled during the game"
    drag e2 e4
    expect_shows e4 w 10
    expect_shows d5 b 20  # the computer's answer, at depth 1
    shows e2 . || fail "e2 is not empty after the move"
    keep_shot answered
    # The invitation holds its routine open until the quit request.
    sleep 2
    expect_exactly 20 0
    "$perchctl" quit
    expect_notices 20 1 10
    expect_exactly 20 1
    expect_ends 15
    ;;

  mate)
    start_companion
    open_game
    # f3 and g4 invite the queen's mate on h4, which depth 1 finds.
    drag f2 f3
    expect_shows d5 b 20
    drag g2 g4
    expect_shows e5 b 20
    windows=$(visible_windows)
    drag a2 a3
    expect_shows h4 b 20
    # Its comment comes in a balloon before the box.
    wait_until 10 more_windows_than "$windows" || fail "the bird did not comment its mate"
    wait_until 20 game_over_box >/dev/null || fail "no message box after the mate"
    sleep 1.5
    take_shot
    keep_shot mated
    box=$(game_over_box)
    new_disabled || fail "\"New\" was enabled before the box was closed"
    xdotool windowfocus --sync "$box"
    sleep 0.2
    xdotool key Return
    wait_until 10 new_enabled || fail "\"New\" is not enabled after the mate"
    ! grep -q '^perch:' "$work/perch.err" || fail "an error was reported"
    # "New": a fresh board over the old one, and "New" disabled again.
    read -r nx ny <<<"680 473"
    click_at "$nx" "$ny"
    wait_until 10 start_position_shown || fail "\"New\" did not open a fresh board"
    wait_until 10 new_disabled || fail "\"New\" did not disable itself"
    keep_shot new
    expect_exactly 20 0
    "$perchctl" quit
    expect_ends 15
    expect_exactly 20 1
    ;;

  exit_and_click)
    start_companion
    open_game
    click_at 720 473  # "Exit"
    wait_until 10 form_off_screen || fail "\"Exit\" did not hide the form"
    keep_shot exited
    # Its random activity either toured at once (two notices) or waits.
    sleep 1
    before=$(count_notices 20)
    [ "$before" -eq 0 ] || [ "$before" -eq 2 ] || fail "after Exit: $before notices 20"
    # The bird, wherever the activity took it, answers a click.
    # Its window is the one of the program's that shows the bird's blue,
    # once it has stopped flying (the activity may be a tour of the screen).
    wait_until 30 windows_still || fail "the bird did not settle"
    take_shot
    bird=""
    for w in $(xdotool search --onlyvisible --pid "$perch_pid" --name '^Perch$' 2>/dev/null); do
      eval "$(xdotool getwindowgeometry --shell "$w")"
      blue=$(region "$X" "$Y" "$WIDTH" "$HEIGHT" | awk '{print $8}')
      if awk -v b="$blue" 'BEGIN { exit !(b > 0.10) }'; then bird=$w; break; fi
    done
    [ -n "$bird" ] || fail "the bird's window was not found"
    eval "$(xdotool getwindowgeometry --shell "$bird")"
    windows=$(visible_windows)
    click_at $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    expect_notices 41 1 10
    wait_until 10 more_windows_than "$windows" || fail "the bird did not answer the click"
    take_shot
    keep_shot clicked
    # Quit ends the waits: the activity, "Exit" and the invitation report.
    "$perchctl" quit
    expect_ends 15
    expect_exactly 20 3
    expect_exactly 41 1
    ;;

  nested_sleep)
    start_companion
    "$perchctl" sleep
    sleep 3  # inside its 200-second sleep
    "$perchctl" greet
    expect_notices 20 1 20  # the greeting ran at once, inside the sleep
    expect_exactly 20 1
    "$perchctl" quit        # the sleep's wait ends, and it reports too
    expect_notices 20 2 10
    expect_ends 15
    expect_exactly 20 2
    ;;

  *)
    fail "unknown case"
    ;;
esac
echo "ok ($case_name)"
