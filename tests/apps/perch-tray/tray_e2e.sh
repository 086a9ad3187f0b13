#!/usr/bin/env bash
# End-to-end checks of perch-tray with the real companion, under Xvfb with the
# tray host trayer (or none). perch-tray runs with --verbose, which prints the
# requests it posts and the notices it hears, and with its test hook, which
# takes menu action names on standard input. Every wait is bounded.
#
#   tray_e2e.sh BIN_FOLDER CASE
#   CASE: menu | lively | no_tray | restart | adopt | silent_companion |
#         button_openbox | honest_tooltip | home | wayland
set -euo pipefail

bin=$(cd "$1" && pwd)
case_name=$2
session_prefix=perch-tray-e2e
source "$(dirname "$0")/../../../tools/lib/private-session.sh"

tray_pid=""
fail() {
  echo "FAIL ($case_name): $*" >&2
  for f in "$work"/tray.out "$work"/tray.err; do
    if [ -f "$f" ]; then echo "--- $f" >&2; tail -25 "$f" >&2; fi
  done
  shot failed
  exit 1
}
shot() {  # NAME: a screenshot kept in $PERCH_E2E_SHOTS
  [ -z "${PERCH_E2E_SHOTS:-}" ] || { mkdir -p "$PERCH_E2E_SHOTS" && import -window root "$PERCH_E2E_SHOTS/tray-$case_name-$1.png"; } || true
}
wait_until() {  # SECONDS COMMAND...
  local i
  for ((i = 0; i < $1 * 10; i++)); do "${@:2}" && return 0; sleep 0.1; done
  return 1
}
logged() { grep -qx -- "$1" "$work/tray.out" 2>/dev/null; }
count_logged() { grep -cx -- "$1" "$work/tray.out" 2>/dev/null || true; }
has_logged() { [ "$(count_logged "$1")" -ge "$2" ]; }  # LINE COUNT
expect_logged() {  # LINE SECONDS [COUNT]
  wait_until "$2" has_logged "$1" "${3:-1}" || fail "expected \"$1\" ${3:-1} time(s), got $(count_logged "$1")"
}
act() { echo "$1" >&7; }  # triggers a menu action by its name
tray_alive() { kill -0 "$tray_pid" 2>/dev/null; }
companion_pid() { pgrep -x -P "$tray_pid" perch | head -1; }
visible_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
# A window of perch-tray as tall as its menu is open.
menu_open() {
  xdotool search --onlyvisible --class perch-tray 2>/dev/null | while read -r w; do
    xdotool getwindowgeometry "$w"; done | grep "Geometry: [0-9]*x[2-9][0-9][0-9]" >/dev/null  # all read: no SIGPIPE
}

