#!/bin/bash
# The window's life outside the picture: without a display the program says so in one line
# and ends with status 1; under an X server it follows a resize, and closing the window
# through the window manager's protocol ends the process with status 0.
# Usage: window_close.sh <brackenholmer binary> <repository root>
set -u

bin=$1
root=$2
grid="$root/data/jacksboro_403x344.asc"

source "$(dirname "$0")/harness.bash"

# --- No display -----------------------------------------------------------------------
env -u DISPLAY "$bin" "$grid" >"$work/nodisplay.out" 2>"$work/nodisplay.err"
status=$?
[ $status -eq 1 ] || fail "without DISPLAY: exit status $status, expected 1"
grep -qx '	No display found: Brackenholmer needs a graphical desktop (DISPLAY is not set).' "$work/nodisplay.out" ||
  fail "without DISPLAY: no clear report: $(cat "$work/nodisplay.out" "$work/nodisplay.err")"
grep -q 'was loaded succesfully.' "$work/nodisplay.out" || fail "without DISPLAY: the grid was not loaded first"
[ -s "$work/nodisplay.err" ] && fail "without DISPLAY: library errors: $(cat "$work/nodisplay.err")"

DISPLAY=:4711 "$bin" "$grid" >"$work/baddisplay.out" 2>"$work/baddisplay.err"
status=$?
[ $status -eq 1 ] || fail "with an unreachable display: exit status $status, expected 1"
grep -qx '	No display found: Brackenholmer needs a graphical desktop (cannot open the display :4711).' \
  "$work/baddisplay.out" || fail "with an unreachable display: no clear report: $(cat "$work/baddisplay.out")"

# --- Under an X server ----------------------------------------------------------------
# A small client that asks a window to close the way a window manager does.
cat >"$work/close.c" <<'CODE'
#include <X11/Xlib.h>
#include <stdlib.h>
int main(int argc, char** argv) {
  Display* d = XOpenDisplay(NULL);
  if (!d || argc < 2) return 1;
  Window w = (Window)strtoul(argv[1], NULL, 0);
  XEvent e = {0};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &e);
  XCloseDisplay(d);
  return 0;
}
CODE
if ! cc -o "$work/close" "$work/close.c" $(pkg-config --cflags --libs x11) 2>"$work/cc.err"; then
  fail "cannot build the close helper: $(cat "$work/cc.err")"
  exit 1
fi

start_x_server

if ! start_viewer run "$grid"; then
  fail "no window titled Brackenholmer appeared: $(cat "$work/run.out" "$work/run.err")"
  exit 1
fi

# A resize is followed at once: the terrain is drawn into the new size, centred in it.
xdotool windowsize "$wid" 800 600
deadline=$((SECONDS + 60))
while :; do
  import -window "$wid" "$work/resized.png" 2>/dev/null
  size=$(identify -format '%wx%h' "$work/resized.png" 2>/dev/null)
  centre=$(convert "$work/resized.png" -crop 300x120+250+280 +repage -colorspace gray -threshold 5% \
    -format '%[fx:mean]' info: 2>/dev/null)
  [ "$size" = "800x600" ] && awk -v c="${centre:-0}" 'BEGIN { exit !(c > 0.95) }' && break
  [ $SECONDS -ge $deadline ] && break
  sleep 0.5
done
[ "$size" = "800x600" ] || fail "the window was not resized to 800 x 600 ($size)"
awk -v c="${centre:-0}" 'BEGIN { exit !(c > 0.95) }' || fail "after the resize the terrain is not in the middle ($centre)"

# Closing the window ends the main loop and the program, with status 0.
"$work/close" "$wid" || fail "could not send the close request"
status=""
for _ in $(seq 1 200); do
  if ! kill -0 "$app_pid" 2>/dev/null; then
    wait "$app_pid"
    status=$?
    break
  fi
  sleep 0.1
done
if [ -z "$status" ]; then
  fail "the program did not end after its window was closed"
else
  app_pid=""
  [ "$status" -eq 0 ] || fail "closing the window ended the program with status $status: $(cat "$work/run.err")"
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all window life checks passed"
