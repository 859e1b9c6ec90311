// Binary glTF 2.0 (.glb): a 12-byte header, a JSON chunk and a BIN chunk holding the
// positions, unit normals, texture coordinates (with a drape), the triangles' corner
// indices and the drape as a PNG. Free of GL.
//
// Positions are the drawn ones in metres (y up, x east, z growing southward) less
// `translation`, the centre of the written vertices' bounding box in all three axes, so
// that the model sits on the origin as viewers expect. Adding the translation back gives
// the drawn position: x = column x column_metres, z = row x row_metres, y = the height in
// metres x height_scale. Triangles turn counter-clockwise seen from outside, glTF's front.
// Texture coordinates are the drawn ones: u = column / columns, v = row / rows, v = 0 at
// the image's top (north) row, which is glTF's origin too.
//
// The node's "extras" say where the grid lies: "translation", "units" ("metre"),
// "columns", "rows", "column_metres", "row_metres", "height_scale", and, when the grid's
// file says, "place": "lower_left" (outer corner of the lower-left cell, in the file's
// units), "cell_size" (x, y), "degrees" and "coordinate_system" (WKT, empty when unknown).
//
// With a base the solid's bottom copies of the points (and a fan's centre) follow the
// surface's points in the one vertex list, as in a PLY; the base is a second primitive of
// plain grey with no normals of its own, so viewers shade its walls and bottom flat.
// GlbJson writes the JSON chunk.
#pragma once

#include "BufferedFile.h"
#include "DrawScales.h"
#include "MeshToWrite.h"
#include "Status.h"
#include "TerrainLoader.h"

namespace mesh_export {

struct GlbTexture {
  const unsigned char* rgb = nullptr;  // rows top (north) to bottom, 3 bytes a pixel, unpadded
  int width = 0, height = 0;
};

// Writes `m` of `grid` at `scales` (`m` prepared with corners, and with texture
// coordinates when `texture.rgb` is set). Fails, before writing anything, when the PNG
// cannot be made or the file would pass glTF's 4 GiB.
Status WriteGlb(const MeshToWrite& m, const data& grid, const DrawScales& scales, int units_per_metre,
                const GlbTexture& texture, BufferedFile& out);

}  // namespace mesh_export
