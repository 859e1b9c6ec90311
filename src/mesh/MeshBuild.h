// What a mesh build reads of the viewer's settings, taken in one go so that a build on
// another thread works from one consistent request, and the two meshers as functions of it.
#pragma once

#include "Mesh.h"
#include "ScreenView.h"
#include "TerrainLoader.h"

namespace mesh {

struct Settings {
  int mode = 0;  // 0 quad subdivision, otherwise triangle bisection
  int precision = 0;
  int bound = 0;
  bool adaptive = false;
  int size = 0;  // side of the start square, in grid steps
  Vertex border_1{}, border_2{};
  long long budget = kDefaultMeshTriangleBudget;
  bool show_nodata = false;  // NODATA cells as heights; otherwise their triangles are left out
  bool strict = false;       // with `adaptive`: the bound holds at every grid point, no cracks
  // On: the strict meshers refine for the view instead of for `bound`, whatever `adaptive`
  // and `strict` say.
  ScreenSettings screen;
};

// The settings the panel and the keys have set now (defined by the viewer).
Settings CurrentSettings();

// Build the mesh of `s` over `grid` into `out` (an IndexedMeshBuilder, a TriangleSink or a CountingBuilder), in
// the order the passes list the triangles, and return the level reached: below the
// precision asked for when the budget or the memory stopped it, -1 when nothing fitted.
template <class Builder>
int BuildQuadMesh(const data& grid, const Settings& s, Builder& out);
template <class Builder>
int BuildTriangleMesh(const data& grid, const Settings& s, Builder& out);

// The adaptive meshes under a strict bound; the plain meshers hand over to them.
template <class Builder>
int BuildStrictQuadMesh(const data& grid, const Settings& s, Builder& out);
template <class Builder>
int BuildStrictTriangleMesh(const data& grid, const Settings& s, Builder& out);

// The meshes that follow the view of `s.screen`, from the strict meshers' hierarchies.
template <class Builder>
int BuildScreenQuadMesh(const data& grid, const Settings& s, Builder& out);
template <class Builder>
int BuildScreenTriangleMesh(const data& grid, const Settings& s, Builder& out);

// The plain meshers' split tests, one element at a time: a quad whose a-c diagonal
// strays from the grid, a triangle whose edge midpoints miss it, by more than `bound`.
bool QuadStrays(const data& grid, const Quad& q, int bound);
bool TriangleMisses(const data& grid, const Triangle& t, int bound);

template <class Builder>
int BuildMesh(const data& grid, const Settings& s, Builder& out) {
  if (s.screen.on) return s.mode != 0 ? BuildScreenTriangleMesh(grid, s, out) : BuildScreenQuadMesh(grid, s, out);
  return s.mode != 0 ? BuildTriangleMesh(grid, s, out) : BuildQuadMesh(grid, s, out);
}

}  // namespace mesh
