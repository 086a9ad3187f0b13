#!/usr/bin/env bash
# The cost of the real companion on a private Xvfb display, as the user's
# desktop would see it: CPU of a core from /proc/PID/stat over fixed
# windows, context switches of all its threads, resident memory; oneko's
# idle CPU beside it when it is installed. Prints "name value" lines.
#
# Idle is measured twice: over the first window after start-up (the first
# breaths and blinks are drawn then) and over the next one; then perched on
# an xterm that moves every 5 seconds.
#
# Usage: perch_cost.sh BIN [IDLE_SECONDS]
set -euo pipefail
bin=$(cd "$1" && pwd)
idle_seconds=${2:-30}
session_prefix=perch-cost
source "$(dirname "$0")/../../tools/lib/private-session.sh"

die() { echo "perch_cost: $*" >&2; exit 1; }
wait_until() {  # SECONDS COMMAND...
  local i
  for ((i = 0; i < $1 * 10; i++)); do "${@:2}" && return 0; sleep 0.1; done
  return 1
}
ticks_per_second=$(getconf CLK_TCK)
# utime + stime of the whole process (threads that ended included), in ticks.
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
# Context switches of each thread, "tid count" a line; a window counts the
# threads alive at both its ends (Qt's pool threads come and go).
switches() {
  local task
  for task in /proc/"$1"/task/*; do
    awk -v tid="${task##*/}" '/^(voluntary|nonvoluntary)_ctxt_switches/ { n += $2 } END { print tid, n + 0 }' \
      "$task/status" 2>/dev/null || true
  done
}
switches_per_second() {  # BEFORE AFTER SECONDS
  join <(sort <<<"$1") <(sort <<<"$2") | awk -v s="$3" '{ n += $3 - $2 } END { printf "%.1f", n / s }'
}
rss_mib() { awk '/^VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"; }
now() { date +%s.%N; }
percent() {  # TICKS SECONDS
  awk -v t="$1" -v s="$2" -v hz="$ticks_per_second" 'BEGIN { printf "%.2f", t / hz / s * 100 }'
}
notices() { grep -c "^$1 " "$work/notices" 2>/dev/null || true; }
has_notices() { [ "$(notices "$1")" -ge "$2" ]; }

start_xvfb || die "no Xvfb display could be started"
cp "$bin/perch" "$prog/perch"
cp "$bin/bird.chr" "$prog/" 2>/dev/null || true
[ -d "$bin/characters" ] && cp -r "$bin/characters" "$prog/"
printf '[parameter]\nfirstRun=1\nusername=Bench\nhalname=Pip\n' >"$prog/config.ini"
"$bin/perchctl" listen --timeout 600 >"$work/notices" 2>/dev/null &
pids+=($!)
wait_until 5 test -S "$XDG_RUNTIME_DIR/perch/TFrmTuliMain" || die "the listener did not start"
"$prog/perch" >"$work/perch.out" 2>"$work/perch.err" &
perch=$!
pids+=("$perch")
wait_until 60 has_notices 40 2 || die "perch did not finish starting up"
sleep 3  # the second introduction's last balloon fades

# Idle: breathing and blinking only; oneko idles beside it.
oneko_pid=""
oneko_bin=$(PATH=$PATH:/usr/games command -v oneko || true)
if [ -n "$oneko_bin" ]; then
  "$oneko_bin" >/dev/null 2>&1 &
  oneko_pid=$!
  pids+=("$oneko_pid")
  sleep 1
fi
c0=$(cpu_ticks "$perch"); s0=$(switches "$perch"); x0=$(cpu_ticks "$xvfb_pid"); t0=$(now)
[ -z "$oneko_pid" ] || o0=$(cpu_ticks "$oneko_pid")
sleep "$idle_seconds"
c1=$(cpu_ticks "$perch"); s1=$(switches "$perch"); x1=$(cpu_ticks "$xvfb_pid"); t1=$(now)
span=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
echo "idle_cpu_percent $(percent $((c1 - c0)) "$span")"
echo "idle_switches_per_second $(switches_per_second "$s0" "$s1" "$span")"
echo "idle_xserver_cpu_percent $(percent $((x1 - x0)) "$span")"
if [ -n "$oneko_pid" ]; then
  o1=$(cpu_ticks "$oneko_pid")
  echo "oneko_idle_cpu_percent $(percent $((o1 - o0)) "$span")"
  kill "$oneko_pid" 2>/dev/null || true
fi
echo "idle_rss_mib $(rss_mib "$perch")"

# Idle again, once each idle pose has been drawn at least once.
c0=$(cpu_ticks "$perch"); s0=$(switches "$perch"); t0=$(now)
sleep "$idle_seconds"
c1=$(cpu_ticks "$perch"); s1=$(switches "$perch"); t1=$(now)
span=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
echo "idle_settled_cpu_percent $(percent $((c1 - c0)) "$span")"
echo "idle_settled_switches_per_second $(switches_per_second "$s0" "$s1" "$span")"

# Perched on a window that the user moves now and then (every 5 s), as
# idle otherwise: the bird follows it. Needs xterm; no window manager (the
# bird then perches on the window's own top edge).
if command -v xterm >/dev/null && command -v xdotool >/dev/null; then
  xterm -geometry 80x24+300+400 -name perch-bench-xterm -e sleep 600 >/dev/null 2>&1 &
  xterm_pid=$!
  pids+=("$xterm_pid")
  term=""
  wait_until 10 eval 'term=$(xdotool search --onlyvisible --classname perch-bench-xterm 2>/dev/null | head -1); [ -n "$term" ]' ||
    die "no xterm to perch on"
  before=$(notices 20)
  "$bin/perchctl" perch
  wait_until 60 has_notices 20 $((before + 1)) || die "perch did not land"
  sleep 2
  c0=$(cpu_ticks "$perch"); s0=$(switches "$perch"); x0=$(cpu_ticks "$xvfb_pid"); t0=$(now)
  for ((move = 0; move < idle_seconds / 5; move++)); do
    xdotool windowmove "$term" $((250 + (move % 4) * 60)) $((350 + (move % 3) * 40))
    sleep 5
  done
  c1=$(cpu_ticks "$perch"); s1=$(switches "$perch"); x1=$(cpu_ticks "$xvfb_pid"); t1=$(now)
  span=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
  echo "perched_moving_window_cpu_percent $(percent $((c1 - c0)) "$span")"
  echo "perched_moving_window_switches_per_second $(switches_per_second "$s0" "$s1" "$span")"
  echo "perched_moving_window_xserver_cpu_percent $(percent $((x1 - x0)) "$span")"
  kill "$xterm_pid" 2>/dev/null || true
  sleep 5  # the bird flies off to a free place
fi

# One routine from its request to its notice 20.
routine() {  # NAME
  local before c0 c1 t0 t1 x0 x1
  before=$(notices 20)
  c0=$(cpu_ticks "$perch"); x0=$(cpu_ticks "$xvfb_pid"); t0=$(now)
  "$bin/perchctl" "$1"
  wait_until 120 has_notices 20 $((before + 1)) || die "$1 did not end"
  c1=$(cpu_ticks "$perch"); x1=$(cpu_ticks "$xvfb_pid"); t1=$(now)
  local span
  span=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
  echo "${1}_cpu_percent $(percent $((c1 - c0)) "$span")"
  echo "${1}_xserver_cpu_percent $(percent $((x1 - x0)) "$span")"
  echo "${1}_seconds $(awk -v s="$span" 'BEGIN { printf "%.1f", s }')"
}
routine greet
routine work

# The board open and waiting for the user's first move.
"$bin/perchctl" chess
board_seen() { xdotool search --onlyvisible --pid "$perch" --name . 2>/dev/null | grep -q .; }
wait_until 30 board_seen || die "no board came"
sleep 6  # "你先~~" is spoken and the bird settles beside the board
c0=$(cpu_ticks "$perch"); s0=$(switches "$perch"); t0=$(now)
sleep 20
c1=$(cpu_ticks "$perch"); s1=$(switches "$perch"); t1=$(now)
span=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
echo "board_waiting_cpu_percent $(percent $((c1 - c0)) "$span")"
echo "board_waiting_switches_per_second $(switches_per_second "$s0" "$s1" "$span")"
echo "board_rss_mib $(rss_mib "$perch")"
"$bin/perchctl" quit
