#!/bin/bash
# Ctrl + click in the real viewer places a profile path on the terrain: the console gives
# each corner's place and height and the path's length, which --profile of the same
# corners gives again without a window; the Measure section opens by itself; "Contours"
# draws lines over the terrain; Ctrl + right click takes the last corner away.
# Usage: profile_window.sh <brackenholmer binary> <repository root> [directory to keep the shots]
set -u

bin=$1
root=$2
keep=${3:-}
grid="$root/data/jacksboro_403x344.asc"

source "$(dirname "$0")/harness.bash"

start_x_server
if ! start_viewer app "$grid"; then
  echo "FAIL: no window titled Brackenholmer appeared"; cat "$work/app.out" "$work/app.err"; exit 1
fi
move 512 300
middle="700x350+162+250"
started() {
  shot start
  at_least "$(lit_fraction "$work/start.png" "$middle")" 0.5 || return 1
  shot start_again
  [ "$(changed_pixels "$work/start.png" "$work/start_again.png" "$middle")" -le 100 ]
}
wait_for started || fail "the terrain did not settle in the middle of the view"

ctrl_click() {
  xdotool mousemove --window "$wid" "$1" "$2" keydown ctrl mousedown "$3" mouseup "$3" keyup ctrl
}
reported() { grep -q "$1" "$work/app.out"; }
ctrl_click 263 556 1
wait_for reported "Profile point 1 at" || fail "Ctrl+click added no profile point"
ctrl_click 681 347 1
wait_for reported "Profile point 2 at" || fail "a second Ctrl+click added no point"
# "Profile point 2 at column C, row R: H m; the path is L m long."
corner() { sed -n "s/.*Profile point $1 at column \([0-9.]*\), row \([0-9.]*\): \([0-9.]*\) m; the path is \([0-9.]*\) m long./\1 \2 \3 \4/p" "$work/app.out"; }
read -r c1 r1 h1 _ < <(corner 1)
read -r c2 r2 h2 length < <(corner 2)
[ -n "${length:-}" ] || fail "the corners' lines do not read as expected: $(grep 'Profile point' "$work/app.out")"

# The same corners without a window give the same heights and length.
env -u DISPLAY "$bin" "$grid" --profile "$c1,$r1,$c2,$r2" "$work/p.csv" >"$work/cli.out" 2>&1 ||
  fail "--profile of the window's corners failed: $(cat "$work/cli.out")"
first=$(sed -n 2p "$work/p.csv")
last=$(tail -n 1 "$work/p.csv")
close() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; exit !(d <= t && -d <= t) }'; }
close "$(echo "$first" | cut -d, -f7)" "$h1" 0.02 || fail "the first sample ($first) is not the corner's $h1 m"
close "$(echo "$last" | cut -d, -f7)" "$h2" 0.02 || fail "the last sample ($last) is not the corner's $h2 m"
close "$(echo "$last" | cut -d, -f1)" "$length" 0.5 || fail "the CSV's length ($last) is not the window's $length m"

# The Measure section opened: the panel's header row moved up from the bottom edge.
opened() { shot opened; ! is_header "$work/opened.png" 60 $((768 - 20)); }
wait_for opened || fail "the Measure section did not open with the second corner"

# "Contours" in the open section: lines appear over the terrain.
view="1024x380+0+150"
shot before_contours
quick_click 38 620
contoured() { shot contours; [ "$(changed_pixels "$work/before_contours.png" "$work/contours.png" "$view")" -ge 2000 ]; }
wait_for contoured || fail "Contours drew no lines over the terrain"

ctrl_click 600 300 3
wait_for reported "Profile point 2 taken away" || fail "Ctrl+right click took no point away"

kill "$app_pid" 2>/dev/null
[ "$failures" -eq 0 ] || exit 1
echo "PASS"
