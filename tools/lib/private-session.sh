# Sourced by the companion's end-to-end tests and the demo: a private session
# for the real programs, so that nothing of the user's desktop, settings or
# message link is touched and parallel runs do not meet. It makes the work
# folder $work (with prog/ and home/), a runtime folder of mode 0700, a home
# and config folder, and removes it all, with every process in $pids and the
# Xvfb, when the script ends.
#
# Set session_prefix (the work folder's name) before sourcing.

work=$(mktemp -d "/tmp/${session_prefix:-perch-session}.XXXXXX")
prog=$work/prog
mkdir -p "$prog" "$work/home"
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
export HOME=$work/home XDG_CONFIG_HOME=$work/config
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
pids=()
xvfb_pid=""

session_cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap session_cleanup EXIT

# Starts Xvfb on a free display number and exports DISPLAY; returns 1 when
# no display could be started.
start_xvfb() {
  local n
  for _ in $(seq 1 50); do
    n=$((200 + RANDOM % 700))
    if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then continue; fi
    Xvfb ":$n" -screen 0 1280x1024x24 -noreset -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 50); do
      if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then export DISPLAY=":$n"; return 0; fi
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  return 1
}
