#!/usr/bin/env bash
# Builds bench_relief_shading (Release, in build-bench/) and times the relief shading on
# 3601 x 3601 and 16385 x 16385 fractal grids, then gdaldem hillshade -compute_edges as a
# whole process on the same heights, written as GeoTIFFs into build-bench/relief/ (the big
# one is 1 GB; on two cores the big run takes a few minutes and some 4 GB of memory).
#   scripts/bench-relief.sh [side ...]      (default: 3601 16385)
# Set BUILD_DIR to use another build folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-bench}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
fi
cmake --build "$build" -j2 --target bench_relief_shading >/dev/null
mkdir -p "$build/relief"
sides=("$@")
[ ${#sides[@]} -gt 0 ] || sides=(3601 16385)
echo "load: $(uptime)"
for side in "${sides[@]}"; do
  tif="$build/relief/fractal_${side}.tif"
  "$build/bench/bench_relief_shading" "$side" --write "$tif"
  seconds=$(/usr/bin/time -f %e gdaldem hillshade -q -compute_edges "$tif" "$build/relief/gdaldem_${side}.tif" 2>&1 >/dev/null | tail -1)
  points=$((side * side))
  awk -v s="$seconds" -v n="$points" 'BEGIN { printf "  %-12s %9.1f ms %7.1f ns/point   (whole process: gdaldem hillshade -compute_edges)\n", "gdaldem", s * 1000, s * 1e9 / n }'
  rm -f "$build/relief/gdaldem_${side}.tif"
done
echo "load: $(uptime)"