# The programs side by side, as installed: perch-tray finds perch beside
# itself. A completed first run, and lively idle times given as arguments.
install_programs() {  # LEAST MOST [MORE SETTINGS LINES]
  cp "$bin/perch" "$bin/perch-tray" "$bin/bird.chr" "$prog/"
  printf '[parameter]\nfirstRun=1\nhalname=Polly\n' >"$prog/config.ini"
  mkdir -p "$XDG_CONFIG_HOME/perch"
  printf '[lively]\nleastIdleSeconds=%s\nmostIdleSeconds=%s\n%s\n' "$1" "$2" "${3:-}" \
    >"$XDG_CONFIG_HOME/perch/perch-tray.conf"
}
# The tray host owns the system tray selection of screen 0.
tray_selection_owned() {
  python3 - <<'PY' 2>/dev/null
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XInternAtom.restype = ctypes.c_ulong
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XGetSelectionOwner.restype = ctypes.c_ulong
d = x.XOpenDisplay(None)
sys.exit(0 if d and x.XGetSelectionOwner(d, x.XInternAtom(d, b"_NET_SYSTEM_TRAY_S0", 0)) else 1)
PY
}
start_tray_host() {
  trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 32 \
    >"$work/trayer.log" 2>&1 &
  pids+=($!)
  wait_until 10 tray_selection_owned || fail "trayer did not start"
}
# A window manager, ready once it announces itself on the root window.
start_wm() {  # openbox
  case $1 in
    openbox) openbox --sm-disable >"$work/wm.log" 2>&1 & ;;
  esac
  pids+=($!)
  wait_until 20 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
    fail "$1 did not start"
}
# A window of the user's that is active and holds the keyboard focus.
user_window=""
start_user_window() {
  xmessage -geometry +40+640 -name perch-user "the user's window" >/dev/null 2>&1 &
  pids+=($!)
  wait_until 10 eval 'user_window=$(xdotool search --onlyvisible --classname perch-user 2>/dev/null | head -1); [ -n "$user_window" ]' ||
    fail "no user window"
  xdotool windowactivate --sync "$user_window" 2>/dev/null || xdotool windowfocus --sync "$user_window"
}
active_window() { printf '%d' "$(xprop -root _NET_ACTIVE_WINDOW | awk '{print $NF}')"; }
start_tray() {  # [LANG]
  mkfifo "$work/actions"
  exec 7<>"$work/actions"
  LANG=${1:-C.UTF-8} LC_ALL=${1:-C.UTF-8} PERCH_TRAY_TEST_ACTIONS=1 \
    "$prog/perch-tray" --verbose <"$work/actions" >"$work/tray.out" 2>"$work/tray.err" &
  tray_pid=$!
  pids+=("$tray_pid")
}
# Quit Perch: request 70, then both programs end, perch-tray with status 0.
quit_both() {
  local perch
  perch=$(companion_pid)
  act quit
  expect_logged "request 70" 10
  wait_until 30 eval '! tray_alive' || fail "perch-tray did not end after Quit Perch"
  local status=0
  wait "$tray_pid" || status=$?
  [ "$status" -eq 0 ] || fail "perch-tray ended with status $status"
  [ -z "$perch" ] || ! kill -0 "$perch" 2>/dev/null || fail "the companion is still running"
}

start_xvfb || fail "no Xvfb display could be started"

