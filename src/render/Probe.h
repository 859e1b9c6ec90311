// The height under the pointer, free of GL: a point of the drawn surface, in the model's
// frame (after the model turns are undone), back to a grid position, and the overlay line.
#pragma once

#include <string>

#include "DrawScales.h"
#include "GridPosition.h"

struct GridSpot {
  int row, column;
};

// The grid position (fractional column and row) of the drawn point (x, z) of a grid of
// rows x cols centred on the origin at `scales`; false when it lies outside the grid by
// more than half a cell. Clamped to the grid's points.
bool GridPositionAt(double x, double z, int rows, int cols, const DrawScales& scales, GridPosition& at);

// The grid point nearest to the drawn point (x, z) of a grid of rows x cols centred on
// the origin at `scales`; false when it lies outside the grid by more than half a cell.
bool GridSpotAt(double x, double z, int rows, int cols, const DrawScales& scales, GridSpot& spot);

struct IndexedMesh;

// The height of the drawn surface of `m` over grid point `spot`: the first triangle that
// covers it, interpolated linearly; false when none does (a hole, a border cut).
bool MeshHeightAt(const IndexedMesh& m, const GridSpot& spot, double& height);

// "Row 120, col 211, 36.5474 N 84.2371 W: 612 m, mesh 598 m" for the loaded grid: the
// place when its file gives one (longitude and latitude, or map x and y), the grid's
// height ("NODATA" for a cell without one) and, when known, the drawn surface's.
std::string ProbeText(const GridSpot& spot, bool mesh_known, double mesh_height);

// The line the overlay shows for the pointer; empty over the sky, the panel, or while a
// button is down.
extern std::string probe_text;
