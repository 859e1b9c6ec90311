#!/bin/bash
# While a big mesh is built, the window keeps answering: on the 1201 x 1201 grid, `+` six
# times asks for precision 12, and `-` `+` over and over starts it anew while the script
# looks. The overlay's count line says "(building a new mesh)" while a build is under way,
# so the panel must open, and a drag turn the view, in frames that show it: frames drawn
# during a build. Once the keys stop the mesh lands: the note goes, the count changes, and
# the console names the limit of the mesh shown, once for each build that lands.
# Usage: background_build.sh <brackenholmer binary> <repository root> [directory to keep the shots]
set -u

bin=$1
keep=${3:-}
grid="$(dirname "$bin")/tests/data/jacksboro_resampled_1201x1201.asc"

source "$(dirname "$0")/harness.bash"

H=768
header_open_y=$((H - 192))
view_region="1024x400+0+150"
count_line="150x12+15+52"  # "Triangles: N" in the overlay
building_note="70x12+120+52"  # the middle of " (building a new mesh)" after it, sky otherwise
limit_line=$'\tMesh limited to 8388608 triangles at precision 11 of 12.'

start_x_server
if ! start_viewer app "$grid"; then
  echo "FAIL: no window titled Brackenholmer appeared"; cat "$work/app.out" "$work/app.err"; exit 1
fi
started() { shot start; at_least "$(lit_fraction "$work/start.png" 400x200+312+360)" 0.9; }
wait_for started || { echo "FAIL: the terrain did not appear"; exit 1; }
# Whether the picture $1 shows the building note.
building() { at_least "$(lit_fraction "$work/$1.png" "$building_note")" 0.02; }
building start && fail "the note shows with no build asked for"
limit_lines() { grep -c "Mesh limited" "$work/app.out"; }

move 512 300
for _ in 1 2 3 4 5 6; do xdotool key --window "$wid" plus; done
# Keys go to the panel while the pointer rests on it: the restarter holds while the file
# "hold" exists, and says so with "held" once its last keys are sent.
touch "$work/restarting"
(
  while [ -e "$work/restarting" ]; do
    if [ -e "$work/hold" ]; then touch "$work/held"; sleep 0.05; continue; fi
    rm -f "$work/held"
    xdotool key --window "$wid" minus plus 2>/dev/null
  done
) &
restarter=$!
held() { [ -e "$work/held" ] || ! [ -e "$work/restarting" ]; }
build_seen() { shot seen; building seen; }
wait_for build_seen || fail "no build was seen under way"

# A click that a slow frame (a landed mesh) lets pass is given again, with the keys held.
click_header() {
  touch "$work/hold"
  wait_for held || fail "the restarter did not hold"
  quick_click 60 "$1"
  move 512 300
  rm -f "$work/hold"
}
rollout_open() {
  shot open
  if ! is_header "$work/open.png" 300 "$header_open_y"; then click_header $((H - 20)); return 1; fi
  building open
}
wait_for rollout_open || fail "Properties did not open during a build"

drag 512 300 542 300
turned() {
  shot turned
  [ "$(changed_pixels "$work/open.png" "$work/turned.png" "$view_region")" -ge 20000 ] && building turned
}
wait_for turned || fail "a drag did not turn the view during a build"
rm "$work/restarting"
wait "$restarter"
# Closing the panel comes after every key the restarter sent: once it shows closed, those
# keys have been handled and the build they asked for, if any, shows in the note.
rollout_closed() {
  shot closed
  is_header "$work/closed.png" 300 "$header_open_y" || return 0
  click_header "$header_open_y"
  return 1
}
wait_for rollout_closed || fail "Properties did not close"

landed() {
  shot after
  ! building after && [ "$(changed_pixels "$work/start.png" "$work/after.png" "$count_line")" -ge 20 ]
}
wait_for landed || fail "the precision-12 build did not land, or the overlay's count did not change"
[ "$(grep -v '^$' "$work/app.out" | tail -n 1)" = "$limit_line" ] || fail "the last console line is not the limit of the mesh shown"

# One more build, nothing else under way: it lands with one line.
before=$(limit_lines)
xdotool key --window "$wid" minus plus
one_more() { [ "$(limit_lines)" -gt "$before" ] && shot again && ! building again; }
wait_for one_more || fail "the build after the keys did not land"
[ "$(limit_lines)" -eq $((before + 1)) ] || fail "$(($(limit_lines) - before)) console lines for the one build that landed"
[ $failures -eq 0 ] || exit 1
echo "panel opened and view turned while meshes were built; the count changed when one landed, with one line"
