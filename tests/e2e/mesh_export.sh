#!/bin/bash
# --export writes the start-up mesh with no display at all: one console line after the
# grid's report, status 0; a refused write says why, status 1, and leaves no file.
# Usage: mesh_export.sh <brackenholmer binary> <repository root>
set -u

bin=$1
root=$2
grid="$root/data/jacksboro_403x344.asc"
source "$(dirname "$0")/harness.bash"

# 403 x 344 at the start-up precision 6: a 65 x 65 quad mesh of the grid.
run obj 0 "Wrote 4225 vertices and 8192 triangles to t.obj." "$grid" tex.png --export t.obj
[ "$(grep -c '^v ' "$work/t.obj")" -eq 4225 ] || fail "obj: vertex lines"
[ "$(grep -c '^f ' "$work/t.obj")" -eq 8192 ] || fail "obj: face lines"
grep -qx 'map_Kd tex.png' "$work/t.mtl" || fail "obj: the .mtl does not name the texture"

# With a base: the 8192 triangles, and for each of the 4 x 64 outline edges two wall
# triangles and one of the bottom's fan.
run stl 0 "Wrote 4225 vertices and 8192 triangles to t.stl." --base "$grid" --export t.stl
[ "$(stat -c %s "$work/t.stl")" -eq $((84 + 50 * (8192 + 3 * 256))) ] || fail "stl: size"

run again 1 "t.stl exists already; it is left as it was." "$grid" --export t.stl
run folder 1 "Cannot write none/t.ply: No such file or directory." "$grid" --export none/t.ply
run base-alone 2 "!!! --base goes with --export !!!" "$grid" --base
[ "$(ls "$work" | grep -cv '\.out$')" -eq 3 ] || fail "files left behind: $(ls "$work")"

[ "$failures" -eq 0 ] || exit 1
echo "mesh export: all passed"