case "$case_name" in
  menu)
    install_programs 3600 3600
    start_tray_host
    start_tray
    expect_logged "tray icon shown" 20
    expect_logged "notice 40" 60 2
    [ -n "$(companion_pid)" ] || fail "perch-tray did not start perch"
    expect_logged "tooltip Polly is resting" 5
    # The menu for a screenshot, opened through the test hook; that a click
    # opens it is checked on the fallback button (no_tray), where it holds.
    if [ -n "${PERCH_E2E_SHOTS:-}" ]; then
      act menu
      wait_until 10 menu_open && shot menu
      xdotool key Escape
    fi

    # Say something…: the text reaches the bird, which shows a balloon.
    bird_windows() { xdotool search --onlyvisible --pid "$(companion_pid)" 2>/dev/null | wc -l; }
    quiet=$(bird_windows)  # the bird alone; nothing has spoken yet
    act say
    wait_until 15 eval '[ -n "$(visible_named "^Say something")" ]' || fail "no Say something box"
    say_box=$(visible_named "^Say something")
    xdotool windowfocus --sync "$say_box"
    sleep 0.3
    xdotool type --delay 20 "Hello from the tray"
    shot say
    xdotool key Return
    expect_logged "text Hello from the tray" 10
    wait_until 10 eval '[ "$(bird_windows)" -gt "$quiet" ]' || fail "no balloon for the text"
    shot balloon
    grep -q "Hello from the tray" "$XDG_CONFIG_HOME/perch/perch-tray.conf" || fail "the text was not remembered"

    # The requests of the menu, seen as the bird's notices 20.
    act greet
    expect_logged "request 3" 5
    expect_logged "tooltip Polly is greeting you" 5
    expect_logged "notice 20" 30
    act chinese
    expect_logged "request 21" 5
    grep -qx "language=chinese" "$XDG_CONFIG_HOME/perch/perch-tray.conf" || fail "the language was not kept"
    act english
    expect_logged "request 22" 5

    act settings
    wait_until 15 eval '[ -n "$(visible_named "^Perch settings")" ]' || fail "no settings dialog"
    sleep 0.5
    shot settings
    xdotool windowfocus --sync "$(visible_named "^Perch settings")"
    xdotool key Escape

    # Start at login writes the autostart entry, and removes it again.
    act startAtLogin
    wait_until 5 test -f "$XDG_CONFIG_HOME/autostart/perch.desktop" || fail "no autostart entry"
    grep -qx "Exec=$prog/perch-tray" "$XDG_CONFIG_HOME/autostart/perch.desktop" || fail "the entry does not start perch-tray"
    act startAtLogin
    wait_until 5 eval '[ ! -e "$XDG_CONFIG_HOME/autostart/perch.desktop" ]' || fail "the autostart entry stayed"

    # Only one controller: a second perch-tray, and perchctl listen, say so and end with 1.
    status=0
    "$bin/perchctl" listen --timeout 1 >/dev/null 2>"$work/listen.err" || status=$?
    [ "$status" -eq 1 ] && grep -q "perch-tray or perchctl listen" "$work/listen.err" ||
      fail "perchctl listen: status $status, $(cat "$work/listen.err")"
    "$prog/perch-tray" >"$work/second.out" 2>"$work/second.err" &
    second=$!
    pids+=("$second")
    wait_until 15 eval '[ -n "$(visible_named "^Perch")" ] || ! kill -0 $second 2>/dev/null' || true
    box=$(visible_named "^Perch$") || true
    [ -z "$box" ] || { xdotool windowfocus --sync "$box"; xdotool key Return; }
    wait_until 10 eval '! kill -0 $second 2>/dev/null' || fail "the second perch-tray did not end"
    status=0
    wait "$second" || status=$?
    [ "$status" -eq 1 ] && grep -q "perch-tray or perchctl listen" "$work/second.err" ||
      fail "second perch-tray: status $status, $(cat "$work/second.err")"

    quit_both
    ;;

  lively)
    # Greetings only, every 2 to 3 seconds of idleness.
    install_programs 2 3 $'randomWeight=0\nworkWeight=0\neatWeight=0\ngreetWeight=1'
    start_tray_host
    start_tray zh_CN.UTF-8  # and the texts in Chinese
    expect_logged "notice 40" 60 2
    expect_logged "tooltip Polly在休息" 5
    act menu
    sleep 1
    shot menu-chinese
    xdotool key Escape
    expect_logged "lively" 30 2
    expect_logged "notice 20" 30 2
    # Never while a routine runs: every lively request came after the
    # previous routine's notice 20.
    awk '/^request [0-5]$/ { if (open) bad = 1; open = 1 } /^notice 20$/ { open = 0 }
         END { exit bad }' "$work/tray.out" || fail "a lively request came while a routine ran"
    grep -x "request [0-9]*" "$work/tray.out" | grep -vqx "request 3" && fail "a routine other than the greeting"
    # Nor while the active window is full screen (the EWMH properties set by
    # hand on the tray host's window, as a window manager would).
    host=$(xdotool search --class trayer | head -1)
    xprop -id "$host" -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_FULLSCREEN
    xprop -root -f _NET_ACTIVE_WINDOW 32x -set _NET_ACTIVE_WINDOW "$host"
    idle() { [ "$(count_logged "notice 20")" -ge "$(count_logged lively)" ]; }
    wait_until 30 idle || fail "the greeting did not end"
    before=$(count_logged lively)
    sleep 8
    [ "$(count_logged lively)" -eq "$before" ] || fail "lively mode went on over a full-screen window"
    before=$(count_logged lively)
    xprop -root -remove _NET_ACTIVE_WINDOW
    expect_logged "lively" 30 $((before + 1))
    expect_logged "notice 20" 30 $((before + 1))
    # Nor while a game is open.
    act chess
    expect_logged "request 5" 5
    expect_logged "tooltip Polly在下棋" 5
    before=$(count_logged lively)
    sleep 8
    [ "$(count_logged lively)" -eq "$before" ] || fail "lively mode asked for a routine during the game"
    # Lively bird off: no more.
    act lively
    wait_until 5 grep -qx "enabled=false" "$XDG_CONFIG_HOME/perch/perch-tray.conf" || fail "lively mode was not switched off"
    quit_both
    ;;

  no_tray)
    install_programs 3600 3600
    start_tray
    expect_logged "fallback button shown" 20
    grep -q "no system tray" "$work/tray.err" || fail "perch-tray did not say that there is no tray"
    [ "$(grep -c "no system tray" "$work/tray.err")" -eq 1 ] || fail "perch-tray said more than once that there is no tray"
    wait_until 10 eval '[ -n "$(visible_named "^Perch menu")" ]' || fail "no fallback button"
    # The box maps after the button is logged as shown.
    wait_until 10 eval '[ -n "$(visible_named "^Perch$")" ]' || fail "no message about the missing tray"
    box=$(visible_named "^Perch$")
    xdotool windowfocus --sync "$box"; xdotool key Return
    button=$(visible_named "^Perch menu")
    eval "$(xdotool getwindowgeometry --shell "$button")"
    xdotool mousemove $((X + 20)) $((Y + 20)) mousedown 1 mouseup 1
    wait_until 10 menu_open || fail "a click on the fallback button opened no menu"
    shot button-menu
    xdotool key Escape
    expect_logged "notice 40" 60 2
    # A tray that comes later (a panel started after perch-tray) takes the menu over.
    start_tray_host
    expect_logged "tray icon shown" 20
    wait_until 10 eval '[ -z "$(visible_named "^Perch menu")" ]' || fail "the fallback button stayed"
    [ "$(count_logged "fallback button shown")" -eq 1 ] || fail "the fallback button was shown again and again"
    quit_both
    ;;

  home)
    # The menu's size, voice and names reach the bird and are kept by it;
    # hidden, the bird stays away while lively mode waits, also when the
    # companion starts again, until Show.
    install_programs 2 3 $'randomWeight=0\nworkWeight=0\neatWeight=0\ngreetWeight=1'
    start_tray_host
    start_tray
    expect_logged "notice 40" 60 2
    kept() { wait_until 5 grep -qx "$1" "$prog/config.ini" || fail "the companion did not keep $1: $(cat "$prog/config.ini")"; }
    act sizeLarge
    expect_logged "request 62" 5
    kept size=large
    act volume50
    expect_logged "request 65 50" 5
    kept volume=50
    act mute
    expect_logged "request 63" 5
    kept mute=1
    act mute
    expect_logged "request 64" 5
    kept mute=0
    act rename
    wait_until 15 eval '[ -n "$(visible_named "^Rename$")" ]' || fail "no Rename box"
    xdotool windowfocus --sync "$(visible_named "^Rename$")"
    sleep 0.3
    xdotool key ctrl+a type --delay 20 "Kiwi"
    xdotool key Tab ctrl+a type --delay 20 "Ann"
    shot rename
    xdotool key Return
    expect_logged "request 68" 10
    kept halname=Kiwi
    kept username=Ann
    wait_until 30 eval '[ "$(count_logged "notice 20")" -ge "$(count_logged lively)" ]' || fail "a greeting did not end"
    act hide15
    expect_logged "request 66" 5
    expect_logged "tooltip Kiwi is away" 5
    grep -q "^until=20" "$XDG_CONFIG_HOME/perch/perch-tray.conf" || fail "the time away was not kept"
    before=$(count_logged lively)
    perch=$(companion_pid)
    kill -9 "$perch"
    wait_until 30 eval '[ -n "$(companion_pid)" ] && [ "$(companion_pid)" != "$perch" ]' || fail "the companion was not started again"
    expect_logged "request 66" 60 2
    sleep 6
    [ "$(count_logged lively)" -eq "$before" ] || fail "lively mode went on while the bird was away"
    act show
    expect_logged "request 67" 5
    grep -q "^until=$" "$XDG_CONFIG_HOME/perch/perch-tray.conf" || fail "the time away stayed kept"
    expect_logged "lively" 30 $((before + 1))
    quit_both
    ;;

  restart)
    install_programs 3600 3600
    start_tray_host
    start_tray
    expect_logged "notice 40" 60 2
    # Killed three times, it comes back each time; the fourth time within the
    # minute perch-tray gives up and says so.
    for round in 1 2 3; do
      perch=$(companion_pid)
      kill -9 "$perch"
      wait_until 30 eval '[ -n "$(companion_pid)" ] && [ "$(companion_pid)" != "$perch" ]' ||
        fail "the companion was not started again (round $round)"
      expect_logged "notice 40" 60 $((2 * round + 2))
    done
    kill -9 "$(companion_pid)"
    wait_until 20 grep -q "keeps failing" "$work/tray.err" || fail "perch-tray did not give up"
    expect_logged "tooltip Polly is unwell and has gone" 5
    sleep 2
    [ -z "$(companion_pid)" ] || fail "the companion was started a fourth time"
    tray_alive || fail "perch-tray ended"
    act quit
    wait_until 20 eval '! tray_alive' || fail "perch-tray did not end after Quit Perch"
    ;;

  adopt)
    # A companion that runs already is served as it is, lively mode included.
    install_programs 2 3 $'randomWeight=0\nworkWeight=0\neatWeight=0\ngreetWeight=1'
    "$prog/perch" >"$work/perch.out" 2>&1 &
    perch=$!
    pids+=("$perch")
    wait_until 30 test -S "$XDG_RUNTIME_DIR/perch/TActor" || fail "perch did not start"
    sleep 3  # its start-up notices go out to nobody
    start_tray_host
    start_tray
    expect_logged "tooltip Polly is resting" 20
    [ -z "$(companion_pid)" ] || fail "perch-tray started a second companion"
    expect_logged "lively" 30
    expect_logged "notice 20" 30
    act quit
    wait_until 30 eval '! kill -0 $perch 2>/dev/null' || fail "the companion did not quit"
    wait_until 10 eval '! tray_alive' || fail "perch-tray did not end after the companion"
    ;;

  silent_companion)
    # A "companion" that starts but never answers nor reports its start-up.
    install_programs 2 2
    printf '#!/bin/sh\nexec sleep 600\n' >"$prog/perch"
    start_tray_host
    start_tray
    expect_logged "tray icon shown" 20
    # Datagrams that are no notice of the companion's are passed over; the
    # link still hears the next real one.
    python3 - "$XDG_RUNTIME_DIR/perch/TFrmTuliMain" <<'PY'
