// The mesh settings of a model to print. Free of GL.
#pragma once

#include "MeshBuild.h"

namespace mesh {

// `s` made to join its triangles edge to edge, as a solid needs: an adaptive mesh holds
// its bound strictly (the plain adaptive meshers leave a vertex on a coarser neighbour's
// edge), and a uniform triangle mesh is the strict one that splits every triangle down to
// the precision (plain bisection rounds split points differently on the two sides of an
// edge on a grid not 2^k + 1 points wide). Uniform quads and meshes for a view (made from
// the strict meshers' hierarchies) are taken as they are.
inline Settings ForPrinting(Settings s) {
  if (s.screen.on || (s.mode == 0 && !s.adaptive)) return s;
  if (!s.adaptive) s.bound = -1;  // every triangle misses: split down to the precision
  s.adaptive = true;
  s.strict = true;
  return s;
}

}  // namespace mesh
