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

# The closed panel's buttons, level with its header: "Save Image", "Save Flight",
# "Export Mesh", the format's combo (whose list opens above it: OBJ, STL, PLY, glTF),
# "Base".
save_image="625 748"; save_flight="714 748"; export_mesh="807 748"; format="872 748"
stl_item="875 691"; gltf_item="875 725"; base_box="930 748"

# "Save Image" in the closed panel does what p does.
quick_click $save_image
wait_for written "$work/out/jacksboro_403x344-003.png" || fail "Save Image did not write -003"

# "Export Mesh" writes the mesh on screen as OBJ; with STL chosen and "Base" ticked as a
# closed STL solid. The console gives the triangles written.
exported() { [ -s "$1" ] && grep -q "Saved the mesh ($2 triangles) to $1" "$work/app.out"; }
quick_click $export_mesh
wait_for exported "$work/out/jacksboro_403x344-001.obj" 8192 || fail "Export Mesh wrote no OBJ"
[ "$(grep -c '^f ' "$work/out/jacksboro_403x344-001.obj")" -eq 8192 ] || fail "the OBJ does not hold the 8192 triangles"
quick_click $base_box
# The check mark (ImGui's blue) is drawn before the export is asked for, so the click is
# not lost.
ticked() {
  shot ticked
  [ "$(convert "$work/ticked.png" -crop 16x16+922+740 +repage -fuzz 12% -fill white -opaque '#4296FA' \
    -fill black +opaque white -format '%[fx:int(mean*w*h)]' info:)" -ge 10 ]
}
wait_for ticked || fail "the Base box did not get its check mark"
quick_click $format
listed() { shot listed; is_header "$work/listed.png" 900 "$1"; }  # the choice is highlighted
wait_for listed 674 || fail "the format's list did not open"
quick_click $stl_item
move 512 300
quick_click $export_mesh
wait_for exported "$work/out/jacksboro_403x344-001.stl" 8960 || fail "Export Mesh with Base wrote no STL"
# A binary STL: 84 header bytes, then 50 a triangle; the base adds two wall triangles and
# one of the bottom's fan for each of the 4 x 64 outline edges.
stl_triangles=$(( ($(stat -c %s "$work/out/jacksboro_403x344-001.stl") - 84) / 50 ))
[ "$stl_triangles" -eq 8960 ] || fail "the STL with a base holds $stl_triangles triangles"
# glTF, the list's last item, writes a binary glTF ("glTF" its first four bytes).
quick_click $format
wait_for listed 691 || fail "the format's list did not open again"
quick_click $gltf_item
move 512 300
quick_click $export_mesh
wait_for exported "$work/out/jacksboro_403x344-001.glb" 8960 || fail "Export Mesh wrote no glTF"
[ "$(head -c 4 "$work/out/jacksboro_403x344-001.glb")" = glTF ] || fail "the .glb is no binary glTF"
move 512 300  # keys go to the panel while the pointer rests on it

# `k` adds the view to the flight and "Save Flight" writes the keyframes, which read back
# as the cameras that `p` gives for the same views; `K` takes the last away.
camera_of_last_picture() { grep -o -- '--camera [^ ]*' "$work/app.out" | tail -n1 | cut -d' ' -f2; }
pictures() { [ "$(grep -c "Saved the view to" "$work/app.out")" -ge "$1" ]; }
xdotool key k p
wait_for pictures 4 || fail "p after k wrote no picture"
first_camera=$(camera_of_last_picture)
xdotool key w w Left k p
wait_for pictures 5 || fail "p after the second k wrote no picture"
second_camera=$(camera_of_last_picture)
[ "$first_camera" != "$second_camera" ] || fail "the camera did not move between the keyframes"
quick_click $save_flight
flight="$work/out/jacksboro_403x344-001.flight"
saved_flight() { [ -s "$flight" ] && grep -q "Saved the flight (2 keyframes" "$work/app.out"; }
wait_for saved_flight || { fail "Save Flight wrote no flight"; cat "$work/app.out"; }
move 512 300
same_camera() {  # $1 a flight line, $2 X,Y,Z,TILT,HEADING
  awk -F, -v want="$2" 'BEGIN { n = split(want, w, ",") }
    { for (i = 1; i <= n; i++) if ((($i - w[i]) ^ 2) > 1e-12 * (1 + w[i] ^ 2)) exit 1 }' <<< "$1"
}
mapfile -t keyframes < <(grep -v '^#' "$flight")
[ "${#keyframes[@]}" -eq 2 ] || fail "the flight holds ${#keyframes[@]} keyframes, not 2"
same_camera "${keyframes[0]}" "$first_camera" || fail "keyframe 1 (${keyframes[0]}) is not the camera $first_camera"
same_camera "${keyframes[1]}" "$second_camera" || fail "keyframe 2 (${keyframes[1]}) is not the camera $second_camera"
# The flight plays without a window: PNG frames, two a second, the last at its end.
seconds=$(cut -d, -f6 <<< "${keyframes[1]}")
"$bin" "$grid" --flight "$flight" --video "$work/frames/" --fps 2 --size 64x48 > "$work/video.out" 2>&1 ||
  fail "the window's flight did not play: $(cat "$work/video.out")"
frames=$(find "$work/frames" -name '*.png' | wc -l)
[ "$frames" -eq "$(awk -v s="$seconds" 'BEGIN { printf "%d", s * 2 + 1.5 }')" ] ||
  fail "$frames frames for a flight of $seconds s at 2 a second"
xdotool key K
took() { grep -q "Took the last keyframe away: 1 left" "$work/app.out"; }
wait_for took || fail "K did not take the last keyframe away"

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