import socket, struct, sys
s = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
def send(data): s.sendto(data, sys.argv[1])
head = lambda message, wparam, reserved=0: struct.pack("<IIQq", message, reserved, wparam, 0)
send(head(0x464, 99)); send(head(0x464, 1 << 40)); send(head(0x464, 20, reserved=1))
send(head(0x4A, 0) + struct.pack("<QII", 0, 6, 0) + b"hello\0"); send(b"\x64\x04"); send(b"")
send(head(0x464, 41))
PY
    expect_logged "notice 41" 10
    [ "$(grep -c '^notice' "$work/tray.out")" -eq 1 ] || fail "a datagram that is no notice was taken for one"
    ! logged lively || fail "lively mode asked a companion that never woke up"
    wait_until 60 grep -q "has not woken up" "$work/tray.err" || fail "the silent companion was not reported"
    tray_alive || fail "perch-tray ended"
    fake=$(pgrep -x -P "$tray_pid" sleep)
    act quit
    wait_until 20 eval '! tray_alive' || fail "perch-tray did not end after Quit Perch"
    ! kill -0 "$fake" 2>/dev/null || fail "the silent companion was left running"
    ;;

  button_openbox)
    # The fallback button under a real window manager with workspaces: on
    # every one of them, in no taskbar or pager, above the windows, in the
    # corner of the free area; the notice about it once ever, beside it.
    install_programs 3600 3600
    start_wm openbox
    start_user_window
    start_tray
    expect_logged "fallback button shown" 20
    wait_until 10 eval '[ -n "$(visible_named "^Perch menu")" ]' || fail "no fallback button"
    button=$(visible_named "^Perch menu")
    # The notice is perch-tray's window titled "Perch" (the bird's are the companion's).
    tray_box() {
      local w
      for w in $(xdotool search --onlyvisible --pid "$tray_pid" 2>/dev/null); do
        xprop -id "$w" _NET_WM_NAME 2>/dev/null | grep -q '= "Perch"$' && { echo "$w"; return 0; }
      done
      return 0
    }
    wait_until 10 eval '[ -n "$(tray_box)" ]' || fail "no notice about the missing tray"
    state=$(xprop -id "$button" _NET_WM_STATE)
    # Sticky as the window manager supports it: openbox by the desktop alone.
    wanted="SKIP_TASKBAR SKIP_PAGER ABOVE"
    ! xprop -root _NET_SUPPORTED | grep -q "_NET_WM_STATE_STICKY" || wanted="$wanted STICKY"
    for s in $wanted; do
      grep -q "_NET_WM_STATE_$s" <<<"$state" || fail "the button is not $s: $state"
    done
    xprop -id "$button" _NET_WM_DESKTOP | grep -q "= 4294967295$" ||
      fail "the button is not on all workspaces: $(xprop -id "$button" _NET_WM_DESKTOP)"
    eval "$(xdotool getwindowgeometry --shell "$button")"
    [ $((1280 - X - WIDTH)) -ge 0 ] && [ $((1280 - X - WIDTH)) -le 16 ] &&
      [ $((1024 - Y - HEIGHT)) -ge 0 ] && [ $((1024 - Y - HEIGHT)) -le 16 ] ||
      fail "the button is not in the bottom right corner: $X,$Y ${WIDTH}x$HEIGHT"
    # The notice leaves the user's window active, and the button answers
    # while the notice is still up.
    [ "$(active_window)" = "$user_window" ] || fail "the notice took the focus (active $(active_window))"
    [ "$(xdotool getwindowfocus)" = "$user_window" ] || fail "the notice took the keyboard focus"
    xdotool mousemove $((X + 20)) $((Y + 20)) mousedown 1 mouseup 1
    wait_until 10 menu_open || fail "with the notice up, a click on the button opened no menu"
    shot button-menu
    xdotool key Escape
    wait_until 5 eval '! menu_open' || true
    # On the next workspace the button is still there.
    wmctrl -s 1
    wait_until 5 eval 'xprop -root _NET_CURRENT_DESKTOP | grep -q "= 1$"' || fail "no second workspace"
    sleep 0.5
    xdotool search --onlyvisible --name "^Perch menu" >/dev/null || fail "the button stayed on workspace 1"
    wmctrl -s 0
    expect_logged "notice 40" 60 2
    quit_both
    # Once ever: the next start says it on standard error only.
    start_tray_again() {
      : >"$work/tray.out"  # emptied now, not when the new program starts writing
      : >"$work/tray.err"
      LANG=C.UTF-8 LC_ALL=C.UTF-8 PERCH_TRAY_TEST_ACTIONS=1 "$prog/perch-tray" --verbose <"$work/actions" >"$work/tray.out" 2>"$work/tray.err" &
      tray_pid=$!
      pids+=("$tray_pid")
    }
    start_tray_again
    expect_logged "fallback button shown" 20
    wait_until 5 grep -q "no system tray" "$work/tray.err" || fail "the second start did not say that there is no tray"
    sleep 3
    [ -z "$(tray_box)" ] || fail "the notice was shown a second time"
    expect_logged "notice 40" 60 2
    quit_both
    ;;

  honest_tooltip)
    # The tooltip follows what the user sees before the routine's notice 20:
    # a click wakes the sleeping bird; the game's close box ends the game.
    install_programs 3600 3600
    start_wm openbox
    start_tray_host
    start_tray
    expect_logged "notice 40" 60 2
    expect_logged "tooltip Polly is resting" 10
    act sleep
    expect_logged "tooltip Polly is sleeping" 5
    sleep 4  # into its sleep
    # The bird: the companion's override-redirect window 200 pixels wide.
    bird=""
    for w in $(xdotool search --onlyvisible --pid "$(companion_pid)" 2>/dev/null); do
      if xwininfo -id "$w" | grep -q 'Override Redirect State: yes' && xwininfo -id "$w" | grep -q 'Width: 200$'; then
        bird=$w
      fi
    done
    [ -n "$bird" ] || fail "the bird's window was not found"
    eval "$(xdotool getwindowgeometry --shell "$bird")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) sleep 0.2 click 1
    expect_logged "notice 41" 10
    expect_logged "tooltip Polly is resting" 1 2
    last_tooltip() { grep "^tooltip " "$work/tray.out" | tail -1; }
    [ "$(last_tooltip)" = "tooltip Polly is resting" ] || fail "after the click: $(last_tooltip)"

    act chess
    expect_logged "tooltip Polly is playing chess" 5
    wait_until 15 eval '[ -n "$(visible_named "^Perch — Chess$")" ]' || fail "no game window"
    sleep 2
    wmctrl -c "Perch — Chess"  # the window manager's close box
    wait_until 10 eval '[ -z "$(visible_named "^Perch — Chess$")" ]' || fail "the close box left the game window"
    wait_until 1 eval '[ "$(last_tooltip)" != "tooltip Polly is playing chess" ]' ||
      fail "a second after the close box: $(last_tooltip)"
    quit_both
    ;;

  wayland)
    # A Wayland session (weston, headless) with XWayland: perch-tray, told
    # DISPLAY and WAYLAND_DISPLAY, runs on the X server as the companion does,
    # and its button is in the corner. Skipped (status 77) where weston does
    # not start in its time.
    weston --backend=headless-backend.so --xwayland --socket=wl-perch-tray --width=1280 --height=1024 \
      >"$work/weston.log" 2>&1 &
    pids+=($!)
    wait_until 20 grep -q 'xserver listening on display' "$work/weston.log" ||
      { echo "skip (wayland): weston with XWayland did not start within 20 s: $(tail -3 "$work/weston.log")"; exit 77; }
    export DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" | head -1)
    export WAYLAND_DISPLAY=wl-perch-tray
    install_programs 3600 3600
    start_tray
    expect_logged "fallback button shown" 30
    wait_until 20 eval '[ -n "$(visible_named "^Perch menu")" ]' || fail "no fallback button on the X server"
    button=$(visible_named "^Perch menu")
    # Weston's shell places a managed X window itself, so the corner is
    # read from what the button asked for.
    read -r X Y <<<"$(xprop -id "$button" WM_NORMAL_HINTS | sed -n 's/.*specified location: \([0-9]*\), \([0-9]*\)/\1 \2/p')"
    [ -n "$X" ] && [ $((1280 - X - 48)) -ge 0 ] && [ $((1280 - X - 48)) -le 16 ] &&
      [ $((1024 - Y - 48)) -ge 0 ] && [ $((1024 - Y - 48)) -le 16 ] ||
      fail "the button did not ask for the bottom right corner: $(xprop -id "$button" WM_NORMAL_HINTS)"
    expect_logged "notice 40" 60 2
    quit_both

    # WAYLAND_DISPLAY naming no compositor, and no X server: the reason, and
    # status 1.
    status=0
    env -u DISPLAY WAYLAND_DISPLAY=wl-nobody-here timeout 20 "$prog/perch-tray" >/dev/null 2>"$work/bad.err" || status=$?
    [ "$status" -eq 1 ] && grep -q "no X server (XWayland)" "$work/bad.err" ||
      fail "WAYLAND_DISPLAY without a compositor: status $status, said: $(cat "$work/bad.err")"
    # The compositor is there, the X server is not: the reason on standard
    # error and, where Qt's Wayland platform is installed, in a box on
    # Wayland that a signal closes as its OK does; perch is never started.
    for _ in $(seq 1 50); do
      n=$((200 + RANDOM % 700))
      [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    DISPLAY=":$n" "$prog/perch-tray" >/dev/null 2>"$work/nox.err" &
    nox=$!
    pids+=("$nox")
    wait_until 20 grep -q "cannot reach the X server of DISPLAY=:$n" "$work/nox.err" ||
      fail "no X server: said $(cat "$work/nox.err")"
    sleep 2
    [ -z "$(pgrep -x -P "$nox" perch)" ] || fail "perch-tray started perch without an X server"
    kill -TERM "$nox" 2>/dev/null || true
    wait_until 10 eval '! kill -0 $nox 2>/dev/null' || fail "perch-tray did not end"
    status=0
    wait "$nox" || status=$?
    [ "$status" -eq 1 ] || fail "no X server: status $status, said: $(cat "$work/nox.err")"
    ! grep -q "keeps failing" "$work/nox.err" || fail "perch-tray blamed the companion"
    ;;

  *)
    fail "unknown case"
    ;;
esac
echo "PASS ($case_name)"
