#!/usr/bin/env bash
# The whole companion end to end: the real perch and perchctl in a private
# session after a completed first run; real mouse input with xdotool; what
# the screen shows read from screenshots.
#
#   game_e2e.sh BIN_FOLDER CASE
set -euo pipefail

bin=$(cd "$1" && pwd)
case_name=$2
here=$(cd "$(dirname "$0")" && pwd)
session_prefix=perch-game-e2e
source "$here/../e2e_session.sh"

# The form is at (400, 117) during a game; the board's squares start after
# its 24-pixel border, 40 pixels each.
board_x=424
board_y=141
take_shot() { import -window root "$work/shot.png" 2>/dev/null; }
read_shot() { python3 "$here/screen.py" "$1" "$work/shot.png" "${@:2}"; }
on_failure() { if [ -f "$work/shot.png" ]; then echo "--- board"; read_shot board $board_x $board_y; fi; }
# region_has X Y W H lit|blue|darkest OP VALUE, on a new screenshot
region_has() {
  take_shot
  read_shot region "$1" "$2" "$3" "$4" | awk -v what="$5" -v op="$6" -v v="$7" '{
    for (i = 1; i < NF; i += 2) if ($i == what) x = $(i + 1)
    exit !(op == "<" ? x < v : x > v) }'
}

col() { echo $(($(printf '%d' "'${1:0:1}") - 97)); }  # of a square: a..h as 0..7
row() { echo $((8 - ${1:1:1})); }                     # and rank 8..1 as 0..7
square_center() { echo "$((board_x + $(col "$1") * 40 + 20)) $((board_y + $(row "$1") * 40 + 20))"; }
shows() {  # SQUARE KIND: the square shows "w", "b" or "." (bare wood)
  take_shot
  [ "$(read_shot board $board_x $board_y | sed -n "$(($(row "$1") + 1))p" | cut -c$(($(col "$1") + 1)))" = "$2" ]
}
expect_shows() { wait_until "$3" shows "$1" "$2" || fail "$1 does not show \"$2\""; }  # SQUARE KIND SECONDS

# The starting position, every square of it: the bird stands beside the
# board, not over it.
start_position_shown() {
  take_shot
  local map
  map=$(read_shot board $board_x $board_y | tr -d '\n')
  [ "${map:0:16}" = bbbbbbbbbbbbbbbb ] && [ "${map:16:32}" = "................................" ] &&
    [ "${map:48:16}" = wwwwwwwwwwwwwwww ]
}
wood_squares_shown() {
  take_shot
  [ "$(read_shot wood $board_x $((board_y + 120)))" = dark ] && [ "$(read_shot wood $((board_x + 40)) $((board_y + 120)))" = light ]
}
new_enabled() { region_has 666 463 33 21 darkest '<' 80; }  # its caption drawn in black
new_disabled() { ! new_enabled; }

drag() {  # FROM TO: a real drag with the mouse
  read -r fx fy <<<"$(square_center "$1")"
  read -r tx ty <<<"$(square_center "$2")"
  xdotool mousemove "$fx" "$fy" sleep 0.2 mousedown 1
  for step in 1 2 3 4 5 6 7 8; do xdotool mousemove $((fx + (tx - fx) * step / 8)) $((fy + (ty - fy) * step / 8)) sleep 0.04; done
  xdotool sleep 0.1 mouseup 1
}
click_at() { xdotool mousemove "$1" "$2" sleep 0.2 click 1; }
window_places() { for w in $(perch_windows); do xdotool getwindowgeometry "$w" 2>/dev/null | tr '\n' ' '; done; }
windows_still() { local before; before=$(window_places); sleep 0.7; [ "$before" = "$(window_places)" ]; }

