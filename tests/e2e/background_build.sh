#!/bin/bash
# While a big mesh is built, the window keeps answering: on the 1201 x 1201 grid, `+` six
# times asks for precision 12 (a build of seconds), and `-` `+` every half second starts
# it over, so it cannot end while the script looks; meanwhile the panel opens and a drag
# turns the view. Once the keys stop, the mesh lands and the overlay's count changes.
# Usage: background_build.sh <brackenholmer binary> <repository root> [directory to keep the shots]
set -u

bin=$1
keep=${3:-}
grid="$(dirname "$bin")/tests/data/jacksboro_resampled_1201x1201.asc"

source "$(dirname "$0")/harness.bash"

H=768
header_closed="60 $((H - 20))"
header_open_y=$((H - 192))
view_region="1024x400+0+150"
count_line="150x12+15+52"  # "Triangles: N" in the overlay

start_x_server
if ! start_viewer app "$grid"; then
  echo "FAIL: no window titled Brackenholmer appeared"; cat "$work/app.out" "$work/app.err"; exit 1
fi
started() { shot start; at_least "$(lit_fraction "$work/start.png" 400x200+312+360)" 0.9; }
wait_for started || { echo "FAIL: the terrain did not appear"; exit 1; }
landed() { grep -q "Mesh limited" "$work/app.out"; }

move 512 300
for _ in 1 2 3 4 5 6; do xdotool key --window "$wid" plus; done
touch "$work/restarting"
( while [ -e "$work/restarting" ]; do sleep 0.5; xdotool key --window "$wid" minus plus 2>/dev/null; done ) &
restarter=$!

# shellcheck disable=SC2086
quick_click $header_closed
rollout_open() { shot open; is_header "$work/open.png" 500 "$header_open_y"; }
wait_for rollout_open || fail "Properties did not open during the build"

drag 512 300 542 300
turned() {
  shot turned
  [ "$(changed_pixels "$work/open.png" "$work/turned.png" "$view_region")" -ge 20000 ]
}
wait_for turned || fail "a drag did not turn the view during the build"
landed && fail "a build ended although every one was started over before it could"
rm "$work/restarting"
wait "$restarter"

wait_for landed || fail "the precision-12 build did not end"
count_changed() {
  shot after
  [ "$(changed_pixels "$work/start.png" "$work/after.png" "$count_line")" -ge 20 ]
}
wait_for count_changed || fail "the overlay's triangle count did not change when the mesh landed"
grep -c "Mesh limited" "$work/app.out" | grep -qx 1 || fail "not one console line for the one build that ended"
[ $failures -eq 0 ] || exit 1
echo "panel opened and view turned while the mesh was built; the count changed when it landed"
