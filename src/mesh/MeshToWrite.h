// A mesh made ready for the format writers: its drawn per-vertex arrays, its corners in
// metres and, for a solid, its base; or a model to print. Free of GL.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "DrawScales.h"
#include "IndexedMesh.h"
#include "MeshBase.h"
#include "PrintSolid.h"
#include "VertexArrays.h"

namespace mesh_export {

struct MeshToWrite {
  const IndexedMesh* mesh = nullptr;
  // Positions in whole units as drawn; normals; texture coordinates when `texture`.
  VertexArrays arrays;
  // The drawn positions in metres, when a writer needs them (not for an OBJ without a base).
  std::vector<Corner> corners;
  std::optional<Base> base;
  int decimals = 0;  // of a metre in the grid's unit: positions are written in metres

  // A model to print: written instead of the above (see PrintSolid).
  std::optional<PrintSolid> solid;

  const Base* base_or_null() const { return base ? &*base : nullptr; }
};

struct PrepareOptions {
  bool texture = false;  // fill texture coordinates: fresh memory is much of an export's cost
  bool corners = true;   // fill `corners` (always filled with a base)
  bool base = false;
  int units_per_metre = 1;
  double print_size_mm = 0;  // above 0: make `solid` instead of corners and a base
  double base_thickness_mm = 2;
};

// `mesh` from `grid` and its normal table at `scales`, made ready for writing.
MeshToWrite Prepare(const data& grid, const Normal* const* normals, const IndexedMesh& mesh, const DrawScales& scales,
                    const PrepareOptions& options);

// True when the drawn positions spread in both x and z: a mesh flattened to a line (an
// X-Z-Multiplier of 0) has no area.
bool HasArea(const std::vector<int32_t>& positions);

}  // namespace mesh_export
