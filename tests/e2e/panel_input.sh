#!/bin/bash
# Drives the real viewer with xdotool under its own X server: a quick click opens the
# "Properties" rollout, "Wireframe" changes the picture, a left drag on the terrain turns
# the view while the same drag begun on the panel does not, and "Quit" ends the process
# with status 0.
# Usage: panel_input.sh <brackenholmer binary> <repository root> [directory to keep the shots]
set -u

bin=$1
root=$2
keep=${3:-}
grid="$root/data/jacksboro_403x344.asc"

source "$(dirname "$0")/harness.bash"

start_x_server

# The window is 1024 x 768 at (50, 50). The panel's layout in window pixels, measured on
# screenshots (ImGui's built-in font and default style): the rollout header sits 20 pixels
# above the bottom edge while closed and 192 above it when open; "Wireframe" 167 above it;
# "Quit" level with the header at the right end. Below the "Terrain Borders" column the
# open panel is empty.
H=768
header_closed="60 $((H - 20))"
header_open_y=$((H - 192))
wireframe="60 $((H - 167))"
quit_open="997 $header_open_y"
panel_blank="900 $((H - 38))"
view_region="1024x400+0+150"  # the 3-D view below the overlay text, above the open panel

if ! start_viewer app "$grid"; then
  echo "FAIL: no window titled Brackenholmer appeared"; cat "$work/app.out" "$work/app.err"; exit 1
fi

# The terrain and the panel come up in different frames: wait for a picture with both.
terrain_drawn() { at_least "$(lit_fraction "$work/start.png" 400x200+312+360)" 0.9; }
# shellcheck disable=SC2086
started() { shot start; terrain_drawn && is_header "$work/start.png" $header_closed; }
if ! wait_for started; then
  terrain_drawn || fail "the terrain did not appear"
  # shellcheck disable=SC2086
  is_header "$work/start.png" $header_closed || fail "no closed rollout header along the bottom edge"
fi

# 1. A quick click on "Properties" opens the rollout: the header moves up.
# shellcheck disable=SC2086
quick_click $header_closed
rollout_open() { shot open; is_header "$work/open.png" 300 "$header_open_y"; }
wait_for rollout_open && echo "quick click opened Properties" ||
  fail "a quick click on Properties did not open it"

# 2. "Wireframe" turns the solid terrain into outlines: much of the view goes black. The
# view shrinks to the rows above the panel a frame or two after the header moves: the
# terrain is measured once two pictures in a row agree.
settled_view() {
  shot settle_a
  shot settle_b
  [ "$(lit_fraction "$work/settle_a.png" "$view_region")" = "$(lit_fraction "$work/settle_b.png" "$view_region")" ]
}
wait_for settled_view || fail "the view did not settle after Properties opened"
lit_before=$(lit_fraction "$work/settle_b.png" "$view_region")
# shellcheck disable=SC2086
quick_click $wireframe
outlines() { shot wireframe; ! at_least "$(lit_fraction "$work/wireframe.png" "$view_region")" "$(awk -v l="$lit_before" 'BEGIN { print l * 0.75 }')"; }
if wait_for outlines; then
  echo "wireframe: lit part of the view $lit_before -> $(lit_fraction "$work/wireframe.png" "$view_region")"
else
  fail "ticking Wireframe did not change the picture (lit $lit_before)"
fi
# shellcheck disable=SC2086
quick_click $wireframe
solid() { shot solid; at_least "$(lit_fraction "$work/solid.png" "$view_region")" "$(awk -v l="$lit_before" 'BEGIN { print l * 0.9 }')"; }
wait_for solid || fail "unticking Wireframe did not bring the solid terrain back"

# Pointing at the open header lights it up: once a picture shows that, every input sent
# before the pointing has been handled and drawn.
header_hovered() {
  local r g b
  read -r r g b < <(pixel "$1" 300 "$header_open_y")
  [ "$b" -ge 160 ]
}
hovered() { shot "$1"; header_hovered "$work/$1.png"; }

# 3. A left drag begun on the panel leaves the view alone, even when it ends over the terrain.
shot before_panel_drag
# shellcheck disable=SC2086
drag $panel_blank 1000 300
move 300 "$header_open_y"
wait_for hovered after_panel_drag || fail "the open header did not light up under the pointer"
moved=$(changed_pixels "$work/before_panel_drag.png" "$work/after_panel_drag.png" "$view_region")
echo "drag begun on the panel: $moved pixels of the view changed"
[ "$moved" -le 2000 ] || fail "a drag begun on the panel moved the view ($moved pixels changed)"

# 4. The same drag begun on the terrain turns the view (30 pixels, 30 degrees).
drag 512 300 542 300
turned() {
  shot after_view_drag
  moved=$(changed_pixels "$work/after_panel_drag.png" "$work/after_view_drag.png" "$view_region")
  [ "$moved" -ge 20000 ]
}
wait_for turned || fail "a left drag on the terrain did not turn the view ($moved pixels changed)"
echo "drag begun on the terrain: $moved pixels of the view changed"

# 5. "Quit" ends the process with status 0.
# shellcheck disable=SC2086
quick_click $quit_open
expect_clean_exit Quit

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all panel input checks passed"
