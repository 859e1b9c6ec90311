#!/bin/bash
# --flight with --video renders the flight without a display: an H.264 MP4 whose decoded
# first and last frames are the --snapshot pictures at the first and last keyframes'
# cameras (within H.264's loss), or numbered PNG frames equal to them exactly. Screen Error
# is on, so every frame's mesh is made for its own camera. Nothing is replaced; a flight
# that cannot be read or a size H.264 cannot take is refused with the reason.
# Usage: flight_video.sh <brackenholmer binary> <repository root>; VIDEO_FRAMES names the
# decoder (tests/tools/video_frames).
set -u

bin=$1
root=$2
grid="$root/data/jacksboro_403x344.asc"
decode=${VIDEO_FRAMES:?VIDEO_FRAMES names the video_frames decoder}
first_camera=-30000,22000,30000,30,-45
last_camera=5000,9000,5000,40,60
settings=(--screen-error 1 --size 320x240)

source "$(dirname "$0")/harness.bash"
mkdir "$work/out"
run_dir="$work/out"
cat >"$work/out/flight.txt" <<FLIGHT
# X,Y,Z,TILT,HEADING,SECONDS
$first_camera,0
-10000,12000,15000,35,10,0.5

$last_camera,1
FLIGHT

run video 0 "Wrote 11 frames (320 x 240, 10 fps) to out.mp4." "$grid" --flight flight.txt --video out.mp4 --fps 10 "${settings[@]}"
run first 0 "Wrote the view to first.png (320 x 240)." "$grid" --snapshot first.png --camera $first_camera "${settings[@]}"
run last 0 "Wrote the view to last.png (320 x 240)." "$grid" --snapshot last.png --camera $last_camera "${settings[@]}"

# Mean absolute difference in levels of 255 (ImageMagick gives it over the full range in
# brackets). H.264 keeps colour at half resolution (4:2:0): that alone costs this detailed
# terrain about 2 levels, compression as much again; a camera a frame away costs far more.
levels() { compare -metric MAE "$1" "$2" null: 2>&1 | sed -E 's/.*\((.*)\).*/\1/' | awk '{ printf "%.2f", $1 * 255 }'; }
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

cd "$work/out" || exit 1
got=$("$decode" out.mp4 decoded-first.png decoded-last.png)
[ "$got" = "11 320x240" ] || fail "decoded '$got', expected 11 frames of 320x240"
at_first=$(levels decoded-first.png first.png)
at_last=$(levels decoded-last.png last.png)
crossed=$(levels decoded-first.png last.png)
echo "decoded against the snapshots: first $at_first, last $at_last, first against last $crossed levels"
below "$at_first" 6 || fail "the first frame differs from the first keyframe's picture by $at_first levels"
below "$at_last" 6 || fail "the last frame differs from the last keyframe's picture by $at_last levels"
below 12 "$crossed" || fail "another camera's picture differs by only $crossed levels: the comparison tells nothing"

run frames 0 "Wrote 11 frames (320 x 240, 10 fps) to frames/." "$grid" --flight flight.txt --video frames/ --fps 10 "${settings[@]}"
[ "$(ls frames | wc -l)" = 11 ] || fail "frames/ holds $(ls frames | wc -l) files, expected 11"
for pair in "frame-00001.png first.png" "frame-00011.png last.png"; do
  set -- $pair
  differ=$(compare -metric AE "frames/$1" "$2" null: 2>&1 | cut -d' ' -f1)
  [ "$differ" = 0 ] || fail "frames/$1: $differ pixels differ from $2"
done

# Nothing is replaced, and a refusal writes nothing.
sum=$(md5sum out.mp4)
run again 1 "Cannot render out.mp4: it exists already; it is left as it was." "$grid" --flight flight.txt --video out.mp4
[ "$(md5sum out.mp4)" = "$sum" ] || fail "out.mp4 changed"
run frames_again 1 "Cannot render frames/: frames/frame-00001.png exists already; the folder is left as it was." \
  "$grid" --flight flight.txt --video frames/ --fps 10 "${settings[@]}"
printf '1,2,3,0,0,0\n1,2,3,95,0,1\n' >bad.txt
run flight 1 "Cannot render b.mp4: bad.txt line 2: TILT must be from -89.5 to 89.5." "$grid" --flight bad.txt --video b.mp4
run odd 1 "Cannot render b.mp4: an H.264 video needs an even width and height, not 161 x 120." \
  "$grid" --flight flight.txt --video b.mp4 --size 161x120
leftover=$(ls -A | grep -vxE 'out.mp4|flight.txt|bad.txt|first.png|last.png|decoded-(first|last).png|frames')
[ -z "$leftover" ] || fail "refused videos left files: $leftover"

exit $((failures > 0))
