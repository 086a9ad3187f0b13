#!/usr/bin/env bash
# A short demonstration of the companion on a machine without a display:
# under a private Xvfb the bird starts (with a prepared settings file, so no
# introduction), shows an English and a Chinese balloon, greets the user,
# invites them to chess and plays two moves against mouse drags. Screenshots
# land in the output folder.
#
#   demo.sh BUILD_FOLDER [OUTPUT_FOLDER]      (default output: out/demo)
set -euo pipefail

build=${1:?usage: demo.sh BUILD_FOLDER [OUTPUT_FOLDER]}
out=${2:-out/demo}
bin=$(cd "$build/bin" && pwd)
for program in perch perchctl; do
  [ -x "$bin/$program" ] || { echo "demo: $bin/$program is not built" >&2; exit 1; }
done
for tool in Xvfb xdpyinfo xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "demo: $tool is missing (run tools/install-deps)" >&2; exit 1; }
done
mkdir -p "$out"
out=$(cd "$out" && pwd)

session_prefix=perch-demo
source "$(dirname "$0")/../lib/private-session.sh"

step() { echo "demo: $*"; }
wait_until() {  # SECONDS COMMAND...
  local limit=$(($1 * 10))
  shift
  for _ in $(seq 1 "$limit"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

start_xvfb || { echo "demo: no Xvfb display could be started" >&2; exit 1; }
# A quiet desktop background instead of the bare black root window.
convert -size 1280x1024 gradient:'#8fa39a'-'#3e5249' "$work/desktop.png"
timeout 10 display -window root "$work/desktop.png" >/dev/null 2>&1 || true

# The program folder with its character and a settings file of a completed
# first run.
cp "$bin/perch" "$work/prog/"
[ -f "$bin/bird.chr" ] && cp "$bin/bird.chr" "$work/prog/"
[ -d "$bin/characters" ] && cp -r "$bin/characters" "$work/prog/"
printf '[parameter]\nfirstRun=1\nusername=Demo\nhalname=Perch\n' >"$work/prog/config.ini"

notices=$work/notices
"$bin/perchctl" listen >"$notices" 2>/dev/null &
pids+=($!)
wait_until 5 test -S "$XDG_RUNTIME_DIR/perch/TFrmTuliMain" || { echo "demo: perchctl listen did not start" >&2; exit 1; }
step "starting the companion on display $DISPLAY"
"$work/prog/perch" >"$work/perch.log" 2>&1 &
pids+=($!)
count() { grep -c "^$1 " "$notices" 2>/dev/null || true; }
at_least() { [ "$(count "$1")" -ge "$2" ]; }
wait_until 30 at_least 40 2 || { echo "demo: the companion did not start:" >&2; cat "$work/perch.log" >&2; exit 1; }

shot() {  # NAME [CROP]: the whole screen, and a cropped copy when asked
  import -window root "$out/$1.png"
  if [ -n "${2:-}" ]; then convert "$out/$1.png" -crop "$2" +repage "$out/$1-crop.png"; fi
  step "  $out/$1.png"
}
perchctl() { "$bin/perchctl" "$@" >/dev/null; }

sleep 2
shot 01-bird 360x320+800+0

step "an English line"
perchctl say "Hello! I am Perch, your desktop bird."
sleep 2.5
shot 02-balloon-english 520x320+700+0

step "the greeting, in Chinese"
perchctl greet
sleep 12  # the balloon fills as the line is spoken
shot 03-balloon-chinese 520x320+700+0
wait_until 30 at_least 20 1 || true

step "the chess invitation"
perchctl english
perchctl chess
sleep 9
shot 04-chess-invitation 520x500+340+40

# The user's drags: the board's squares start at (424, 141), 40 pixels each.
drag() {  # FROM TO, e.g. e2 e4
  local fx fy tx ty
  fx=$((424 + ($(printf '%d' "'${1:0:1}") - 97) * 40 + 20)); fy=$((141 + (8 - ${1:1:1}) * 40 + 20))
  tx=$((424 + ($(printf '%d' "'${2:0:1}") - 97) * 40 + 20)); ty=$((141 + (8 - ${2:1:1}) * 40 + 20))
  xdotool mousemove "$fx" "$fy"
  sleep 0.3
  xdotool mousedown 1
  for s in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove $((fx + (tx - fx) * s / 10)) $((fy + (ty - fy) * s / 10))
    sleep 0.05
  done
  xdotool mouseup 1
}
step "two moves: e2-e4 and g1-f3, each answered by the bird"
drag e2 e4
sleep 4
shot 05-chess-first-move 520x500+340+40
drag g1 f3
sleep 4
shot 06-chess-second-move 520x500+340+40

perchctl quit
sleep 1
echo "demo: screenshots are in $out"
