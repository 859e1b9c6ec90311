// Writes a mesh to OBJ, binary STL or binary PLY for other programs and 3-D printers.
// Free of GL.
//
// Positions are the drawn ones without the centring: x = column x column spacing,
// y = height, z = row x row spacing, each times the panel's scales, in whole units as the
// drawing truncates them, written in metres: divided by the grid's units a metre. Triangles keep the drawing's corner order a, c, b, which turns
// counter-clockwise seen from above (y up, z growing southward, x east): their normals
// point up, as every importer expects of a right-handed y-up file.
#pragma once

#include <string>

#include "DrawScales.h"
#include "IndexedMesh.h"

namespace mesh_export {

enum class Format { kObj, kStl, kPly };

struct Options {
  // STL and PLY only: walls down from the mesh's outline and a flat bottom, so that the
  // file is a closed solid.
  bool base = false;
  // OBJ only: the image named as the texture in an .mtl beside the file; none when empty.
  std::string texture;
  // The grid's height units a metre (see data::units_per_metre).
  int units_per_metre = 1;
};

// The format named by the file ending (.obj, .stl, .ply, any case); false for others.
bool FormatOf(const std::string& path, Format& format);

// Writes `mesh` to `path` (and, for OBJ with a texture, the .mtl beside it), whole or not
// at all: to a temporary name first, then renamed. An existing file is never replaced.
// Returns an empty text on success, otherwise the reason.
std::string Write(const IndexedMesh& mesh, const DrawScales& scales, const std::string& path,
                  const Options& options = {});

// The height of the flat bottom `Write` gives a mesh whose drawn heights run from
// `lowest` to `highest`: a tenth of the relief below the lowest point, at least one unit.
double BaseHeight(double lowest, double highest);

}  // namespace mesh_export
