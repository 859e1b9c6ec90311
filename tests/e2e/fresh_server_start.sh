#!/bin/bash
# Starts against a fresh X server, one with no other client yet, again and again: the
# program's own display check must not leave the server to reset under GLUT.
# Usage: fresh_server_start.sh <brackenholmer binary> <repository root>
set -u

bin=$1
root=$2
grid="$root/data/jacksboro_403x344.asc"

source "$(dirname "$0")/harness.bash"

for run in 1 2 3 4 5 6 7 8; do
  start_x_server
  if ! start_viewer run "$grid"; then
    fail "start $run: no window; the program said: $(cat "$work/run.out" "$work/run.err")"
  fi
  kill "$app_pid" 2>/dev/null
  wait "$app_pid" 2>/dev/null
  app_pid=""
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
  rm -f "$work/display"
done

[ $failures -eq 0 ] && echo "8 starts against a fresh server: all opened the window"
exit $((failures > 0))
