#!/usr/bin/env bash
# The character window on a real X server: a click on the bird reaches the
# program, a click beside it does not, and a drag moves the bird without
# counting as a click; with "composite", under a compositing manager, where
# the window is translucent and only its input region follows the bird.
# Usage: window_e2e.sh <bin folder> [composite]
set -euo pipefail
bin=$1
mode=${2:-plain}
work=$(mktemp -d /tmp/perch-agent-e2e.XXXXXX)
cleanup() {
  [ -n "${viewer:-}" ] && kill "$viewer" 2>/dev/null || true
  [ -n "${compositor:-}" ] && kill "$compositor" 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display number of its own, chosen by the server.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM
if [ "$mode" = composite ]; then
  xcompmgr -c >/dev/null 2>&1 &
  compositor=$!
  sleep 0.5
fi

"$bin/perch-character" >"$work/out" 2>&1 &
viewer=$!
sleep 2.5

clicks() { grep -c '^click on viewer: button 1' "$work/out" || true; }
fail() { echo "FAIL: $*"; cat "$work/out"; exit 1; }

# The bird's frame is 200 x 184 at (540, 472); its belly is near the middle.
xdotool mousemove 640 610 click 1
sleep 0.5
[ "$(clicks)" = 1 ] || fail "a click on the bird was not delivered"

xdotool mousemove 548 480 click 1
sleep 0.5
[ "$(clicks)" = 1 ] || fail "a click beside the bird reached it"

xdotool mousemove 640 610 mousedown 1
for step in 1 2 3 4 5 6; do xdotool mousemove $((640 + 15 * step)) 610; sleep 0.05; done
xdotool mouseup 1
sleep 0.5
[ "$(clicks)" = 1 ] || fail "a drag counted as a click"

# The bird followed the drag: its belly is now 90 pixels to the right.
xdotool mousemove 730 610 click 1
sleep 0.5
[ "$(clicks)" = 2 ] || fail "the dragged bird is not where it was dropped"
echo "window e2e ($mode): ok"
