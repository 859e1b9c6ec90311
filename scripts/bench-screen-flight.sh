#!/usr/bin/env bash
# Builds bench_screen_flight (Release, in build-bench/) and runs it: Screen Error along a
# scripted flight over a 4097 x 4097 fractal and a 16385 x 16385 grid made from the
# Jacksboro sample, against Strict Error at the bound of equal on-screen error. The grids
# are made once in build-bench/tests/data (about 1.1 GB); the run takes tens of minutes
# and some 8 GB of memory on the large grid. Arguments go to the benchmark, e.g.
#   scripts/bench-screen-flight.sh --views 40 fractal
#   scripts/bench-screen-flight.sh --csv /tmp/flight --strict-every 1
# Set BUILD_DIR to use another build folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-bench}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target bench_screen_flight >/dev/null
exec "$build/bench/bench_screen_flight" "$@"
