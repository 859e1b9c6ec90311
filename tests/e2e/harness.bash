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

# run NAME STATUS LAST-LINE ARGS...: the program ($bin) with no DISPLAY, in $run_dir ($work
# unless set), its console to $work/NAME.out; the status and the last console line must be
# as given.
run() {
  local name=$1 status=$2 line=$3
  shift 3
  (cd "${run_dir:-$work}" && env -u DISPLAY "$bin" "$@") >"$work/$name.out" 2>&1
  local got=$?
  [ "$got" -eq "$status" ] || fail "$name: status $got, expected $status"
  local last
  last=$(grep -v '^$' "$work/$name.out" | tail -n 1)
  [ "$last" = "$(printf '\t%s' "$line")" ] || fail "$name: last line '$last', expected '$line'"
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

# True when the viewer ($app_pid) holds a connection to our X server: one of its sockets has
# its other end in the server's process, as ss lists them (local and peer inode in columns
# 6 and 8).
app_connected() {
  ss -xpn 2>/dev/null | awk -v app="pid=$app_pid," -v server="pid=$xvfb_pid," '
    index($0, app) { peer[$8] = 1 }
    index($0, server) { own[$6] = 1 }
    END { for (i in peer) if (i in own) exit 0; exit 1 }'
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
  # No client of ours touches the server before the program holds a connection to it: a
  # server whose last client leaves resets, and one resetting refuses the program.
  for _ in $(seq 1 300); do
    app_connected && break
    kill -0 "$app_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  for _ in $(seq 1 300); do
    wid=$(xdotool search --name '^Brackenholmer$' 2>/dev/null | head -n1)
    [ -n "$wid" ] && return 0
    kill -0 "$app_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Pictures and input, for scripts that set $wid (start_viewer) and may set $keep, a folder
# to keep the shots in.
shot() {  # the window's picture into $work/$1.png
  import -window root "$work/root.png" 2>/dev/null
  convert "$work/root.png" -crop 1024x768+50+50 +repage "$work/$1.png"
  if [ -n "${keep:-}" ]; then cp "$work/$1.png" "$keep/"; fi
}
# "r g b" of one pixel.
pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
}
# ImGui's header colour: clearly blue, unlike the black sky and the green-brown terrain.
is_header() {
  local r g b
  read -r r g b < <(pixel "$1" "$2" "$3")
  [ "$b" -ge $((r + 30)) ] && [ "$b" -ge $((g + 15)) ]
}
lit_fraction() {
  convert "$1" -crop "$2" +repage -fuzz 5% -fill black -opaque black -fill white +opaque black \
    -colorspace gray -format '%[fx:mean]' info:
}
# Pixels that differ by more than 10% between two pictures, in a region.
changed_pixels() {
  convert "$1" -crop "$3" +repage "$work/a.png"
  convert "$2" -crop "$3" +repage "$work/b.png"
  compare -metric AE -fuzz 10% "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1
}
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }
move() { xdotool mousemove --window "$wid" "$1" "$2"; }
# Press and release with nothing in between.
quick_click() { xdotool mousemove --window "$wid" "$1" "$2" mousedown 1 mouseup 1; }
# Left drag in small steps.
drag() {
  local x0=$1 y0=$2 x1=$3 y1=$4 i
  move "$x0" "$y0"
  sleep 0.3
  xdotool mousedown 1
  for i in 1 2 3 4 5 6 7 8 9 10; do
    move $((x0 + (x1 - x0) * i / 10)) $((y0 + (y1 - y0) * i / 10))
    sleep 0.05
  done
  sleep 0.3
  xdotool mouseup 1
}
# Polls until the named check passes; gives up after 60 seconds (a loaded machine).
wait_for() {
  local deadline=$((SECONDS + 60))
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.3
  done
}

# Waits up to 20 s for the viewer to end after $1 (what ended it) and expects status 0.
expect_clean_exit() {
  local status=""
  for _ in $(seq 1 100); do
    if ! kill -0 "$app_pid" 2>/dev/null; then
      wait "$app_pid"
      status=$?
      app_pid=""
      break
    fi
    sleep 0.2
  done
  if [ -z "$status" ]; then
    fail "$1 did not end the viewer"
  elif [ "$status" -ne 0 ]; then
    fail "$1 ended the viewer with status $status"
  else
    echo "$1 ended the viewer with status 0"
  fi
}
