#!/bin/bash
# Drives the real viewer's view keys with xdotool under its own X server: after a wild drag
# Home brings the start picture back, h shows and hides the help card, wheel notches over
# the view fly towards the terrain, and Esc ends the process with status 0.
# Usage: view_keys.sh <brackenholmer binary> <repository root> [directory to keep the shots]
set -u

bin=$1
root=$2
keep=${3:-}
grid="$root/data/jacksboro_403x344.asc"

source "$(dirname "$0")/harness.bash"

start_x_server

# The window is 1024 x 768 at (50, 50); the middle of the 3-D view, clear of the overlay
# text and the closed panel.
middle="700x350+162+250"

lit_fraction() {
  convert "$1" -crop "$2" +repage -colorspace gray -threshold 5% -format '%[fx:mean]' info:
}
# Pixels of a region that are pure white: the help card's text.
white_pixels() {
  convert "$1" -crop "$2" +repage -fill black +opaque white -fill white -opaque white \
    -colorspace gray -format '%[fx:int(mean*w*h+0.5)]' info:
}

if ! start_viewer app "$grid"; then
  echo "FAIL: no window titled Brackenholmer appeared"; cat "$work/app.out" "$work/app.err"; exit 1
fi
move 512 300

# Two pictures in a row alike: the mesh is built and the start view drawn.
started() {
  shot start
  at_least "$(lit_fraction "$work/start.png" "$middle")" 0.5 || return 1
  shot start_again
  [ "$(changed_pixels "$work/start.png" "$work/start_again.png" "$middle")" -le 100 ]
}
wait_for started || fail "the terrain did not settle in the middle of the view"
white_before=$(white_pixels "$work/start.png" "$middle")

# 1. A wild left drag turns the terrain out of the middle; Home brings the start view back.
xdotool mousedown 1
for step in 1 2 3 4 5 6; do
  move $((512 + 60 * step)) $((300 + 40 * step))
done
xdotool mouseup 1
turned() { shot turned; [ "$(changed_pixels "$work/start.png" "$work/turned.png" "$middle")" -ge 50000 ]; }
wait_for turned || fail "the drag did not turn the view"
move 512 300
xdotool key Home
back() { shot home; [ "$(changed_pixels "$work/start.png" "$work/home.png" "$middle")" -le 500 ]; }
if wait_for back; then
  echo "Home brought the start view back"
else
  fail "after Home the view differs from the start ($(changed_pixels "$work/start.png" "$work/home.png" "$middle") pixels)"
fi

# 2. h shows the help card's white text over the view; h again takes it away.
xdotool key h
card() { shot help; at_least "$(white_pixels "$work/help.png" "$middle")" $((white_before + 1000)); }
wait_for card && echo "h showed the help card" || fail "h showed no help card"
xdotool key h
no_card() { shot no_help; [ "$(changed_pixels "$work/home.png" "$work/no_help.png" "$middle")" -le 500 ]; }
wait_for no_card || fail "a second h did not hide the help card"

# 3. Ten wheel notches up over the view fly a fifth of the way to the terrain, which grows
# in the picture by more than a quarter.
lit_home=$(lit_fraction "$work/home.png" "1024x700+0+0")
xdotool click --repeat 10 --delay 20 4
closer() { shot wheel; at_least "$(lit_fraction "$work/wheel.png" "1024x700+0+0")" "$(awk -v l="$lit_home" 'BEGIN { print l * 1.25 }')"; }
if wait_for closer; then
  echo "the wheel flew closer: lit part $lit_home -> $(lit_fraction "$work/wheel.png" "1024x700+0+0")"
else
  fail "wheel notches over the view did not bring the terrain closer"
fi

# 4. Esc ends the process with status 0.
xdotool key Escape
expect_clean_exit Esc

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all view key checks passed"
