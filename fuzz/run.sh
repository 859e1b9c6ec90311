#!/bin/bash
# Builds the grid reader's libFuzzer target with clang++ and runs it.
#   fuzz/run.sh [--smoke] [build dir] [extra libFuzzer options...]
# --smoke: a short, repeatable run (30000 inputs from a fixed seed) as CTest's check.
# Without it the fuzzer runs until stopped, keeping what it finds in <build dir>/corpus.
# Exits 77 (CTest's "skipped") when clang++ is missing.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
smoke=0
if [ "${1:-}" = --smoke ]; then smoke=1; shift; fi
out=${1:-$root/build-fuzz}
shift || true

if ! command -v clang++ > /dev/null; then
  echo "SKIPPED: clang++ is not installed, so the libFuzzer target cannot be built (apt-get install clang)."
  exit 77
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
fuzzer=$out/terrain_loader_fuzz
# The whole input layer: it is GL-free and needs only GDAL besides.
sources=("$root/fuzz/terrain_loader_fuzz.cpp" "$root"/src/input/*.cpp)
stale=0
[ -x "$fuzzer" ] || stale=1
for f in "${sources[@]}" "$root"/src/input/*.h; do [ "$f" -nt "$fuzzer" ] && stale=1; done
if [ $stale = 1 ]; then
  echo "building $fuzzer"
  clang++ -std=c++20 -O1 -g -Wall -Wextra -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/src/input" "${sources[@]}" $(pkg-config --cflags --libs gdal) -o "$fuzzer"
fi

# Seeds: a valid grid, the real 1" sample and the malformed corpus of the unit tests.
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
cp "$root/tests/data/valid_3x4.asc" "$root/tests/data/real/sf_1arcsec_24x37.asc" "$root"/tests/data/malformed/* "$seeds/"

options=(-max_len=8192 -timeout=10 -rss_limit_mb=2048 "-dict=$root/fuzz/terrain_loader.dict")
if [ $smoke = 1 ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$seeds" "$work"' EXIT
  cd "$work"  # crash files land here and are shown below
  if ! "$fuzzer" "${options[@]}" -runs=30000 -seed=1 "$@" "$work" "$seeds" > "$work/log" 2>&1; then
    tail -n 60 "$work/log"
    for crash in "$work"/crash-* "$work"/timeout-* "$work"/leak-*; do
      [ -f "$crash" ] && { echo "== $crash"; od -c "$crash" | head -20; }
    done
    exit 1
  fi
  grep -E '^Done|stat::' "$work/log" || true
  echo "fuzz smoke run passed"
else
  mkdir -p "$out/corpus"
  exec "$fuzzer" "${options[@]}" "$@" "$out/corpus" "$seeds"
fi
