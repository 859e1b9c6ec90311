#!/bin/bash
# The console lines about the texture, compared byte for byte: a failed load gets its report
# and the reason on a second line, a successful one no second line, and a large image is
# announced before it loads. The program runs under its own X server.
# Usage: texture_console.sh <brackenholmer binary> <repository root>
set -u

bin=$1
root=$2
grid="$root/data/jacksboro_403x344.asc"

source "$(dirname "$0")/harness.bash"

report() { printf '\t%s\n\n' "$1"; }

# transcript NAME TEXTURE LINE...: runs the viewer on the sample grid and TEXTURE and
# compares everything printed after the grid's report and its line on the column spacing with the LINEs, once that much is out
# (a report and its reason are flushed together) or the program has ended.
transcript() {
  local name=$1 texture=$2
  shift 2
  { report "Loading the texture file $texture .."; for line in "$@"; do report "$line"; done; } >"$work/expected"
  "$bin" "$grid" "$texture" >"$work/$name.out" 2>"$work/$name.err" &
  app_pid=$!
  for _ in $(seq 1 600); do
    sed -n '/was loaded succesfully\./,$p' "$work/$name.out" | tail -n +5 >"$work/actual"
    [ "$(stat -c %s "$work/actual")" -ge "$(stat -c %s "$work/expected")" ] && break
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  sed -n '/was loaded succesfully\./,$p' "$work/$name.out" | tail -n +5 >"$work/actual"
  cmp -s "$work/expected" "$work/actual" ||
    fail "$name: console differs (expected, then actual):
$(cat -A "$work/expected")
----
$(cat -A "$work/$name.out" "$work/$name.err")"
  kill "$app_pid" 2>/dev/null
  wait "$app_pid" 2>/dev/null
  app_pid=""
}

# The harness's server, but kept up between the viewers started one after another: by
# default an X server resets when its last client leaves and refuses connections meanwhile.
start_x_server -noreset

missing="$work/no such texture.bmp"
transcript missing "$missing" "Could not open the file $missing" "No such file or directory"

# sparse_bmp PATH W: a W x W 24-bit BMP whose black rows are a hole in the file.
sparse_bmp() {
  local le32
  le32=$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($2 & 255)) $(($2 >> 8 & 255)) $(($2 >> 16 & 255)) 0)
  printf 'BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0'"$le32$le32"'\x01\0\x18\0' >"$1"
  head -c 24 /dev/zero >>"$1"
  truncate -s $((54 + ($2 * 3 + 3) / 4 * 4 * $2)) "$1"
}

# 66 MB decoded is announced between the texture's two lines; 63 MB is not.
sparse_bmp "$work/large.bmp" 4800
transcript large "$work/large.bmp" "Loading a large texture (4800 x 4800 pixels, 66 MB), this takes a while .." \
  "The file $work/large.bmp was loaded succesfully."
sparse_bmp "$work/medium.bmp" 4700
transcript medium "$work/medium.bmp" "The file $work/medium.bmp was loaded succesfully."

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all texture console checks passed"
