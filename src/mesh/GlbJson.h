// The JSON chunk of a binary glTF (see GlbWriter.h): the layout of the BIN chunk that
// it describes, and the document itself. Free of GL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "DrawScales.h"
#include "MeshBase.h"
#include "TerrainLoader.h"

namespace mesh_export {

// The BIN chunk: positions from 0, then normals, texture coordinates (with a drape), the
// surface's corner indices, the base's (with a base) and the PNG, each on four bytes.
struct GlbLayout {
  size_t vertices = 0, surface_indices = 0, base_indices = 0;
  bool textured = false;
  uint64_t png_bytes = 0;
  Corner least{}, most{};  // the positions' bounds as written
  uint64_t normals_at = 0, texcoords_at = 0, indices_at = 0, base_at = 0, image_at = 0, end = 0;
};

GlbLayout LayOut(size_t vertices, size_t surface_indices, size_t base_indices, bool textured, uint64_t png_bytes);

// What the node's extras say of where the model lies.
struct GlbPlace {
  const data& grid;
  const DrawScales& scales;
  int units_per_metre;
  double centre[3];  // the translation taken off every position, in metres
};

// The document, padded with spaces to four bytes.
std::string GlbJson(const GlbLayout& layout, const GlbPlace& place);

uint64_t Padded4(uint64_t n);

}  // namespace mesh_export
