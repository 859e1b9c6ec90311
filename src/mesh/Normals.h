// The per-grid-point normal table of a grid: table[row][column].
#pragma once

#include "Mesh.h"
#include "TerrainLoader.h"

namespace mesh {

// The normal of the face P0, P1, P2 of `grid`, each a (row, column) pair.
Normal FaceNormal(const data& grid, int x0, int z0, int x1, int z1, int x2, int z2);

// The table of `grid`, `grid.rows` rows of `grid.cols` normals, for NODATA cells shown as
// heights or (`show_nodata` false) as holes, beside which the normals are formed from
// the neighbours that hold heights. Null when it does not fit into memory.
Normal** MakeNormalTable(const data& grid, bool show_nodata);

// Releases a table of `rows` rows and leaves `table` null.
void ReleaseNormalTable(Normal**& table, int rows);

// Recomputes, in place, every NODATA cell and its four direct neighbours (the only points
// whose normals see a NODATA cell) for NODATA cells shown as heights or left as holes.
void RefillBesideNoData(const data& grid, Normal** table, bool shown);

}  // namespace mesh
