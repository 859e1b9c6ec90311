#!/bin/bash
# `p` and "Save Image" in the real viewer write the 3-D view, without the overlay and the
# panel, to numbered PNGs in the current folder; the picture equals the window's own pixels.
# A folder that is gone is reported on the console and the viewer goes on.
# Usage: view_snapshot.sh <brackenholmer binary> <repository root> [directory to keep the shots]
set -u

bin=$1
root=$2
keep=${3:-}
grid="$root/data/jacksboro_403x344.asc"

source "$(dirname "$0")/harness.bash"

start_x_server
mkdir "$work/out"
cd "$work/out" || exit 1

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

first="$work/out/jacksboro_403x344-001.png"
xdotool key p
written() { [ -s "$1" ] && grep -q "Saved the view to $1" "$work/app.out"; }
if wait_for written "$first"; then
  echo "p wrote $first"
  [ -n "$keep" ] && cp "$first" "$keep/"
  size=$(identify -format '%wx%h' "$first")
  view_h=${size#*x}
  # The whole width, ending at the closed panel's top edge.
  [ "${size%x*}" -eq 1024 ] && [ "$view_h" -ge 600 ] && [ "$view_h" -lt 768 ] ||
    fail "the picture is $size, not the 3-D view of a 1024 x 768 window"
  # Right of the overlay text the picture is the window's picture, pixel for pixel.
  region="724x${view_h}+300+0"
  differ=$(changed_pixels "$work/start.png" "$first" "$region")
  [ "$differ" -eq 0 ] || fail "$differ pixels of the picture differ from the window"
  # The overlay's corner is sky in the picture: no text went into it.
  text_pixels=$(convert "$first" -crop 200x60+0+0 +repage -threshold 50% -format '%[fx:int(mean*w*h)]' info:)
  [ "$text_pixels" -eq 0 ] || fail "the overlay text is in the picture ($text_pixels bright pixels)"
else
  fail "p wrote no picture"; cat "$work/app.out"
fi

# The second picture takes the next number; the first stays as it was.
sum=$(md5sum < "$first")
xdotool key p
wait_for written "$work/out/jacksboro_403x344-002.png" || fail "the second p did not write -002"
[ "$(md5sum < "$first")" = "$sum" ] || fail "the second picture changed the first"
shot noticed
[ -n "$keep" ] && cp "$work/noticed.png" "$keep/"

# "Save Image" in the closed panel does what p does.
quick_click 780 748
wait_for written "$work/out/jacksboro_403x344-003.png" || fail "Save Image did not write -003"

# "Export Mesh" writes the mesh on screen as OBJ; with "Base" ticked as a closed STL solid.
# The console gives the triangles written.
exported() { [ -s "$1" ] && grep -q "Saved the mesh ($2 triangles) to $1" "$work/app.out"; }
quick_click 870 748
wait_for exported "$work/out/jacksboro_403x344-001.obj" 8192 || fail "Export Mesh wrote no OBJ"
[ "$(grep -c '^f ' "$work/out/jacksboro_403x344-001.obj")" -eq 8192 ] || fail "the OBJ does not hold the 8192 triangles"
quick_click 930 748
# The check mark (ImGui's blue) is drawn before the export is asked for, so the click is
# not lost.
ticked() {
  shot ticked
  [ "$(convert "$work/ticked.png" -crop 16x16+922+740 +repage -fuzz 12% -fill white -opaque '#4296FA' \
    -fill black +opaque white -format '%[fx:int(mean*w*h)]' info:)" -ge 10 ]
}
wait_for ticked || fail "the Base box did not get its check mark"
quick_click 870 748
wait_for exported "$work/out/jacksboro_403x344-001.stl" 8960 || fail "Export Mesh with Base wrote no STL"
# A binary STL: 84 header bytes, then 50 a triangle; the base adds two wall triangles and
# one of the bottom's fan for each of the 4 x 64 outline edges.
stl_triangles=$(( ($(stat -c %s "$work/out/jacksboro_403x344-001.stl") - 84) / 50 ))
[ "$stl_triangles" -eq 8960 ] || fail "the STL with a base holds $stl_triangles triangles"
move 512 300  # keys go to the panel while the pointer rests on it

# With its folder gone the viewer says so and stays.
rm -rf "$work/out"
xdotool key p
refused() { grep -q "Could not save the view: No such file or directory" "$work/app.out"; }
wait_for refused || { fail "no console line for a folder that is gone"; cat "$work/app.out"; }
kill -0 "$app_pid" 2>/dev/null || fail "a failed picture ended the viewer"

cd "$work" || exit 1
xdotool key q
expect_clean_exit "q"
exit $((failures > 0))
