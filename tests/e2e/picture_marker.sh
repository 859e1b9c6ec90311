#!/bin/bash
# --snapshot leaves the floodlight marker out of the picture unless --marker asks for it:
# the start view turned 16 degrees right, where the window shows the marker's yellow square.
# Usage: picture_marker.sh <brackenholmer binary> <repository root>
set -u

bin=$1
root=$2
grid="$root/data/jacksboro_403x344.asc"
turned=(--camera 0,30960,46440,30,-16)

source "$(dirname "$0")/harness.bash"

yellow() {  # pixels of the marker's (0.8, 0.8, 0)
  convert "$1" -fuzz 3% -fill white -opaque 'rgb(204,204,0)' -fill black +opaque white -format '%[fx:mean*w*h]' info:
}

run plain 0 "Wrote the view to plain.png (1024 x 768)." "$grid" --snapshot plain.png "${turned[@]}"
run marked 0 "Wrote the view to marked.png (1024 x 768)." "$grid" --snapshot marked.png "${turned[@]}" --marker
if [ -s "$work/plain.png" ] && [ -s "$work/marked.png" ]; then
  without=$(yellow "$work/plain.png")
  with=$(yellow "$work/marked.png")
  echo "marker pixels: $without without --marker, $with with it"
  [ "$without" = 0 ] || fail "the picture without --marker shows $without marker pixels"
  at_least "$with" 10 || fail "the picture with --marker shows no marker ($with pixels)"
fi

exit $((failures > 0))
