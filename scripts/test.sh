#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite: unit tests
# (also under ASan + UBSan), draw tests, GL and end-to-end tests under Xvfb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$(nproc)"
cd "$root/build"
ctest --output-on-failure -j2 "$@"
