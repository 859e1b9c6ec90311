// Writes a mesh to OBJ, binary STL, binary PLY or binary glTF for other programs and 3-D
// printers.
// Free of GL.
//
// Positions are the drawn ones without the centring: x = column x column spacing,
// y = height, z = row x row spacing, each times the panel's scales, in whole units as the
// drawing truncates them, written in metres: divided by the grid's units a metre. Triangles keep the drawing's corner order a, c, b, which turns
// counter-clockwise seen from above (y up, z growing southward, x east): their normals
// point up, as every importer expects of a right-handed y-up file.
//
// A model to print (Options::print_size_mm) is written z up in millimetres instead (see
// PrintSolid), from a mesh that joins its triangles edge to edge (mesh::BuildPrintMesh).
//
// The parts: TempFile (whole or not at all), BufferedFile, MeshToWrite (the drawn figures
// in metres), MeshOutline and MeshBase (the solid), PrintSolid, ObjWriter, StlWriter,
// PlyWriter, GlbWriter (which centres its model; see there) and GlbJson.
#pragma once

#include <string>

#include "DrawScales.h"
#include "IndexedMesh.h"
#include "Mesh.h"
#include "Status.h"
#include "TerrainLoader.h"

namespace mesh_export {

enum class Format { kObj, kStl, kPly, kGlb };

struct Options {
  // Walls down from the mesh's outline and a flat bottom, so that the file is a closed
  // solid (in an OBJ the bottom faces down and each wall out, with normals of their own).
  bool base = false;
  // OBJ only: the image named as the texture in an .mtl beside the file, by its path from
  // the .mtl's folder so that the two can be moved together; none when empty.
  std::string texture;
  // The grid's height units a metre (see data::units_per_metre).
  int units_per_metre = 1;
  // A model to print, when above 0: z up, in millimetres, the longest side of the
  // horizontal extent this long, heights to the same scale (times the Y-Multiplier, as
  // drawn). STL, PLY and OBJ only.
  double print_size_mm = 0;
  // With `base` and a print size: the bottom this many millimetres below the lowest point.
  double base_thickness_mm = 2;
  // GLB only: the drape, embedded as PNG with a material; rows top (north) to bottom.
  const unsigned char* texture_rgb = nullptr;
  int texture_width = 0, texture_height = 0;
};

// What a file holds: its distinct corner points (for STL, which lists none, the number a
// PLY of the same solid lists) and its triangles, base included.
struct Written {
  size_t vertices = 0;
  size_t triangles = 0;
};

// The format named by the file ending (.obj, .stl, .ply, .glb, any case); false for others.
bool FormatOf(const std::string& path, Format& format);

// Writes `mesh` of `grid`, with the grid's normal table `normals` (for an OBJ's normals),
// to `path` (and, for OBJ with a texture, the .mtl beside it), whole or not at all: to a
// temporary name first, then renamed. An existing file is never replaced. A mesh that has
// no area across at these scales (an X-Z-Multiplier of 0) is refused, and so is a model to
// print from a mesh with crack fills, or as glTF. `written`, when
// given, gets the counts of a written file.
Status Write(const IndexedMesh& mesh, const data& grid, const Normal* const* normals, const DrawScales& scales,
             const std::string& path, const Options& options = {}, Written* written = nullptr);

}  // namespace mesh_export
