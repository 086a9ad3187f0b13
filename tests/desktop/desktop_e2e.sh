#!/usr/bin/env bash
# Perch on real desktops: the real perch under a window manager (openbox or
# icewm) and a compositor (picom, xcompmgr) started here under Xvfb, on one
# or two monitors, and under weston's XWayland. What is checked is read
# from the X server: mapped windows, the client list, the active window,
# the stacking order and screenshots. One perch per case.
#
#   desktop_e2e.sh BIN_FOLDER CASE
#   CASE: openbox_picom | icewm | monitors | xwayland | hidpi2 | hidpi15 |
#         out_of_way | monitor_gone | game_front_xfwm4 | game_front_kwin |
#         name_dialogs | home_sizes | home_sizes_hidpi2 | home_place | home_away |
#         perching
set -euo pipefail

bin=$(cd "$1" && pwd)
case_name=$2
here=$(cd "$(dirname "$0")" && pwd)
session_prefix=perch-desktop-e2e
source "$here/../companion/e2e_session.sh"

shot_file=$work/shot.png
root=$(printf '%d' "$(xwininfo -root | awk '/Window id/{print $4}')")
# Perch's mapped windows (xdotool may name the root window among them).
perch_mapped() {
  local w
  for w in $(perch_windows); do
    xprop -id "$w" _NET_WM_PID 2>/dev/null | grep -q "= $perch_pid\$" && echo "$w"
  done
  return 0
}
take_shot() { import -window root "$shot_file" 2>/dev/null; }
read_shot() { python3 "$here/desktop_shot.py" "$1" "$shot_file" "${@:2}"; }

# A D-Bus session bus of this test's own, for the window managers that need one.
start_session_bus() {
  dbus-daemon --session --nofork --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
  pids+=($!)
  wait_until 5 test -s "$work/bus" || fail "no D-Bus session bus"
  DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
  export DBUS_SESSION_BUS_ADDRESS NO_AT_BRIDGE=1
}
# A window manager, ready once it announces itself on the root window.
start_wm() {  # openbox | icewm | xfwm4 | kwin_x11
  case $1 in
    openbox) openbox --sm-disable >"$work/wm.log" 2>&1 & ;;
    icewm) icewm >"$work/wm.log" 2>&1 & ;;
    xfwm4)
      # xfwm4 reads its settings over D-Bus (xfconf): a private session bus.
      start_session_bus
      xfwm4 --compositor=off --sm-client-disable >"$work/wm.log" 2>&1 &
      ;;
    kwin_x11)
      start_session_bus
      kwin_x11 >"$work/wm.log" 2>&1 &
      ;;
  esac
  pids+=($!)
  wait_until 20 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
    fail "$1 did not start"
}
compositor_pid=""
compositor_owned() { [ "$(python3 "$here/selection_owner.py" _NET_WM_CM_S0)" != 0 ]; }
start_compositor() {  # COMMAND...: with shadows on, so that one drawn round the bird shows
  "$@" >"$work/compositor.log" 2>&1 &
  compositor_pid=$!
  pids+=("$compositor_pid")
  wait_until 20 compositor_owned || fail "$1 did not start"
  sleep 1  # its first frame
}
stop_compositor() {
  kill "$compositor_pid"
  wait "$compositor_pid" 2>/dev/null || true
  wait_until 10 eval '! compositor_owned' || fail "the compositor did not stop"
}

# A window of the user's that holds the keyboard focus.
user_window=""
start_user_window() {
  xmessage -geometry +40+640 -name perch-user "the user's window" >/dev/null 2>&1 &
  pids+=($!)
  wait_until 10 eval 'user_window=$(xdotool search --sync --onlyvisible --classname perch-user 2>/dev/null | head -1); [ -n "$user_window" ]' ||
    fail "no user window"
  xdotool windowactivate --sync "$user_window" 2>/dev/null || xdotool windowfocus --sync "$user_window"
}
active_window() { xprop -root _NET_ACTIVE_WINDOW | awk '{print $NF}'; }
focus_window() { xdotool getwindowfocus; }
expect_focus_kept() {  # WHEN
  [ "$(focus_window)" = "$user_window" ] || fail "the focus left the user's window $1 (now $(focus_window))"
  [ "$(printf '%d' "$(active_window)")" = "$user_window" ] || fail "_NET_ACTIVE_WINDOW changed $1"
}

