// The mesh of a model to print: one that joins its triangles edge to edge, as a solid
// needs. Free of GL.
#pragma once

#include "IndexedMesh.h"
#include "MeshBuild.h"

namespace mesh {

// `s` made to join its triangles edge to edge where its meshers can: an adaptive mesh
// holds its bound strictly (the plain adaptive meshers leave a vertex on a coarser
// neighbour's edge, and plain bisection rounds split points differently on the two sides
// of an edge on a grid not 2^k + 1 points wide). Uniform quads and meshes for a view
// (made from the strict meshers' hierarchies) are taken as they are.
inline Settings ForPrinting(Settings s) {
  if (!s.screen.on && s.adaptive) s.strict = true;
  return s;
}

// The mesh of ForPrinting(s) over `grid`; a uniform triangle mesh instead as the uniform
// bisection of the strict meshers' power-of-two square, split down to the plain mesh's
// triangle size at `s.precision`, with their forced splits along the grid's edges.
IndexedMesh BuildPrintMesh(const data& grid, const Settings& s);

// The depth of a split point (x, z) of the bisection of a square of side `side` (a
// power of two): 0 for its centre, 1 for its sides' midpoints, and so on.
int SplitDepth(int side, int x, int z);

}  // namespace mesh
