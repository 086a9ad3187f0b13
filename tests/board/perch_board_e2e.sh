#!/usr/bin/env bash
# End to end: perch-board on its own Xvfb display, a real drag of e2-e4 with
# xdotool, and the engine's reply read off the screen.
#   perch_board_e2e.sh PATH/TO/perch-board
set -euo pipefail
board_bin=$1
work=$(mktemp -d /tmp/perch-board-e2e.XXXXXX)
xvfb_pid="" app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display number of our own.
n=$(( 300 + $$ % 600 ))
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 800x600x24 -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$n"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; exit 1; }

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work}
"$board_bin" --depth 2 >"$work/app.log" 2>&1 &
app_pid=$!
wid=""
for _ in $(seq 100); do
  wid=$(xdotool search --onlyvisible --name "Perch chess" 2>/dev/null | head -1 || true)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { echo "no perch-board window"; cat "$work/app.log"; exit 1; }
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
centre() {  # file 1..8, rank 1..8 -> screen x y
  echo "$((ox + ($1 - 1) * 40 + 20)) $((oy + (8 - $2) * 40 + 20))"
}

before=$(squares)
read -r x1 y1 < <(centre 5 2)
read -r x2 y2 < <(centre 5 4)
xdotool mousemove "$x1" "$y1" mousedown 1
for step in 1 2 3 4 5 6 7 8; do
  xdotool mousemove "$x1" $((y1 + (y2 - y1) * step / 8))
  sleep 0.03
done
xdotool mouseup 1

# Wait for White's pawn on e4 and two changed squares in Black's half.
for _ in $(seq 150); do
  after=$(squares)
  changed=$(paste <(echo "$before") <(echo "$after") | awk '$1 != $2 {print NR - 1}')
  black_half=$(echo "$changed" | awk 'NF && $1 < 32' | wc -l)
  e4=$(( (8 - 4) * 8 + 4 ))
  e2=$(( (8 - 2) * 8 + 4 ))
  if echo "$changed" | grep -qx "$e4" && echo "$changed" | grep -qx "$e2" && [ "$black_half" -ge 2 ]; then
    echo "engine replied: squares changed $(echo $changed)"
    exit 0
  fi
  sleep 0.2
done
echo "no reply seen; changed squares: $(echo ${changed:-})"
cat "$work/app.log"
exit 1
