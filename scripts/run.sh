#!/usr/bin/env bash
# Installs what is missing, builds the viewer (Release) and opens it on the bundled
# sample terrain and texture. Arguments, when given, replace the sample paths.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DBRACKENHOLMER_TESTS=OFF >/dev/null
cmake --build "$root/build-release" --target brackenholmer -j"$(nproc)" >/dev/null

if [ $# -eq 0 ]; then
  set -- "$root/data/jacksboro_403x344.asc" "$root/data/jacksboro_403x344.bmp"
fi
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  echo "No display found (DISPLAY='${DISPLAY:-}'): run this from a desktop session, or under xvfb-run to test." >&2
  exit 1
fi
exec "$root/build-release/brackenholmer" "$@"
