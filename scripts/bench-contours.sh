#!/usr/bin/env bash
# Builds bench_contours (Release, in build-bench/) and times contour lines every 10 m on a
# 3601 x 3601 fractal grid: made in memory, written as GeoPackage and GeoJSON, then
# gdal_contour -i 10 as a whole process on the same heights (a GeoTIFF in
# build-bench/contours/), to GeoPackage and to GeoJSON.
#   scripts/bench-contours.sh [side]      (default: 3601)
# Set BUILD_DIR to use another build folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-bench}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
fi
cmake --build "$build" -j2 --target bench_contours >/dev/null
side="${1:-3601}"
work="$build/contours"
mkdir -p "$work"
echo "load: $(uptime)"
"$build/bench/bench_contours" "$work" "$side"
for extension in gpkg geojson; do
  out="$work/gdal_contour.$extension"
  rm -f "$out"
  seconds=$(/usr/bin/time -f %e gdal_contour -q -i 10 -a elev "$work/fractal_${side}.tif" "$out" 2>&1 >/dev/null | tail -1)
  lines=$(ogrinfo -q -sql "SELECT COUNT(*) AS n FROM contour" "$out" | sed -n 's/.*n (Integer[0-9]*) = //p')
  printf "  %-28s %7.2f s   %s lines   (whole process)\n" "gdal_contour -i 10 .$extension" "$seconds" "$lines"
  rm -f "$out"
done
echo "load: $(uptime)"