# The invitation: the form on screen with a fresh board, the bird beside it.
open_game() {
  start_perch perch later
  expect_notices 40 2 30
  "$perchctl" chess || fail "perchctl could not reach the companion"
  wait_until 15 start_position_shown || fail "no board in its starting position at x = 400"
  wait_until 10 wood_squares_shown || fail "the squares are not of wood"
  # Right of the 369-pixel window (no frame without a window manager).
  wait_until 15 region_has 777 67 200 184 blue '>' 0.10 || fail "the bird did not come beside the board"
  sleep 1.5  # its "you first"
  shot opened
}

case "$case_name" in
  opening)
    open_game
    new_disabled || fail "\"New\" is enabled during the game"
    drag e2 e4
    expect_shows e4 w 10
    expect_shows d5 b 20  # the computer's answer, at depth 1
    shows e2 . || fail "e2 is not empty after the move"
    sleep 2
    expect_exactly 20 0  # the invitation holds its routine open until the quit request
    quit_and_end 15
    expect_exactly 20 1 5
    ;;
  mate)
    open_game
    # f3 and g4 invite the queen's mate on h4, which depth 1 finds.
    drag f2 f3
    expect_shows d5 b 20
    drag g2 g4
    expect_shows e5 b 20
    windows=$(visible_windows)
    drag a2 a3
    expect_shows h4 b 20
    wait_until 10 more_windows_than "$windows" || fail "the bird did not comment its mate"  # in a balloon
    wait_until 20 found_window perch-game-over || fail "no message box after the mate"
    sleep 1.5
    shot mated
    new_disabled || fail "\"New\" was enabled before the box was closed"
    press "$window" key Return
    wait_until 10 new_enabled || fail "\"New\" is not enabled after the mate"
    ! grep -q '^perch:' "$work/perch.err" || fail "an error was reported"
    click_at 680 473  # "New": a fresh board over the old one, "New" disabled again
    wait_until 10 start_position_shown || fail "\"New\" did not open a fresh board"
    wait_until 10 new_disabled || fail "\"New\" did not disable itself"
    expect_exactly 20 0
    quit_and_end 15
    expect_exactly 20 1 5
    ;;
  exit_and_click)
    open_game
    click_at 720 473  # "Exit"
    wait_until 10 region_has 400 300 369 180 lit '<' 0.05 || fail "\"Exit\" did not hide the form"
    # Its random activity either toured at once (two notices) or waits.
    sleep 1
    before=$(count_notices 20)
    [ "$before" -eq 0 ] || [ "$before" -eq 2 ] || fail "after Exit: $before notices 20"
    # The bird, wherever the activity took it, answers a click: its window is
    # the one that shows the bird's blue once it stopped flying.
    wait_until 30 windows_still || fail "the bird did not settle"
    bird=""
    find_bird() {
      local w
      for w in $(perch_windows --name '^Perch$'); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        if region_has "$X" "$Y" "$WIDTH" "$HEIGHT" blue '>' 0.10; then bird=$w; return 0; fi
      done
      return 1
    }
    wait_until 15 find_bird || fail "the bird's window was not found"
    click_at $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    expect_notices 41 1 10
    # Its balloon (titled with its line) shows one of the four answers; the
    # balloon may still be up from "你先~~" when Exit came early.
    answered_click() {
      perch_windows --name '^(Yes|May I help you\?|I am here!|What can I do for you\?|Do not bother me!)$' | grep -q .
    }
    wait_until 10 answered_click || fail "the bird did not answer the click"
    shot clicked
    quit_and_end 15  # it ends the waits: the activity, "Exit" and the invitation report
    expect_exactly 20 3 5
    expect_exactly 41 1
    ;;
  nested_sleep)
    start_perch perch later
    expect_notices 40 2 30
    "$perchctl" sleep
    sleep 3  # inside its 200-second sleep
    "$perchctl" greet
    expect_exactly 20 1 20  # the greeting ran at once, inside the sleep
    quit_and_end 15  # the sleep's wait ends, and it reports too
    expect_exactly 20 2 5
    ;;
  *) fail "unknown case" ;;
esac
echo "ok ($case_name)"
