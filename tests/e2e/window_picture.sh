#!/bin/bash
# Starts the viewer on the bundled sample under its own X server, waits for its window and
# checks the pictures: window size and place, a lit terrain in many colours over a good part
# of the window, the overlay text near the top-left corner; then, started with the sample
# texture and switched to texture mode on the panel, the texture draped north up and not
# mirrored; and with a missing texture file, the failure report and still a window.
# Usage: window_picture.sh <brackenholmer binary> <repository root> [directory to keep the shots]
set -u

bin=$1
root=$2
keep=${3:-}
grid="$root/data/jacksboro_403x344.asc"
texture="$root/data/jacksboro_403x344.bmp"

wid=""
source "$(dirname "$0")/harness.bash"

start_x_server

# Share of an image region (geometry WxH+X+Y) brighter than a grey level.
lit_fraction() {
  convert "$1" -crop "$2" +repage -colorspace gray -threshold "$3" -format '%[fx:mean]' info:
}
# Share of an image region that is white in all three channels.
white_fraction() {
  convert "$1" -crop "$2" +repage -threshold 97% -separate -evaluate-sequence min -format '%[fx:mean]' info:
}
unique_colours() { convert "$1" -crop "$2" +repage -format '%k' info:; }
# Mean red over mean green of a region: the texture's relief colours are redder where higher.
red_to_green() { convert "$1" -crop "$2" +repage -format '%[fx:mean.r/mean.g]' info:; }
blue_to_green() { convert "$1" -crop "$2" +repage -format '%[fx:mean.b/mean.g]' info:; }

# The window's picture, taken from the root window as a user sees it.
grab() {
  import -window root "$work/root.png" 2>/dev/null
  convert "$work/root.png" -crop 1024x768+50+50 +repage "$work/$1.png"
  if [ -n "$keep" ]; then cp "$work/$1.png" "$keep/"; fi
}

# Starts the viewer with the given arguments (console to $work/$name.out) and waits for its
# window and for the first frames, which build the mesh.
start() {
  local name=$1
  shift
  if ! start_viewer "$name" "$@"; then
    fail "$name: no window titled Brackenholmer appeared"
    cat "$work/$name.out" "$work/$name.err"
    stop
    return 1
  fi
  local geometry
  geometry=$(xdotool getwindowgeometry "$wid")
  echo "$geometry" | grep -q 'Geometry: 1024x768' || fail "$name: window is not 1024 x 768: $geometry"
  echo "$geometry" | grep -q 'Position: 50,50' || fail "$name: window is not at (50, 50): $geometry"
  local deadline=$((SECONDS + 60))
  while :; do
    grab "$name"
    at_least "$(lit_fraction "$work/$name.png" 1024x768+0+0 5%)" 0.2 && break
    [ $SECONDS -ge $deadline ] && break
    sleep 0.5
  done
  # Keep the pointer off the panel so it shows no hover colours.
  xdotool mousemove --window "$wid" 900 150
  sleep 1
  grab "$name"
  return 0
}

stop() {
  if [ -n "$app_pid" ]; then
    kill -0 "$app_pid" 2>/dev/null || fail "the viewer ended by itself: $(cat "$work"/*.err)"
    kill "$app_pid" 2>/dev/null
    wait "$app_pid" 2>/dev/null
  fi
  app_pid=""
}

# Seen from above at 30 degrees the terrain covers the middle of the 3-D view in many
# colours, under black sky; the overlay is white bitmap text in the top-left corner.
check_picture() {
  local name=$1 shot="$work/$1.png"
  local lit centre colours white sky
  lit=$(lit_fraction "$shot" 1024x600+0+0 5%)
  at_least "$lit" 0.2 || fail "$name: only $lit of the 3-D view is not black"
  centre=$(lit_fraction "$shot" 400x200+312+360 5%)
  at_least "$centre" 0.95 || fail "$name: the middle of the view is not covered by the terrain ($centre)"
  colours=$(unique_colours "$shot" 1024x600+0+0)
  at_least "$colours" 5000 || fail "$name: only $colours colours in the view"
  # Five lines at 95 to 83 per cent of the height, 2 per cent from the left.
  white=$(white_fraction "$shot" 260x110+10+25)
  at_least "$white" 0.02 || fail "$name: no overlay text near the top-left corner ($white white)"
  sky=$(lit_fraction "$shot" 600x110+400+25 5%)
  at_least 0.001 "$sky" || fail "$name: the sky right of the overlay is not black ($sky)"
  echo "$name: terrain on $lit of the view, centre $centre, $colours colours, overlay white $white"
}

