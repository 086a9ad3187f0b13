#!/usr/bin/env bash
# The character window on a real X server: a click on the bird reaches the
# program, a click beside it does not, and a drag moves the bird without
# counting as a click; with "composite", under a compositing manager, where
# the window is translucent and only its input region follows the bird.
# Usage: window_e2e.sh <bin folder> [composite]
set -euo pipefail
bin=$1
mode=${2:-plain}
session_prefix=perch-agent-e2e
source "$(dirname "$0")/../../tools/lib/private-session.sh"
start_xvfb || { echo "FAIL: no X server started"; exit 1; }
if [ "$mode" = composite ]; then
  xcompmgr -c >/dev/null 2>&1 &
  pids+=($!)
  sleep 0.5
fi
"$bin/perch-character" >"$work/out" 2>&1 &
pids+=($!)
sleep 2.5

# expect_clicks COUNT WHY: the clicks the program has seen so far.
expect_clicks() {
  sleep 0.5
  [ "$(grep -c '^click on viewer: button 1' "$work/out" || true)" = "$1" ] || { echo "FAIL: $2"; cat "$work/out"; exit 1; }
}

# The bird's frame is 200 x 184 at (540, 472); its belly is near the middle.
xdotool mousemove 640 610 click 1
expect_clicks 1 "a click on the bird was not delivered"
xdotool mousemove 548 480 click 1
expect_clicks 1 "a click beside the bird reached it"
xdotool mousemove 640 610 mousedown 1
for step in 1 2 3 4 5 6; do xdotool mousemove $((640 + 15 * step)) 610; sleep 0.05; done
xdotool mouseup 1
expect_clicks 1 "a drag counted as a click"
# The bird followed the drag: its belly is now 90 pixels to the right.
xdotool mousemove 730 610 click 1
expect_clicks 2 "the dragged bird is not where it was dropped"
echo "window e2e ($mode): ok"
