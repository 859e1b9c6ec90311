// The per-vertex arrays of a mesh as the drawing sends them and as the exporters write
// them: one set of figures for both.
#pragma once

#include <cstdint>
#include <vector>

#include "DrawScales.h"
#include "IndexedMesh.h"
#include "Mesh.h"
#include "TerrainLoader.h"

// How the terrain is shaded: colour by height, draped texture, or plain white.
enum class Shading { kColor, kTexture, kPlain };

// The per-vertex arrays of a mesh as drawn: positions in whole units as the immediate
// drawing truncates them, the grid normals, and colours or texture coordinates.
struct VertexArrays {
  std::vector<int32_t> positions;  // x, y, z per record
  std::vector<float> normals;      // x, y, z per record
  std::vector<float> colours;      // r, g, b per record, colour shading only
  std::vector<float> texcoords;    // s, t per record, texture shading only
};

// The colour of a height in metres, as r, g, b.
using HeightColour = void (*)(double metres, float* rgb);

// Fills `out` for `mesh` from `grid` and its normal table: x, y and z are the column,
// height and row times the scales, each truncated toward zero and saturated at the int
// limits; the normals are the grid's with x and z scaled; colours (colour shading, which
// needs `colour`) follow the heights. A mesh with normals of its own (IndexedMesh::normals)
// takes those, and `normals` may be null.
void FillVertexArrays(const data& grid, const Normal* const* normals, const IndexedMesh& mesh, Shading shading,
                      const DrawScales& scales, VertexArrays& out, HeightColour colour = nullptr);
