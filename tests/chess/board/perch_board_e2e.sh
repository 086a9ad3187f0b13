#!/usr/bin/env bash
# End to end: a whole game in perch-board on its own Xvfb display. The
# user's side is played with real drags by xdotool, its moves chosen by
# stockfish. The engine's first reply is read off the screen, every later
# one from perch-board's move lines. The game must end (mate, stalemate or
# draw) with every drag accepted.
#   perch_board_e2e.sh PATH/TO/perch-board
# With PERCH_E2E_SHOTS set to a folder, the final screen is saved there.
set -euo pipefail
board_bin=$1
session_prefix=perch-board-e2e
source "$(dirname "$0")/../../../tools/lib/private-session.sh"
fail() { echo "$1"; cat "$work/app.log"; exit 1; }
stockfish=$(command -v stockfish || echo /usr/games/stockfish)
[ -x "$stockfish" ] || { echo "stockfish is not installed"; exit 1; }
start_xvfb || { echo "Xvfb did not start"; exit 1; }
"$board_bin" --depth 2 >"$work/moves.txt" 2>"$work/app.log" &
pids+=($!)
wid=""
for _ in $(seq 100); do
  wid=$(xdotool search --onlyvisible --name "Perch chess" 2>/dev/null | head -1 || true)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || fail "no perch-board window"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$wid")"
# The board sits 8 pixels into the window; its squares start 24 further in.
ox=$((X + 8 + 24)) oy=$((Y + 8 + 24))

# The average colour of each of the 64 squares, row by row from the top.
squares() {
  import -window root "$work/shot.png"
  convert "$work/shot.png" -crop "320x320+$ox+$oy" +repage -scale 8x8 txt:- |
    tail -n +2 | awk '{print $3}'
}
# The game so far in UCI notation, promotions included.
game_moves() {
  awk '$1 == "move" {if (m != "") printf "%s ", m; m = $2}
       $1 == "promotion" {m = m $2}
       END {if (m != "") printf "%s", m}' "$work/moves.txt"
}
plies() { grep -c '^move ' "$work/moves.txt" || true; }
finished() { grep -q '^result ' "$work/moves.txt"; }
drag() {  # from to, as e2 e4
  local f1=$(( $(printf '%d' "'${1:0:1}") - 96 )) f2=$(( $(printf '%d' "'${2:0:1}") - 96 ))
  local x1=$((ox + f1 * 40 - 20)) y1=$((oy + (8 - ${1:1:1}) * 40 + 20))
  local x2=$((ox + f2 * 40 - 20)) y2=$((oy + (8 - ${2:1:1}) * 40 + 20))
  xdotool mousemove "$x1" "$y1" mousedown 1
  for step in 1 2 3 4 5 6; do
    xdotool mousemove $((x1 + (x2 - x1) * step / 6)) $((y1 + (y2 - y1) * step / 6))
    sleep 0.02
  done
  xdotool mouseup 1
}

# 1. e4: the pawn's two squares and two in Black's half change on the screen.
before=$(squares) seen=""
drag e2 e4
for _ in $(seq 150); do
  changed=$(paste <(echo "$before") <(squares) | awk '$1 != $2 {print NR - 1}')
  black_half=$(echo "$changed" | awk 'NF && $1 < 32' | wc -l)
  echo "$changed" | grep -qx 36 && echo "$changed" | grep -qx 52 && [ "$black_half" -ge 2 ] && { seen=1; break; }
  sleep 0.2
done
[ -n "$seen" ] || fail "no reply seen; changed squares: $(echo $changed)"
echo "engine replied on screen: squares changed $(echo $changed)"

for turn in $(seq 150); do
  for _ in $(seq 300); do  # the user's move, then the engine's reply or the end
    [ $(( $(plies) % 2 )) -eq 0 ] && break
    finished && break
    sleep 0.1
  done
  finished && break
  [ $(( $(plies) % 2 )) -eq 0 ] || fail "no reply after: $(game_moves)"
  count=$(plies)
  best=$( (printf 'position startpos moves %s\ngo movetime 50\n' "$(game_moves)"; sleep 0.4; echo quit) |
          timeout 10 "$stockfish" | awk '$1 == "bestmove" {print $2}')
  if [ -z "$best" ] || [ "$best" = "(none)" ]; then
    sleep 1
    finished && break
    fail "no move for White and no result after: $(game_moves)"
  fi
  drag "${best:0:2}" "${best:2:2}"
  for _ in $(seq 300); do [ "$(plies)" -gt "$count" ] && break; sleep 0.1; done
  [ "$(plies)" -gt "$count" ] || fail "the drag of $best was not taken after: $(game_moves)"
done
sleep 0.5
[ -n "${PERCH_E2E_SHOTS:-}" ] && mkdir -p "$PERCH_E2E_SHOTS" && import -window root "$PERCH_E2E_SHOTS/perch-board-final.png"
finished || fail "no end after $(plies) plies: $(game_moves)"
echo "game over after $(plies) plies: $(grep '^result ' "$work/moves.txt")"
game_moves; echo
