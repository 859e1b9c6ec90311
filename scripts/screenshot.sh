#!/usr/bin/env bash
# Makes the README's picture, docs/screenshot.png, with no window and no display: the
# bundled sample with its texture, drawn off screen.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DBRACKENHOLMER_TESTS=OFF >/dev/null
cmake --build "$root/build-release" --target brackenholmer -j"$(nproc)" >/dev/null
# An existing picture is never replaced by the program: the old one goes first.
rm -f "$root/docs/screenshot.png"
"$root/build-release/brackenholmer" "$root/data/jacksboro_403x344.asc" "$root/data/jacksboro_403x344.bmp" \
  --snapshot "$root/docs/screenshot.png" --shading texture --precision 8 \
  --camera 0,10000,19000,30,0 --size 1024x576 | grep -v '^$' | tail -n 1
