# Shared by the end-to-end scripts (sourced, not run): a scratch folder, failure counting,
# a private X server, and cleanup of the program and the server on any exit.

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
failures=0

cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 2' INT TERM HUP

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Starts Xvfb on a free display number (Xvfb picks it and writes it to fd 3) and exports
# DISPLAY; ends the script when the server does not come up. Arguments go to Xvfb.
start_x_server() {
  Xvfb -displayfd 3 "$@" -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  if ! [ -s "$work/display" ]; then
    echo "FAIL: Xvfb did not start"
    cat "$work/xvfb.log"
    exit 1
  fi
  export DISPLAY=":$(head -n1 "$work/display")"
}

# Starts the viewer ($bin) with the given arguments, its console to $work/NAME.out and
# NAME.err, sets app_pid, and waits up to 30 s for its window, whose id goes to wid.
# Returns 1 when no window appears, or the program ends first.
start_viewer() {
  local name=$1
  shift
  "$bin" "$@" >"$work/$name.out" 2>"$work/$name.err" &
  app_pid=$!
  wid=""
  for _ in $(seq 1 300); do
    wid=$(xdotool search --name '^Brackenholmer$' 2>/dev/null | head -n1)
    [ -n "$wid" ] && return 0
    kill -0 "$app_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
