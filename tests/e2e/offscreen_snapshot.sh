#!/bin/bash
# --snapshot draws the start view with no display at all, through the same drawing code as
# the window: the picture equals the window's own `p` picture of the same settings. Bad
# option values get one line naming the option and status 2.
# Usage: offscreen_snapshot.sh <brackenholmer binary> <repository root> [directory to keep the shots]
set -u

bin=$1
root=$2
keep=${3:-}
grid="$root/data/jacksboro_403x344.asc"
texture="$root/data/jacksboro_403x344.bmp"
settings=(--shading texture --precision 8 --y-scale 2 --camera -30000,22000,30000,30,-45)

source "$(dirname "$0")/harness.bash"
mkdir "$work/out"
run_dir="$work/out"  # where the runs without a display write

run precision 2 '!!! --precision needs a whole number from 0 to 100, not "eight" !!!' "$grid" --snapshot a.png --precision eight
run size 2 '!!! --size needs a picture size WxH, each side from 1 to 16384, not "0x600" !!!' "$grid" --snapshot a.png --size 0x600
run shading 2 '!!! --shading needs color, texture or plain, not "glossy" !!!' "$grid" --shading glossy
run camera 2 '!!! --camera needs X,Y,Z,TILT,HEADING: five numbers, TILT from -89.5 to 89.5, not "1,2,3" !!!' "$grid" --camera 1,2,3
run scale 2 '!!! --y-scale needs a number from -20 to 20, not "25" !!!' "$grid" --y-scale 25
run missing 2 '!!! --error needs a whole number from 1 to 100 !!!' "$grid" --error
run unknown 2 '!!! --fast is not an option; --help lists them !!!' "$grid" --fast
[ -z "$(ls -A "$work/out")" ] || fail "a refused command line left files: $(ls "$work/out")"

# The done-when command line, with no display.
run headless 0 "Wrote the view to out.png (1024 x 768)." "$grid" "$texture" --snapshot out.png --shading texture --precision 8
if [ -s "$work/out/out.png" ]; then
  [ "$(identify -format '%wx%h' "$work/out/out.png")" = 1024x768 ] || fail "out.png is not 1024 x 768"
  at_least "$(lit_fraction "$work/out/out.png" 500x200+262+400)" 0.9 || fail "out.png shows no terrain in the middle"
  [ -n "$keep" ] && cp "$work/out/out.png" "$keep/"
fi
run again 1 "Cannot write out.png: it exists already; it is left as it was." "$grid" --snapshot out.png
run folder 1 "Cannot write gone/out.png: No such file or directory." "$grid" --snapshot gone/out.png

# The window with the same settings: its `p` picture is the view above the panel.
start_x_server
cd "$work/out" || exit 1
if ! start_viewer app "$grid" "$texture" "${settings[@]}"; then
  echo "FAIL: no window titled Brackenholmer appeared"; cat "$work/app.out" "$work/app.err"; exit 1
fi
move 1000 20  # the pointer probe writes nothing into the picture, but keep it off the terrain
# A camera of the user's own: flown forward, turned and tilted from the one given.
xdotool key w w Left Down
settled() {
  shot a
  at_least "$(lit_fraction "$work/a.png" 700x300+162+250)" 0.1 || return 1
  shot b
  [ "$(changed_pixels "$work/a.png" "$work/b.png" 1024x600+0+0)" -eq 0 ]
}
wait_for settled || fail "the window's terrain did not settle"
xdotool key p
windowed="$work/out/jacksboro_403x344-001.png"
written() { [ -s "$windowed" ] && grep -q "Saved the view to" "$work/app.out"; }
if wait_for written; then
  # The console gives the command line of the same picture without a window.
  line=$(grep "The same picture without a window: brackenholmer " "$work/app.out" | head -n 1)
  command=${line#*: brackenholmer }
  echo "the window says: brackenholmer $command"
  eval "set -- $command"
  size=$(identify -format '%wx%h' "$windowed")
  run same 0 "Wrote the view to jacksboro_403x344-001-offscreen.png (${size/x/ x })." "$@"
  offscreen="$work/out/jacksboro_403x344-001-offscreen.png"
  differ=$(compare -metric AE "$windowed" "$offscreen" null: 2>&1 | cut -d' ' -f1)
  echo "window $size against --snapshot: $differ pixels differ"
  [ "$differ" = 0 ] || fail "$differ pixels of the off-screen picture differ from the window's"
  [ -n "$keep" ] && cp "$windowed" "$offscreen" "$keep/"
else
  fail "p wrote no picture"; cat "$work/app.out"
fi

exit $((failures > 0))
