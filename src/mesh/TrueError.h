// How far a built mesh strays from the grid: for every grid point of the meshed area, the
// vertical distance between its height and the drawn surface over it (the covering
// triangle, linearly interpolated). Measured once per build, on the thread that builds.
#pragma once

#include "TerrainLoader.h"

struct IndexedMesh;

namespace mesh {

struct Settings;

struct TrueError {
  bool computed = false;     // false for meshes built without a measurement
  double max = 0;            // largest distance over the measured points
  double rms = 0;            // root mean square over the measured points
  long long measured = 0;    // points with a height under a triangle
  long long uncovered = 0;   // points with a height under no triangle (border cuts, cracks)
  int bound = -1;            // the bound an adaptive build worked to; -1 for a uniform one
};

// A rectangle of grid points, both corners included; empty when x0 > x1 or z0 > z1.
struct GridArea {
  int x0, z0, x1, z1;
};

// The grid points a build of `s` is meant to cover: the meshers' start square cut to the
// grid, and for quad subdivision also to the border rectangle.
GridArea MeshedArea(const data& grid, const Settings& s);

// Measures `m` against `grid` over `area`. Triangles without area cover nothing.
// NODATA points count nowhere, and neither do points under a triangle with a NODATA
// corner (a hole, not a crack). A point on the edges of several triangles, as at a
// T-junction, takes the largest of their distances. Rasterises each triangle over the
// grid points it covers, so the cost grows with the triangles plus the points.
TrueError MeasureTrueError(const data& grid, const IndexedMesh& m, const GridArea& area);

}  // namespace mesh
