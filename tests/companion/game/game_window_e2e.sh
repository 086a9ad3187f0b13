#!/usr/bin/env bash
# The game window end to end under Xvfb with openbox: the real perch after a
# completed first run, its board moved by clicks (the option set in
# config.ini), Ctrl+Z, a hint, resigning and playing Black through the
# menus' keys. What the board shows is read from screenshots.
#
#   game_window_e2e.sh BIN_FOLDER
set -euo pipefail

bin=$(cd "$1" && pwd)
case_name=game_window
here=$(cd "$(dirname "$0")" && pwd)
session_prefix=perch-game-window-e2e
source "$here/../e2e_session.sh"

take_shot() { import -window root "$work/shot.png" 2>/dev/null; }
# The 64 squares of the board as one average colour each, row by row from
# the top of the screen.
squares() {
  take_shot
  convert "$work/shot.png" -crop "320x320+$board_x+$board_y" +repage -scale 8x8 txt:- | tail -n +2 | awk '{print $3}'
}
# The squares' pixels, exactly.
board_pixels() { take_shot; convert "$work/shot.png" -crop "320x320+$board_x+$board_y" +repage rgb:- | md5sum; }
changed_squares() {  # BEFORE: the indexes (0 = a8) of the squares that differ now
  paste <(echo "$1") <(squares) | awk '$1 != $2 {print NR - 1}'
}
square_center() {  # SQUARE: its centre on the screen
  local col=$(($(printf '%d' "'${1:0:1}") - 97)) row=$((8 - ${1:1:1}))
  echo "$((board_x + col * 40 + 20)) $((board_y + row * 40 + 20))"
}
click_square() {
  read -r x y <<<"$(square_center "$1")"
  xdotool mousemove "$x" "$y" sleep 0.2 click 1 sleep 0.2
}
keys() { xdotool windowactivate --sync "$form" 2>/dev/null || true; sleep 0.3; xdotool key --clearmodifiers "$@"; }
keep_shot() { [ -z "${PERCH_GAME_SHOTS:-}" ] || { mkdir -p "$PERCH_GAME_SHOTS" && cp "$work/shot.png" "$PERCH_GAME_SHOTS/game-$1.png"; }; }

openbox --sm-disable >"$work/wm.log" 2>&1 &
pids+=($!)
sleep 1
install_program perch later
printf '[chess]\nclickMoves=1\n' >>"$prog/config.ini"
start_perch
expect_notices 40 2 30
"$perchctl" chess || fail "perchctl could not reach the companion"
form=""
game_form() {
  form=""
  for w in $(perch_windows); do
    xprop -id "$w" WM_WINDOW_ROLE 2>/dev/null | grep -q '"perch-game"' && form=$w && return 0
  done
  return 1
}
wait_until 20 game_form || fail "the game's window did not show"
sleep 2
eval "$(xwininfo -id "$form" | awk '/Absolute upper-left X/{print "fx=" $NF} /Absolute upper-left Y/{print "fy=" $NF} /^  Height/{print "fh=" $NF}')"
board_x=$((fx + 24)) board_y=$((fy + 24))
# The menu bar over the board's top border: light, with dark text, and the
# status line at its right.
take_shot
menu_light=$(convert "$work/shot.png" -crop "120x20+$fx+$fy" +repage -colorspace gray -format '%[fx:mean]' info:)
awk -v m="$menu_light" 'BEGIN { exit !(m > 0.5) }' || fail "no menu bar above the board (mean $menu_light)"
status_ink=$(convert "$work/shot.png" -crop "200x16+$((fx + 160))+$((fy + 3))" +repage -colorspace gray -format '%[fx:minima]' info:)
awk -v m="$status_ink" 'BEGIN { exit !(m < 0.4) }' || fail "no text in the status line (darkest $status_ink)"
keep_shot menu-status

# 1. e4 by two clicks, and the bird's reply.
start=$(squares)
start_pixels=$(board_pixels)
click_square e2
click_square e4
replied() {
  local c
  c=$(changed_squares "$start")
  echo "$c" | grep -qx 36 && echo "$c" | grep -qx 52 && [ "$(echo "$c" | awk 'NF && $1 < 32' | wc -l)" -ge 2 ]
}
wait_until 20 replied || fail "no move by clicks and reply; changed: $(changed_squares "$start" | tr '\n' ' ')"
echo "played e4 by clicks, the bird replied"

# 2. Ctrl+Z takes back the reply and the move: the squares as at the start.
keys ctrl+z
wait_until 10 eval '[ "$(board_pixels)" = "$start_pixels" ]' ||
  fail "Ctrl+Z did not restore the board; changed: $(changed_squares "$start" | tr '\n' ' ')"
echo "Ctrl+Z restored the board's pixels"

# 3. A hint marks two squares, one of them White's piece.
keys h
hinted() { [ "$(changed_squares "$start" | grep -c .)" -eq 2 ]; }
wait_until 30 hinted || fail "the hint did not mark two squares; changed: $(changed_squares "$start" | tr '\n' ' ')"
echo "hint marked squares $(changed_squares "$start" | tr '\n' ' ')"
keep_shot hint

# 4. The last move marked (Options, Show the last move) after a move.
keys alt+o l
before=$(squares)
click_square d2
click_square d4
wait_until 20 eval '[ "$(changed_squares "$before" | awk "NF && \$1 < 32" | wc -l)" -ge 2 ]' || fail "no reply to d4"
sleep 1
take_shot
keep_shot last-move
# The reply's two squares are tinted: neither shows the start's colours.
echo "last move marked: changed $(changed_squares "$start" | tr '\n' ' ')"

# 5. Resign (Game, Resign): the game ends, "New" is enabled, a click moves nothing.
keys alt+g r
sleep 1
take_shot
new_ink=$(convert "$work/shot.png" -crop "30x18+$((fx + 266))+$((fy + 347))" +repage -colorspace gray -format '%[fx:minima]' info:)
awk -v m="$new_ink" 'BEGIN { exit !(m < 0.32) }' || fail "\"New\" is not enabled after resigning (darkest $new_ink)"
before=$(squares)
click_square e2
click_square e4
sleep 1
[ -z "$(changed_squares "$before")" ] || fail "the board took a move after the resignation"
take_shot
keep_shot resigned
echo "resigned: the game is over"

# 6. Play as Black (Options), New game: the bird opens with White.
keys alt+o b
keys ctrl+n
sleep 1
# No question after a finished game: a fresh board, on which the bird moves
# one of White's pieces from the starting position.
white_moved() { [ "$(changed_squares "$start" | awk 'NF && $1 >= 32' | wc -l)" -ge 2 ]; }
wait_until 20 white_moved || fail "the bird did not open the game as White"
take_shot
keep_shot play-black
echo "the bird opened as White: changed $(changed_squares "$start" | tr '\n' ' ')"
! grep -q '^perch:' "$work/perch.err" || fail "an error was reported: $(grep '^perch:' "$work/perch.err" | head -3)"
quit_and_end 15
echo "ok ($case_name)"