# Perch's windows: the bird (200 wide, in the display's pixels
# $bird_width at a higher density), the form (by its title) and any other
# mapped one.
bird_width=200
override_redirect() { xwininfo -id "$1" | grep -q 'Override Redirect State: yes'; }
bird_window() {
  for w in $(perch_mapped); do
    xwininfo -id "$w" | grep -q "Width: $bird_width\$" && override_redirect "$w" && { echo "$w"; return 0; }
  done
  return 1
}
# Waits for the bird's window, then for its show animation to end; fails
# with MESSAGE when it does not come.
bird_shown() {  # MESSAGE
  wait_until 20 bird_window >/dev/null || fail "$1"
  sleep 2
}
form_window() {
  local w
  for w in $(xdotool search --pid "$perch_pid" 2>/dev/null); do
    xprop -id "$w" WM_WINDOW_ROLE 2>/dev/null | grep -q '"perch-game"' && { echo "$w"; return 0; }
  done
  return 0
}
mapped() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
rect() { xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /^  Width/{w=$NF} /^  Height/{h=$NF} END{print x, y, w, h}'; }
# The top-level window under the root that holds a window (its frame).
toplevel() {
  local w=$1 parent
  while :; do
    parent=$(xwininfo -children -id "$w" | awk '/Parent window id/{print $4}')
    [ "$(printf '%d' "$parent")" = "$root" ] && break
    w=$parent
  done
  printf '%d\n' "$w"
}
# Whether window A is stacked above window B (xwininfo lists the root's
# children from the top).
stacked_above() {
  local order
  order=$(xwininfo -root -children | awk '/^     0x/{print $1}' | while read -r id; do printf '%d\n' "$id"; done)
  local ia ib
  ia=$(echo "$order" | grep -nx "$(toplevel "$1")" | cut -d: -f1)
  ib=$(echo "$order" | grep -nx "$(toplevel "$2")" | cut -d: -f1)
  [ -n "$ia" ] && [ -n "$ib" ] && [ "$ia" -lt "$ib" ]
}
overlap() {  # "X Y W H" "X Y W H"
  read -r ax ay aw ah <<<"$1"
  read -r bx by bw bh <<<"$2"
  [ "$ax" -lt $((bx + bw)) ] && [ "$bx" -lt $((ax + aw)) ] && [ "$ay" -lt $((by + bh)) ] && [ "$by" -lt $((ay + ah)) ]
}
listed() { xprop -root _NET_CLIENT_LIST | grep -qi "$(printf '0x%x' "$1")"; }

# After start-up only the bird (and a balloon) is mapped, nothing is listed
# by the window manager, and the focus stayed with the user.
check_startup() {
  start_user_window
  start_perch perch later
  expect_notices 40 2 30
  wait_until 20 bird_window >/dev/null || fail "the bird did not show"
  sleep 1
  for w in $(perch_mapped); do
    override_redirect "$w" || fail "a Perch window other than the bird or its balloon is mapped: $(xwininfo -id "$w" | head -2 | tail -1)"
    ! listed "$w" || fail "the window manager lists a Perch window"
  done
  local form
  form=$(form_window)
  [ -z "$form" ] || ! mapped "$form" || fail "the form is mapped out of sight"
  expect_focus_kept "at start-up"
}

# The game: the form titled and shown, and active as a window the user
# asked for, the bird (and its balloon) beside it and above it, its close
# box doing "Exit".
check_game() {
  "$perchctl" chess || fail "perchctl could not reach the companion"
  wait_until 20 eval 'form=$(form_window); [ -n "$form" ] && mapped "$form"' || fail "the game's window did not show"
  xprop -id "$form" _NET_WM_NAME | grep -q "\"Perch — Chess\"$" || fail "the game's window has no real title: $(xprop -id "$form" _NET_WM_NAME WM_NAME)"
  wait_until 5 eval 'xprop -id "$form" _NET_WM_ICON | grep -q "Icon ("' || fail "the game's window has no icon"
  listed "$form" || fail "the game's window is not a normal managed window"
  wait_until 5 eval '[ "$(printf "%d" "$(active_window)")" = "$form" ]' ||
    fail "the game's window is not active (active $(active_window))"
  local bird board
  bird=$(bird_window)
  # Beside the board while it flies there, speaks and rests.
  for _ in 1 2 3 4 5 6 7 8; do
    board=$(rect "$form")
    ! overlap "$(rect "$bird")" "$board" || fail "the bird at $(rect "$bird") covers the board at $board"
    for w in $(perch_mapped); do
      [ "$w" = "$bird" ] || [ "$w" = "$form" ] || ! overlap "$(rect "$w")" "$board" || fail "the balloon at $(rect "$w") covers the board"
    done
    sleep 0.4
  done
  stacked_above "$bird" "$form" || fail "the bird is not above the game's window"
  shot game
  # The user brings the game's window up and moves it: the bird stays above
  # and follows.
  xdotool windowactivate --sync "$form" 2>/dev/null || xdotool windowraise "$form"
  wait_until 5 stacked_above "$bird" "$form" || fail "the bird stayed below the raised game window"
  read -r before_x _ <<<"$(rect "$bird")"
  xdotool windowmove "$form" 120 200  # asked of the window manager, as a user's move is
  wait_until 10 eval '! overlap "$(rect "$bird")" "$(rect "$form")" && [ "$(rect "$bird" | cut -d" " -f1)" != "$before_x" ]' ||
    fail "the bird did not follow the moved game window (bird $(rect "$bird"), board $(rect "$form"))"
  # Its close box: the game ends as with "Exit", the form is not mapped.
  wmctrl -i -c "$form" || fail "wmctrl could not close the game's window"
  wait_until 10 eval '! mapped "$form"' || fail "the close box did not end the game"
  ! listed "$form" || fail "the window manager still lists the game's window"
  alive || fail "perch ended on the close box"
  # Pagers' requests about the bird, which the window manager leaves alone
  # (it manages no override-redirect window): nothing happens and perch,
  # which sees them on the root window, does not complain.
  wmctrl -i -r "$bird" -e 0,100,100,-1,-1
  xdotool set_desktop_for_window "$bird" 0 2>/dev/null || true
  wmctrl -i -c "$bird"
  sleep 0.5
  alive || fail "perch ended on the window manager's requests about the bird"
  ! grep -i "unhandled client message" "$work/perch.err" || fail "perch warned about the window manager's requests"
}

# Round the bird no shadow or box: its window's corners and a ring round it
# show the desktop, as it shows 40 pixels left of the bird (or the colour
# given, taken there before).
desktop_colour() {
  local x y w h
  read -r x y w h <<<"$(rect "$(bird_window)")"
  take_shot
  read_shot at $((x - 40)) $((y + h / 2))
}
check_no_box() {  # WHEN [DESKTOP-COLOUR]
  local colour=${2:-$(desktop_colour)}
  take_shot
  read_shot ring $(rect "$(bird_window)") "$colour" >/dev/null || { shot box; fail "a shadow or box round the bird $1"; }
}

# The bird's body at its centre, and across its belly, shows the bird's
# colours: neither the desktop's nor the neutral fill of its window.
check_bird_whole() {  # WHEN
  local x y w h desktop point colour
  read -r x y w h <<<"$(rect "$(bird_window)")"
  take_shot
  desktop=$(read_shot at $((x - 40)) $((y + h / 2)))
  for point in "$((x + w / 2)) $((y + h / 2))" "$((x + w / 2)) $((y + h * 7 / 10))" \
    "$((x + w * 6 / 10)) $((y + h * 6 / 10))" "$((x + w / 2)) $((y + h * 8 / 10))"; do
    # shellcheck disable=SC2086
    colour=$(read_shot at $point)
    [ "$colour" != "$desktop" ] && [ "$colour" != 9a8a70 ] ||
      { shot "not-whole"; fail "the bird's body at $point shows $colour $1 (the desktop is $desktop)"; }
  done
}
# A click on its belly gives notice 41, a drag by it moves the bird.
check_bird_takes_input() {  # WHEN
  local x y w h bx by before step
  read -r x y w h <<<"$(rect "$(bird_window)")"
  bx=$((x + w / 2)) by=$((y + h * 6 / 10))
  before=$(count_notices 41)
  xdotool mousemove "$bx" "$by" sleep 0.3 click 1
  wait_until 10 has_notices 41 $((before + 1)) || fail "a click on the bird's belly $1 gave no notice 41"
  sleep 0.5
  xdotool mousemove "$bx" "$by" sleep 0.3 mousedown 1
  for step in 1 2 3 4 5 6; do xdotool mousemove $((bx - step * 20)) $((by - step * 10)) sleep 0.05; done
  xdotool sleep 0.3 mouseup 1
  sleep 0.5
  [ "$(rect "$(bird_window)")" != "$x $y $w $h" ] || fail "a drag by the bird's belly $1 did not move it"
}


# The bird's home: its size, place, voice and time away.
setting() { sed -n "s/^$1=//p" "$prog/config.ini" | head -1; }  # KEY: as the companion kept it
# Each size asked for through perchctl: the window 0.75, 1 or 1.5 times the
# designed 200 x 184, the bird drawn whole over it, a click on it notice 41.
check_size() {  # small|normal|large FACTOR
  local density=${QT_SCALE_FACTOR:-1} w h
  "$perchctl" size "$1" || fail "perchctl size $1 failed"
  bird_width=$(awk -v f="$2" -v d="$density" 'BEGIN { print int(200 * f * d + 0.5) }')
  wait_until 10 bird_window >/dev/null || fail "no bird $bird_width pixels wide at size $1"
  read -r _ _ w h <<<"$(rect "$(bird_window)")"
  [ "$h" -eq "$(awk -v f="$2" -v d="$density" 'BEGIN { print int(184 * f * d + 0.5) }')" ] ||
    fail "the bird at size $1 is $w x $h"
  [ "$(setting size)" = "$1" ] || fail "size $1 was not kept: size=$(setting size)"
  sleep 1
  check_bird_whole "at size $1"
  shot "size-$1"
  check_bird_takes_input "at size $1"
}

# The frame round a client window: its own rectangle grown by the window
# manager's _NET_FRAME_EXTENTS (left, right, top, bottom), "X Y W H".
frame_rect() {
  local x y w h l r t b
  read -r x y w h <<<"$(rect "$1")"
  read -r l r t b <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ,)"
  echo $((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))
}
# The bird's feet (the toes at 100, 175 of its 200 x 184 window) stand on
# the frame's top edge, within a few pixels, inside its width.
on_frame() {  # WINDOW
  local bx by fx fy fw fh
  read -r bx by _ _ <<<"$(rect "$(bird_window)")"
  read -r fx fy fw fh <<<"$(frame_rect "$1")"
  local feet_x=$((bx + 100)) feet_y=$((by + 175))
  [ $((feet_y - fy)) -ge -3 ] && [ $((feet_y - fy)) -le 3 ] && [ "$feet_x" -gt "$fx" ] && [ "$feet_x" -lt $((fx + fw)) ]
}
describe_perch() { echo "bird $(rect "$(bird_window)"), frame $(frame_rect "$1")"; }
# Each behaviour between the routines ends with notice 20.
check_behaviours_end() {
  local command before
  for command in hop look preen chatter; do
    before=$(count_notices 20)
    "$perchctl" "$command" || fail "perchctl $command could not reach the companion"
    expect_notices 20 $((before + 1)) 30
  done
}

