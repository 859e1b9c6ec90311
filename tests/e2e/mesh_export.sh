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
# triangles and one of the bottom's fan; the points twice, and the fan's centre.
run stl 0 "Wrote 8451 vertices and 8960 triangles to t.stl." --base "$grid" --export t.stl
[ "$(stat -c %s "$work/t.stl")" -eq $((84 + 50 * 8960)) ] || fail "stl: size"
run obj-base 0 "Wrote 8451 vertices and 8960 triangles to b.obj." --base "$grid" --export b.obj
[ "$(grep -c '^v ' "$work/b.obj")" -eq 8451 ] || fail "obj with a base: vertex lines"
[ "$(grep -c '^f ' "$work/b.obj")" -eq 8960 ] || fail "obj with a base: face lines"

# A binary glTF holds its drape: the BMP beside the grid, as PNG.
run glb 0 "Wrote 4225 vertices and 8192 triangles to t.glb." "$grid" "$root/data/jacksboro_403x344.bmp" --export t.glb
[ "$(head -c 4 "$work/t.glb")" = glTF ] || fail "glb: no glTF header"
grep -qaE '"mimeType":"image\\?/png"' "$work/t.glb" || fail "glb: no PNG inside"

# A model to print: the same 8192 triangles, 4 x 64 outline edges with two wall and one
# fan triangle each; the points, only the outline's 256 on the bottom, and the fan's middle.
run print-stl 0 "Wrote 4482 vertices and 8960 triangles to p.stl." "$grid" --print-size 150 --base --export p.stl
[ "$(stat -c %s "$work/p.stl")" -eq $((84 + 50 * 8960)) ] || fail "print stl: size"
run print-ply 0 "Wrote 4482 vertices and 8960 triangles to p.ply." "$grid" --print-size 150 --base --base-thickness 5 --export p.ply
grep -aq '^element vertex 4482$' "$work/p.ply" && grep -aq '^element face 8960$' "$work/p.ply" || fail "print ply: counts"
run print-obj 0 "Wrote 4482 vertices and 8960 triangles to p.obj." "$grid" --print-size 150 --base --export p.obj
[ "$(grep -c '^v ' "$work/p.obj")" -eq 4482 ] && [ "$(grep -c '^f ' "$work/p.obj")" -eq 8960 ] || fail "print obj: lines"
# The grid is 403 columns of 0.805 row spacings (cos 36.4 degrees) by 344 rows: the rows
# make the longer side, 150 mm along y, north up.
awk '$1 == "v" { if ($3 > y) y = $3; if ($2 > x) x = $2 } END { exit !(y == 150 && x > 141 && x < 141.2) }' "$work/p.obj" ||
  fail "print obj: extent"
rm "$work"/p.stl "$work"/p.ply "$work"/p.obj
run print-glb 1 "Cannot write p.glb: a model to print is written as STL, PLY or OBJ." "$grid" --print-size 150 --export p.glb

# The .mtl names the texture from its own folder.
mkdir "$work/out" "$work/maps"
run mtl 0 "Wrote 4225 vertices and 8192 triangles to out/m.obj." "$grid" maps/tex.png --export out/m.obj
grep -qx 'map_Kd ../maps/tex.png' "$work/out/m.mtl" || fail "mtl: the texture is not named from the .mtl's folder"
rm -r "$work/out" "$work/maps"

# A model of no area, and a grid without heights, are refused.
nodata="$work/nodata.asc"
printf 'ncols 3\nnrows 3\nxllcorner 0\nyllcorner 0\ncellsize 0.01\nNODATA_value -9999\n' >"$nodata"
for _ in 1 2 3; do echo "-9999 -9999 -9999" >>"$nodata"; done
run flat 1 "Cannot write z.stl: at this X-Z-Multiplier the mesh has no area." "$grid" --xz-scale 0 --export z.stl
run nodata 1 "Cannot export n.stl: every cell of the grid is NODATA, there is no terrain to draw." "$nodata" --export n.stl
rm "$nodata"

run again 1 "t.stl exists already; it is left as it was." "$grid" --export t.stl
run folder 1 "Cannot write none/t.ply: No such file or directory." "$grid" --export none/t.ply
run base-alone 2 "!!! --base goes with --export !!!" "$grid" --base
[ "$(ls "$work" | grep -cv '\.out$')" -eq 5 ] || fail "files left behind: $(ls "$work")"

[ "$failures" -eq 0 ] || exit 1
echo "mesh export: all passed"
