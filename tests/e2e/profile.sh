#!/bin/bash
# --profile and --profile-geo write a CSV with no display at all: one console line after
# the grid's report, status 0; a refused profile says why, status 1, and leaves no file.
# Usage: profile.sh <brackenholmer binary> <repository root>
set -u

bin=$(realpath "$1")
root=$2
grid="$root/data/jacksboro_403x344.asc"
source "$(dirname "$0")/harness.bash"

# A column of a CSV line: field N of line L (1 = header).
field() { sed -n "$2p" "$work/$1" | cut -d, -f"$3"; }

# Corner to corner: 401 column and 342 row lines crossed (343 and 402 share no factor, so
# never at a grid point), and both corners. The grid's values there (gdallocationinfo):
# 483 at column 0 row 0, 272 at 402 343.
run grid 0 "Wrote the profile to d.csv: 745 samples, 43643.9 m long (44365.4 m along the ground), climb 2896.5 m, descent 3107.5 m, from 255 m to 934 m." \
  "$grid" --profile 0,0,402,343 d.csv
[ "$(head -n1 "$work/d.csv")" = "distance_m,ground_distance_m,column,row,lon,lat,height_m" ] || fail "grid: header"
[ "$(wc -l <"$work/d.csv")" -eq 746 ] || fail "grid: lines"
[ "$(field d.csv 2 7)" = 483.00 ] && [ "$(field d.csv 746 7)" = 272.00 ] || fail "grid: corner heights"

# 516 at column 100 row 50, 444 at 402 0. Along row 50 a sample at each of its 303 points,
# then one at each of the 50 rows up column 402.
run row 0 "Wrote the profile to r.csv: 353 samples, 27115.5 m long (27630.0 m along the ground), climb 2056.0 m, descent 2128.0 m, from 349 m to 770 m." "$grid" --profile 100,50,402,50,402,0 r.csv
[ "$(wc -l <"$work/r.csv")" -eq 354 ] || fail "row: lines"
[ "$(field r.csv 2 7)" = 516.00 ] && [ "$(field r.csv 354 7)" = 444.00 ] || fail "row: corner heights"
# Its length on the WGS 84 ellipsoid: 302 cells along the parallel of row 50 (radius
# N cos(lat)), then 50 cells along the meridian (radius of curvature M at the middle).
awk -v got="$(field r.csv 354 1)" 'BEGIN {
  a = 6378137; f = 1 / 298.257223563; e2 = f * (2 - f); cell = 0.000833333333; rad = atan2(0, -1) / 180
  lat = (36.44625 + (344 - 50.5) * cell) * rad; mid = (36.44625 + (344 - 25.5) * cell) * rad
  along = a / sqrt(1 - e2 * sin(lat) ^ 2) * cos(lat) * 302 * cell * rad
  up = a * (1 - e2) / (1 - e2 * sin(mid) ^ 2) ^ 1.5 * 50 * cell * rad
  d = got - along - up; exit !(d < 0.01 && d > -0.01) }' || fail "row: length $(field r.csv 354 1)"

# The same corners by longitude and latitude (the cell centres by the file's corner and
# cell size): the same samples, within the rounding of the figures.
run geo 0 "Wrote the profile to g.csv: 745 samples, 43643.9 m long (44365.4 m along the ground), climb 2896.5 m, descent 3107.5 m, from 255 m to 934 m." \
  "$grid" --profile-geo -84.4133333335,36.7325000005,-84.0783333336,36.4466666668 g.csv
paste -d, "$work/d.csv" "$work/g.csv" | awk -F, 'function off(a, b, by) { return a - b > by || b - a > by }
  NR > 1 && (off($1, $8, 0.01) || off($3, $10, 2e-4) || off($4, $11, 2e-4) || off($7, $14, 0.02)) { bad = 1 }
  END { exit bad }' || fail "geo: samples differ from the grid's"

run outside 1 "Cannot write o.csv: the corner 2 (500, 20) lies outside the grid's 403 x 344 points." \
  "$grid" --profile 0,0,500,20 o.csv
run odd 1 "Cannot write o.csv: the corners are column and row pairs, and 3 numbers make no whole pairs." \
  "$grid" --profile 0,0,5 o.csv
run again 1 "d.csv exists already; it is left as it was." "$grid" --profile 1,1,2,2 d.csv
[ "$(ls "$work" | grep -cv '\.out$')" -eq 3 ] || fail "files left behind: $(ls "$work")"

[ "$failures" -eq 0 ] || exit 1
echo "profile: all passed"