case "$case_name" in
  perching)
    # Perched on an xterm of known geometry under openbox: feet on its
    # frame's top, going along when it moves, off to a free place when it
    # closes; the focus stays with the xterm.
    start_wm openbox
    start_perch perch later
    expect_notices 40 2 30
    wait_until 20 bird_window >/dev/null || fail "the bird did not show"
    xterm -geometry 80x24+300+400 -name perch-xterm -e sleep 600 >/dev/null 2>&1 &
    xterm_pid=$!
    pids+=("$xterm_pid")
    wait_until 10 eval 'term=$(xdotool search --sync --onlyvisible --classname perch-xterm 2>/dev/null | head -1); [ -n "$term" ]' ||
      fail "no xterm"
    xdotool windowactivate --sync "$term" 2>/dev/null || true
    wait_until 5 eval '[ "$(printf "%d" "$(active_window)")" = "$term" ]' || fail "the xterm is not active"
    before=$(count_notices 20)
    "$perchctl" perch || fail "perchctl perch could not reach the companion"
    expect_notices 20 $((before + 1)) 30
    on_frame "$term" || fail "not perched on the xterm's frame: $(describe_perch "$term")"
    [ "$(printf "%d" "$(active_window)")" = "$term" ] || fail "perching took the xterm's focus"
    sleep 1
    on_frame "$term" || fail "the bird left the xterm's frame: $(describe_perch "$term")"
    shot perched-xterm
    # Moved by the window manager, as a user's drag is: the bird goes along
    # within a second.
    xdotool windowmove "$term" 520 300
    wait_until 1 on_frame "$term" || fail "the bird did not follow the moved xterm: $(describe_perch "$term")"
    xdotool windowsize "$term" 500 300
    wait_until 1 on_frame "$term" || fail "the bird did not follow the resized xterm: $(describe_perch "$term")"
    check_behaviours_end
    # The hop took it along the edge: still on the frame.
    wait_until 5 on_frame "$term" || fail "the bird left the frame with its hop: $(describe_perch "$term")"
    # Another window over its place: it flies off, clear of the xterm.
    # Then back on a decorated window of another program.
    xmessage -geometry 400x120+600+260 -name perch-cover "over the bird" >/dev/null 2>&1 &
    pids+=($!)
    wait_until 10 eval 'cover=$(xdotool search --sync --onlyvisible --classname perch-cover 2>/dev/null | head -1); [ -n "$cover" ]' ||
      fail "no covering window"
    wait_until 10 eval '! overlap "$(rect "$(bird_window)")" "$(frame_rect "$term")"' ||
      fail "the bird stayed on the xterm under another window: $(describe_perch "$term")"
    xdotool windowmove "$cover" 200 500
    xdotool windowactivate --sync "$cover" 2>/dev/null || true
    sleep 1
    before=$(count_notices 20)
    "$perchctl" perch || fail "perchctl perch could not reach the companion"
    expect_notices 20 $((before + 1)) 30
    on_frame "$cover" || fail "not perched on the active decorated window: $(describe_perch "$cover")"
    shot perched-decorated
    xdotool windowkill "$cover"
    wait_until 10 eval 'read -r x y w h <<<"$(rect "$(bird_window)")"; [ "$x" -ge 0 ] && [ $((x + w)) -le 1280 ] && [ "$y" -ge 0 ] && [ $((y + h)) -le 1024 ] && ! on_frame "$term"' ||
      fail "the bird did not fly to a free place when its window closed: $(rect "$(bird_window)")"
    # Perched on the xterm again; closing it sends the bird to a free place,
    # where it stays.
    xdotool windowactivate --sync "$term" 2>/dev/null || true
    "$perchctl" perch
    wait_until 30 on_frame "$term" || fail "not perched on the xterm again: $(describe_perch "$term")"
    old=$(frame_rect "$term")
    kill "$xterm_pid"
    wait_until 10 eval '! overlap "$(rect "$(bird_window)")" "$old"' ||
      fail "the bird stayed where the closed xterm was: $(rect "$(bird_window)")"
    sleep 3
    landed=$(rect "$(bird_window)")
    sleep 1
    [ "$(rect "$(bird_window)")" = "$landed" ] || fail "the bird did not settle after the window closed"
    alive || fail "perch ended"
    ! grep -i "xcb error" "$work/perch.err" || fail "perch reported X errors"
    quit_and_end 15
    ;;
  openbox_picom)
    start_wm openbox
    start_compositor picom -c --shadow-radius 12 --shadow-opacity 0.9
    check_startup
    desktop=$(desktop_colour)
    check_no_box "under picom" "$desktop"
    stop_compositor
    sleep 1
    check_no_box "after picom stopped"
    start_compositor picom -c --shadow-radius 12 --shadow-opacity 0.9
    check_no_box "after picom came back" "$desktop"
    check_game
    quit_and_end 15
    ;;
  icewm)
    # xcompmgr running as perch starts (it shadows the first map of a new
    # window), then none: the bird is cut out by its shape, never a box.
    start_wm icewm
    start_compositor xcompmgr -c
    check_startup
    desktop=$(desktop_colour)
    check_no_box "under xcompmgr" "$desktop"
    stop_compositor
    sleep 1
    check_no_box "without a compositor"
    check_game
    quit_and_end 15
    ;;
  monitors)
    # One X screen split in two monitors, the primary on the right and
    # lower: the bird starts on it, and a drag off its edge is pulled back.
    # The left one takes the screen's output, whose own monitor goes.
    xrandr --setmonitor left 640/169x1024/271+0+0 screen >/dev/null
    xrandr --setmonitor '*right' 640/169x768/203+640+256 none >/dev/null
    xrandr --listmonitors | grep -q 'Monitors: 2' || fail "the monitors were not set: $(xrandr --listmonitors)"
    start_wm openbox
    start_perch perch later
    expect_notices 40 2 30
    wait_until 20 bird_window >/dev/null || fail "the bird did not show"
    inside_primary() {
      local x y w h
      read -r x y w h <<<"$(rect "$(bird_window)")"
      [ "$x" -ge 640 ] && [ "$y" -ge 256 ] && [ $((x + w)) -le 1280 ] && [ $((y + h)) -le 1024 ]
    }
    inside_primary || fail "the bird at $(rect "$(bird_window)") started outside the primary monitor"
    # A drag by the belly far past the right edge and below the screen.
    read -r x y w h <<<"$(rect "$(bird_window)")"
    bx=$((x + w / 2)) by=$((y + h * 7 / 10))
    xdotool mousemove "$bx" "$by" sleep 0.3 mousedown 1
    for step in 1 2 3 4 5 6 7 8; do xdotool mousemove $((bx + step * 40)) $((by + step * 60)) sleep 0.05; done
    xdotool sleep 0.3 mouseup 1
    sleep 0.5
    shot dragged
    [ "$(rect "$(bird_window)")" != "$x $y $w $h" ] || fail "the drag did not move the bird"
    inside_primary || fail "the drag left the bird at $(rect "$(bird_window)"), off the monitor"
    # A second start says so and ends well; one in a Wayland session without
    # an X server says why it cannot run.
    status=0
    "$prog/perch" >"$work/second.out" 2>"$work/second.err" || status=$?
    [ "$status" -eq 0 ] && [ "$(cat "$work/second.err")" = "Perch is already running" ] ||
      fail "a second start ended with $status and said: $(cat "$work/second.err")"
    status=0
    env -u DISPLAY WAYLAND_DISPLAY=wayland-perch-test "$prog/perch" 2>"$work/wayland.err" || status=$?
    [ "$status" -eq 1 ] && grep -q 'no X server' "$work/wayland.err" ||
      fail "without an X server: status $status, said: $(cat "$work/wayland.err")"
    quit_and_end 15
    ;;
  game_front_xfwm4 | game_front_kwin)
    # A game asked for while the user works in an xterm: the game's window
    # comes up active, where a window manager that prevents focus stealing
    # would have put it below the xterm. Perch starting takes no focus.
    if [ "$case_name" = game_front_xfwm4 ]; then start_wm xfwm4; else start_wm kwin_x11; fi
    xterm -geometry 80x24+40+600 -name perch-user >/dev/null 2>&1 &
    pids+=($!)
    wait_until 10 eval 'user_window=$(xdotool search --onlyvisible --classname perch-user 2>/dev/null | head -1); [ -n "$user_window" ]' ||
      fail "no xterm"
    xdotool windowactivate --sync "$user_window" 2>/dev/null || fail "the xterm could not be activated"
    sleep 0.5
    start_perch perch later
    expect_notices 40 2 30
    wait_until 20 bird_window >/dev/null || fail "the bird did not show"
    sleep 1
    [ "$(xdotool getactivewindow)" = "$user_window" ] || fail "perch's start took the focus from the xterm"
    "$perchctl" chess || fail "perchctl could not reach the companion"
    wait_until 20 eval 'form=$(form_window); [ -n "$form" ] && mapped "$form"' || fail "the game's window did not show"
    wait_until 5 eval '[ "$(xdotool getactivewindow)" = "$form" ]' ||
      fail "the game's window is not active (active $(xdotool getactivewindow), xterm $user_window)"
    stacked_above "$form" "$user_window" || fail "the game's window is below the xterm"
    shot game-front
    quit_and_end 15
    ;;
  xwayland)
    # A Wayland session (weston, headless) with XWayland: perch, told only
    # WAYLAND_DISPLAY and DISPLAY, runs on the X server by itself. Skipped
    # (status 77) where weston does not start in its time.
    weston --backend=headless-backend.so --xwayland --socket=wl-perch --width=1280 --height=1024 \
      >"$work/weston.log" 2>&1 &
    pids+=($!)
    wait_until 20 grep -q 'xserver listening on display' "$work/weston.log" ||
      { echo "skip (xwayland): weston with XWayland did not start within 20 s: $(tail -3 "$work/weston.log")"; exit 77; }
    export DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" | head -1)
    export WAYLAND_DISPLAY=wl-perch
    start_perch perch later
    expect_notices 40 2 60
    wait_until 30 bird_window >/dev/null || fail "the bird did not show on XWayland"
    expect_answers
    quit_and_end 15
    ;;
  hidpi2 | hidpi15)
    # A display of twice (or one and a half times) the density: the bird's
    # window is larger in the display's pixels, and all of it is drawn and
    # takes clicks, blended by picom and cut out by its shape without one.
    if [ "$case_name" = hidpi2 ]; then export QT_SCALE_FACTOR=2; else export QT_SCALE_FACTOR=1.5; fi
    bird_width=$(awk -v f="$QT_SCALE_FACTOR" 'BEGIN { print int(200 * f + 0.5) }')
    start_wm openbox
    start_compositor picom -c --shadow-radius 12 --shadow-opacity 0.9
    start_perch perch later
    expect_notices 40 2 30
    bird_shown "the bird did not show at $bird_width pixels wide"
    check_bird_whole "under picom"
    check_bird_takes_input "under picom"
    stop_compositor
    sleep 1
    check_bird_whole "without a compositor"
    check_bird_takes_input "without a compositor"
    quit_and_end 15
    ;;
  out_of_way)
    # Above managed windows, below other programs' popups, and away while a
    # full-screen window covers its monitor.
    start_wm openbox
    start_user_window
    start_perch perch later
    expect_notices 40 2 30
    bird_shown "the bird did not show"
    bird=$(bird_window)
    read -r x y w h <<<"$(rect "$bird")"
    # Another program's popup over the bird stays above it, also when a
    # managed window comes up.
    python3 -c 'import tkinter as t; r = t.Tk(className="perchpopup"); r.overrideredirect(1); r.geometry("'"$((w / 2))x$((h / 2))+$((x + w / 4))+$((y + h / 4))"'"); r.mainloop()' &
    pids+=($!)
    popup=""
    wait_until 10 eval 'popup=$(xdotool search --onlyvisible --classname perchpopup 2>/dev/null | head -1); [ -n "$popup" ]' ||
      fail "no popup"
    sleep 0.5
    xdotool windowactivate --sync "$user_window" 2>/dev/null || xdotool windowraise "$user_window"
    xdotool windowmove "$user_window" 60 600
    sleep 1.5
    stacked_above "$popup" "$bird" || fail "the bird stands above another program's popup"
    stacked_above "$bird" "$user_window" || fail "the bird is not above the user's window"
    "$perchctl" greet || fail "perchctl could not reach the companion"
    sleep 1.5
    stacked_above "$popup" "$bird" || fail "the bird rose above another program's popup when it spoke"
    # A full-screen window: the bird is not mapped above it, and is back once
    # it ends.
    xdotool windowactivate --sync "$user_window" 2>/dev/null || true
    wmctrl -i -r "$user_window" -b add,fullscreen || fail "wmctrl could not make the window full screen"
    wait_until 5 eval '! mapped "$bird"' || fail "the bird stayed over a full-screen window"
    sleep 1
    ! mapped "$bird" || fail "the bird came back over the full-screen window"
    for w in $(perch_mapped); do
      ! overlap "$(rect "$w")" "0 0 1280 1024" || fail "a Perch window is mapped over the full-screen window"
    done
    wmctrl -i -r "$user_window" -b remove,fullscreen || fail "wmctrl could not end full screen"
    wait_until 5 mapped "$bird" || fail "the bird did not come back after full screen"
    sleep 0.5
    stacked_above "$bird" "$user_window" || fail "the bird came back below the user's window"
    quit_and_end 15
    ;;
  name_dialogs)
    # The first run's name dialogs under openbox on two monitors: each opens
    # beside the bird (its frame clear of the bird's window), whole on the
    # bird's monitor, with the balloon that asks for the name still up.
    xrandr --setmonitor left 640/169x1024/271+0+0 screen >/dev/null
    xrandr --setmonitor '*right' 640/169x768/203+640+256 none >/dev/null
    start_wm openbox
    start_perch perch
    on_a_monitor() {  # "X Y W H": whole on one monitor
      local x y w h
      read -r x y w h <<<"$1"
      [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 640 ] && [ $((y + h)) -le 1024 ] && return 0
      [ "$x" -ge 640 ] && [ "$y" -ge 256 ] && [ $((x + w)) -le 1280 ] && [ $((y + h)) -le 1024 ]
    }
    balloon_up() {  # prints the balloon's window
      local w bird
      bird=$(bird_window) || return 1
      for w in $(perch_mapped); do
        [ "$w" != "$bird" ] && override_redirect "$w" && echo "$w" && return 0
      done
      return 1
    }
    for name in Polly Ann; do
      wait_until 60 found_window perch-name || fail "no name dialog for $name"
      sleep 1  # placed again once its frame is known
      dialog=$(rect "$(toplevel "$window")")
      bird=$(rect "$(bird_window)")
      echo "name dialog frame at $dialog, the bird at $bird" >&2
      ! overlap "$dialog" "$bird" || fail "the name dialog at $dialog lies under the bird at $bird"
      on_a_monitor "$dialog" || fail "the name dialog at $dialog is not whole on a monitor"
      on_a_monitor "$bird" || fail "the bird at $bird is not whole on a monitor"
      sleep 8  # past the time the asking line's balloon stayed
      balloon=$(balloon_up) || fail "the balloon asking for the name went while its dialog was open"
      ! overlap "$dialog" "$(rect "$balloon")" || fail "the balloon at $(rect "$balloon") covers the name dialog at $dialog"
      press "$window" type --delay 30 "$name"
      xdotool key Return
      wait_until 5 gone "$window" || fail "the name dialog did not close"
    done
    expect_notices 40 2 30
    quit_and_end 15
    ;;
  monitor_gone)
    # The bird on the right monitor, which shrinks and then goes away: it
    # moves at once onto what remains.
    xrandr --setmonitor left 640/169x1024/271+0+0 screen >/dev/null
    xrandr --setmonitor '*right' 640/169x768/203+640+256 none >/dev/null
    start_wm openbox
    start_perch perch later
    expect_notices 40 2 30
    bird_shown "the bird did not show"
    read -r x y w h <<<"$(rect "$(bird_window)")"
    [ "$x" -ge 640 ] || fail "the bird at $x $y did not start on the right monitor"
    # It shrinks to a narrow strip at its left (a new monitor there, then the
    # old one gone): the bird moves onto the strip.
    xrandr --setmonitor strip 320/85x768/203+640+256 none >/dev/null
    xrandr --delmonitor right >/dev/null
    on_strip() {
      read -r x y w h <<<"$(rect "$(bird_window)")"
      [ "$x" -ge 640 ] && [ "$y" -ge 256 ] && [ $((x + w)) -le 960 ] && [ $((y + h)) -le 1024 ]
    }
    wait_until 5 on_strip || fail "the bird stayed at $(rect "$(bird_window)") when its monitor shrank"
    xrandr --delmonitor strip >/dev/null
    on_left() {
      read -r x y w h <<<"$(rect "$(bird_window)")"
      [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 640 ] && [ $((y + h)) -le 1024 ]
    }
    wait_until 5 on_left || fail "the bird stayed at $(rect "$(bird_window)") when its monitor went"
    alive || fail "perch ended when a monitor went"
    quit_and_end 15
    ;;
  home_sizes | home_sizes_hidpi2)
    # Small, large and normal under openbox, shaped (no compositor); at
    # twice the density blended by picom. The size is kept: a second perch
    # starts large, where the last drag left the bird.
    start_wm openbox
    if [ "$case_name" = home_sizes_hidpi2 ]; then
      export QT_SCALE_FACTOR=2
      bird_width=400
      start_compositor picom -c --shadow-radius 12 --shadow-opacity 0.9
    fi
    start_perch perch later
    expect_notices 40 2 30
    bird_shown "the bird did not show"
    check_size small 0.75
    check_size large 1.5
    [ "$case_name" = home_sizes ] || { quit_and_end 15; echo "ok ($case_name)"; exit 0; }
    check_size normal 1
    check_size large 1.5
    kept=$(rect "$(bird_window)")
    quit_and_end 15
    [ "$(setting size)" = large ] && [ -n "$(setting left)" ] && [ -n "$(setting top)" ] ||
      fail "config.ini after the drags: $(cat "$prog/config.ini")"
    start_perch
    bird_shown "the bird did not start large"
    [ "$(rect "$(bird_window)")" = "$kept" ] || fail "the bird started at $(rect "$(bird_window)"), not at $kept"
    quit_and_end 15
    ;;
  home_place)
    # Two monitors: the bird dragged onto the left one is there at the next
    # start; with the left monitor gone it starts whole on the primary one.
    xrandr --setmonitor left 640/169x1024/271+0+0 screen >/dev/null
    xrandr --setmonitor '*right' 640/169x768/203+640+256 none >/dev/null
    start_wm openbox
    start_perch perch later
    expect_notices 40 2 30
    bird_shown "the bird did not show"
    read -r x y w h <<<"$(rect "$(bird_window)")"
    bx=$((x + w / 2)) by=$((y + h * 7 / 10))
    xdotool mousemove "$bx" "$by" sleep 0.3 mousedown 1
    for step in 1 2 3 4 5 6 7 8 9 10; do xdotool mousemove $((bx - step * 60)) $((by - step * 8)) sleep 0.05; done
    xdotool sleep 0.3 mouseup 1
    sleep 1
    kept=$(rect "$(bird_window)")
    read -r x _ _ _ <<<"$kept"
    [ "$x" -lt 640 ] || fail "the drag left the bird at $kept, not on the left monitor"
    wait_until 5 eval '[ "$(setting monitor)" = left ]' || fail "the place was not kept: $(cat "$prog/config.ini")"
    quit_and_end 15
    start_perch
    bird_shown "the bird did not show again"
    [ "$(rect "$(bird_window)")" = "$kept" ] || fail "the bird came back at $(rect "$(bird_window)"), not at $kept"
    quit_and_end 15
    xrandr --delmonitor left >/dev/null
    start_perch
    bird_shown "the bird did not show with one monitor"
    read -r x y w h <<<"$(rect "$(bird_window)")"
    [ "$x" -ge 640 ] && [ "$y" -ge 256 ] && [ $((x + w)) -le 1280 ] && [ $((y + h)) -le 1024 ] ||
      fail "with its monitor gone the bird started at $x $y $w $h, not whole on the primary one"
    quit_and_end 15
    ;;
  home_away)
    # Volume and mute, recorded by ALSA's file device; the bird sent away
    # and back through perchctl, routine requests answered at once meanwhile.
    export PERCH_AUDIO_DEVICE="file:'$work/voice.raw',raw"
    start_wm openbox
    start_perch perch later
    expect_notices 40 2 30
    wait_until 20 bird_window >/dev/null || fail "the bird did not show"
    line="It is so nice to meet you!"
    loudness() { python3 -c 'import array,sys; a=array.array("h"); a.frombytes(open(sys.argv[1],"rb").read()); print(max(abs(v) for v in a) if a else 0)' "$1"; }
    say_recorded() {  # FILE: the line spoken, its sound kept in FILE
      rm -f "$work/voice.raw"
      "$perchctl" say "$line" || fail "perchctl say failed"
      sleep 5
      cp "$work/voice.raw" "$1" 2>/dev/null || : >"$1"
    }
    say_recorded "$work/full.raw"
    "$perchctl" volume 25 || fail "perchctl volume failed"
    say_recorded "$work/quarter.raw"
    full=$(loudness "$work/full.raw") quarter=$(loudness "$work/quarter.raw")
    echo "peak at volume 100: $full, at 25: $quarter" >&2
    [ "$full" -gt 2000 ] && [ $((quarter * 100)) -ge $((full * 20)) ] && [ $((quarter * 100)) -le $((full * 30)) ] ||
      fail "volume 25 gave a peak of $quarter against $full"
    "$perchctl" mute || fail "perchctl mute failed"
    rm -f "$work/voice.raw"
    "$perchctl" say "$line"
    wait_until 5 more_windows_than 1 || fail "no balloon while muted"
    sleep 4
    [ ! -s "$work/voice.raw" ] || fail "the muted bird was heard"
    [ "$(setting mute)" = 1 ] && [ "$(setting volume)" = 25 ] || fail "mute and volume not kept: $(cat "$prog/config.ini")"
    "$perchctl" unmute
    home=$(rect "$(bird_window)")
    bird=$(bird_window)
    "$perchctl" hide || fail "perchctl hide failed"
    wait_until 10 eval '! mapped "$bird"' || fail "the bird did not fly away"
    shot away
    before=$(count_notices 20)
    "$perchctl" greet
    expect_notices 20 $((before + 1)) 2
    "$perchctl" say "Nobody hears this"
    sleep 1
    for w in $(perch_mapped); do fail "a window of the bird shows while it is away: $(rect "$w")"; done
    "$perchctl" show || fail "perchctl show failed"
    wait_until 10 eval 'mapped "$bird" && [ "$(rect "$bird")" = "$home" ]' ||
      fail "the bird did not come back to $home (at $(rect "$bird"))"
    expect_answers
    quit_and_end 15
    ;;
  *) fail "unknown case" ;;
esac
echo "ok ($case_name)"
