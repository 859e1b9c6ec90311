#!/bin/bash
# A grid whose every cell is NODATA opens the window and its panel with an empty view, and
# the console says why; ticking "Show NODATA" draws the cells as the heights they hold.
# Usage: nodata_window.sh <brackenholmer binary> <repository root> [directory to keep the shots]
set -u

bin=$1
keep=${3:-}

source "$(dirname "$0")/harness.bash"

# 65 x 65 cells of -9999, 1080 units apart: drawn, the plane at -9999 lies in the middle
# of the start view.
grid="$work/all_nodata.asc"
{
  printf 'ncols 65\nnrows 65\nxllcorner -84\nyllcorner 36\ncellsize 0.01\nNODATA_value -9999\n'
  for _ in $(seq 65); do printf -- '-9999 %.0s' $(seq 65); echo; done
} > "$grid"

start_x_server

# Window pixels of the panel as panel_input.sh measures them; "Show NODATA" stands in the
# first column, two rows below "Wireframe".
H=768
header_closed="60 $((H - 20))"
header_open_y=$((H - 192))
show_nodata="60 $((H - 121))"
view_region="250x150+387+300"  # inside the plane, above the open panel

if ! start_viewer app "$grid"; then
  echo "FAIL: no window titled Brackenholmer appeared"; cat "$work/app.out" "$work/app.err"; exit 1
fi

# shellcheck disable=SC2086
started() { shot start; is_header "$work/start.png" $header_closed; }
wait_for started || fail "no closed rollout header along the bottom edge"
grep -qx $'\tThe grid holds no heights: every cell is NODATA.' "$work/app.out" ||
  fail "no console line saying that the grid holds no heights"

# shellcheck disable=SC2086
quick_click $header_closed
rollout_open() { shot open; is_header "$work/open.png" 300 "$header_open_y"; }
wait_for rollout_open || fail "a quick click on Properties did not open it"
empty=$(lit_fraction "$work/open.png" "$view_region")
echo "lit part of the view with NODATA as holes: $empty"
at_least 0.01 "$empty" || fail "the view of a grid without heights is not empty (lit $empty)"

# shellcheck disable=SC2086
quick_click $show_nodata
plane() { shot shown; at_least "$(lit_fraction "$work/shown.png" "$view_region")" 0.99; }
if wait_for plane; then
  echo "lit part of the view with NODATA shown: $(lit_fraction "$work/shown.png" "$view_region")"
else
  fail "ticking Show NODATA did not draw the cells (lit $(lit_fraction "$work/shown.png" "$view_region"))"
fi

move 500 300  # keys over the panel would be the panel's
xdotool key Escape
expect_clean_exit Esc

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all NODATA window checks passed"
