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
# What cannot be drawn as asked is refused with the reason, and no picture: a texture that
# did not load, a grid without heights, a picture too large for the memory (which Mesa
# would not survive).
run texture 1 "Cannot render t.png: the texture none.png could not be loaded for --shading texture." "$grid" none.png --snapshot t.png --shading texture
nodata="$work/nodata.asc"
printf 'ncols 3\nnrows 3\nxllcorner 0\nyllcorner 0\ncellsize 0.01\nNODATA_value -9999\n' >"$nodata"
for _ in 1 2 3; do echo "-9999 -9999 -9999" >>"$nodata"; done
run nodata 1 "Cannot render n.png: every cell of the grid is NODATA, there is no terrain to draw." "$nodata" --snapshot n.png
for gib in 2 4; do
  (ulimit -v $((gib << 20)) && cd "$work/out" && env -u DISPLAY "$bin" "$grid" --snapshot big.png --size 16384x16384) >"$work/big$gib.out" 2>&1
  got=$?
  [ "$got" -eq 1 ] || fail "a 16384 x 16384 picture under $gib GiB: status $got, expected 1"
  grep -qE $'^\tCannot render big.png: a 16384 x 16384 picture needs 5520 MB to draw and write, and [0-9]+ MB are free.$' "$work/big$gib.out" ||
    fail "a 16384 x 16384 picture under $gib GiB: no reason given: $(tail -n 2 "$work/big$gib.out")"
done
[ "$(ls "$work/out")" = out.png ] || fail "refused pictures left files: $(ls "$work/out")"

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
