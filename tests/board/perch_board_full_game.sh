#!/usr/bin/env bash
# End to end: a whole game in perch-board on its own Xvfb display. The
# user's side is played with real drags by xdotool, its moves chosen by
# stockfish; the engine's replies are read from perch-board's move lines.
# The game must end (mate, stalemate or draw) with every drag accepted.
#   perch_board_full_game.sh PATH/TO/perch-board
# With PERCH_E2E_SHOTS set to a folder, the final screen is saved there.
set -euo pipefail
board_bin=$1
work=$(mktemp -d /tmp/perch-board-game.XXXXXX)
xvfb_pid="" app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
stockfish=$(command -v stockfish || echo /usr/games/stockfish)
[ -x "$stockfish" ] || { echo "stockfish is not installed"; exit 1; }

n=$(( 900 + $$ % 600 ))
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 800x600x24 -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$n"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; exit 1; }

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work}
"$board_bin" --depth 2 >"$work/moves.txt" 2>"$work/app.log" &
app_pid=$!
wid=""
for _ in $(seq 100); do
  wid=$(xdotool search --onlyvisible --name "Perch chess" 2>/dev/null | head -1 || true)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { echo "no perch-board window"; exit 1; }
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$wid")"
ox=$((X + 8 + 24)) oy=$((Y + 8 + 24))

# The game so far in UCI notation, promotions included.
game_moves() {
  awk '$1 == "move" {if (m != "") printf "%s ", m; m = $2}
       $1 == "promotion" {m = m $2}
       END {if (m != "") printf "%s", m}' "$work/moves.txt"
}
plies() { grep -c '^move ' "$work/moves.txt" || true; }
finished() { grep -q '^result ' "$work/moves.txt"; }
screen_point() {  # a1..h8 -> x y
  local f=$(( $(printf '%d' "'${1:0:1}") - 96 )) r=${1:1:1}
  echo "$((ox + (f - 1) * 40 + 20)) $((oy + (8 - r) * 40 + 20))"
}
drag() {
  read -r x1 y1 < <(screen_point "$1")
  read -r x2 y2 < <(screen_point "$2")
  xdotool mousemove "$x1" "$y1" mousedown 1
  for step in 1 2 3 4 5 6; do
    xdotool mousemove $((x1 + (x2 - x1) * step / 6)) $((y1 + (y2 - y1) * step / 6))
    sleep 0.02
  done
  xdotool mouseup 1
}

for turn in $(seq 150); do
  finished && break
  count=$(plies)
  best=$( (printf 'position startpos moves %s\ngo movetime 50\n' "$(game_moves)"; sleep 0.4; echo quit) |
          timeout 10 "$stockfish" | awk '$1 == "bestmove" {print $2}')
  if [ -z "$best" ] || [ "$best" = "(none)" ]; then
    sleep 1
    finished && break
    echo "no move for White and no result after: $(game_moves)"; exit 1
  fi
  drag "${best:0:2}" "${best:2:2}"
  # The user's move, then the engine's reply (or the end of the game).
  for _ in $(seq 300); do
    [ "$(plies)" -ge $((count + 2)) ] && break
    finished && [ "$(plies)" -ge $((count + 1)) ] && break
    sleep 0.1
  done
  if [ "$(plies)" -lt $((count + 1)) ]; then
    echo "the drag of $best was not taken after: $(game_moves)"; cat "$work/app.log"; exit 1
  fi
done
sleep 0.5
[ -n "${PERCH_E2E_SHOTS:-}" ] && mkdir -p "$PERCH_E2E_SHOTS" && import -window root "$PERCH_E2E_SHOTS/perch-board-final.png"
if finished; then
  echo "game over after $(plies) plies: $(grep '^result ' "$work/moves.txt")"
  echo "$(game_moves)"
  exit 0
fi
echo "no end after $(plies) plies: $(game_moves)"
exit 1