# --- Colour by height ---------------------------------------------------------------
if start colour "$grid"; then
  check_picture colour
  grep -q "was loaded succesfully." "$work/colour.out" || fail "colour: grid load not reported"
  grep -q "Loading the texture file" "$work/colour.out" && fail "colour: texture lines without a texture"
  # The floodlight stands just right of the start view; turned 16 degrees to the right the
  # camera sees its wire pyramid: grey edges to a yellow square (0.8, 0.8, 0).
  for _ in 1 2 3 4 5 6 7 8; do xdotool key --window "$wid" Right 2>/dev/null; done
  sleep 1.5
  grab floodlight
  yellow=$(convert "$work/floodlight.png" -crop 512x300+512+0 +repage -fuzz 6% -fill white -opaque 'rgb(204,204,0)' \
    -fill black +opaque white -format '%[fx:mean*w*h]' info:)
  at_least "$yellow" 10 || fail "colour: no floodlight symbol in view after turning right ($yellow yellow pixels)"
  echo "colour: floodlight symbol with $yellow yellow pixels after turning right"
  stop
fi

# --- Texture ------------------------------------------------------------------------
if start texture "$grid" "$texture"; then
  printf '\tLoading the texture file %s ..\n\n\tThe file %s was loaded succesfully.\n\n' "$texture" "$texture" \
    >"$work/expected"
  tail -c "$(wc -c <"$work/expected")" "$work/texture.out" | cmp -s - "$work/expected" ||
    fail "texture: the console does not end with the texture lines: $(cat "$work/texture.out")"
  # Open the panel, pick "Texture" under "Rendering Mode", close the panel again.
  xdotool mousemove --window "$wid" 60 748 click 1
  sleep 1
  xdotool mousemove --window "$wid" 204 645 click 1
  sleep 0.5
  xdotool mousemove --window "$wid" 60 576 click 1
  xdotool mousemove --window "$wid" 900 150
  sleep 1.5
  grab texture
  check_picture texture
  convert "$work/colour.png" -crop 600x250+212+360 +repage "$work/colour_middle.png"
  convert "$work/texture.png" -crop 600x250+212+360 +repage "$work/texture_middle.png"
  difference=$(compare -metric MAE "$work/colour_middle.png" "$work/texture_middle.png" null: 2>&1 |
    sed 's/.*(\(.*\))/\1/')
  blue=$(blue_to_green "$work/texture.png" 450x200+290+380)
  if ! at_least "$difference" 0.04 || at_least "$blue" 0.55; then
    fail "texture: the picture did not change to the texture (difference $difference, blue/green $blue);" \
      "did the panel's layout move the Texture button?"
  else
    # The relief image is reddest in its south-west and greenest in its south-east. Seen from
    # the south, a texture draped north up and unmirrored keeps that in the near corners
    # (of the 3-D view above the closed panel, 729 rows high).
    far_left=$(red_to_green "$work/texture.png" 190x85+301+323)
    near_left=$(red_to_green "$work/texture.png" 237x85+197+494)
    far_right=$(red_to_green "$work/texture.png" 190x85+529+323)
    near_right=$(red_to_green "$work/texture.png" 237x85+558+494)
    echo "texture: red/green far left $far_left, near left $near_left, far right $far_right, near right $near_right"
    reddest=1
    for q in "$far_left" "$far_right" "$near_right"; do at_least "$near_left" "$q" || reddest=0; done
    [ $reddest = 1 ] || fail "texture: the south-west is not the reddest corner (flipped or mirrored?)"
    greenest=1
    for q in "$far_left" "$far_right" "$near_left"; do at_least "$q" "$near_right" || greenest=0; done
    [ $greenest = 1 ] || fail "texture: the south-east is not the greenest corner (flipped or mirrored?)"
  fi
  stop
fi

# --- Missing texture ----------------------------------------------------------------
if start missing_texture "$grid" "$work/no_such_file.bmp"; then
  grep -q "^	Could not open the file $work/no_such_file.bmp\$" "$work/missing_texture.out" ||
    fail "missing_texture: failure not reported: $(cat "$work/missing_texture.out")"
  check_picture missing_texture
  stop
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all window picture checks passed"
