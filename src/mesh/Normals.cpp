// The per-grid-point normal table. Normals are in the drawing frame: x along the columns,
// y up, z along the rows, so they go to glNormal3f unchanged and point up on flat ground.
#include "Normals.h"

#include <new>

#include "Sampling.h"

namespace mesh {

namespace {

// The normal of point (r, c) from the quadrant faces it has, each made of P and two
// direct neighbours in one rotational order.
Normal PointNormal(const data& grid, int r, int c) {
  const bool down = r < grid.rows - 1, up = r > 0, right = c < grid.cols - 1, left = c > 0;
  float sx = 0, sy = 0, sz = 0;
  int faces = 0;
  auto add = [&](const Normal& n) {
    sx += n.x;
    sy += n.y;
    sz += n.z;
    ++faces;
  };
  if (down && right) add(FaceNormal(grid, r, c, r + 1, c, r, c + 1));
  if (up && right) add(FaceNormal(grid, r, c, r, c + 1, r - 1, c));
  if (up && left) add(FaceNormal(grid, r, c, r - 1, c, r, c - 1));
  if (down && left) add(FaceNormal(grid, r, c, r, c - 1, r + 1, c));
  // Interior points average four faces, border points two, corners keep their one.
  const float scale = faces == 4 ? 0.25f : faces == 2 ? 0.5f : 1.0f;
  return Normal{sx * scale, sy * scale, sz * scale};
}

// The interior points of row r (0 < r < rows - 1) in one sweep. Each of the four faces
// has unit horizontal steps, so it reduces to height differences: first (-(e-h), 1, -(s-h)),
// second (-(e-h), 1, n-h), third (w-h, 1, n-h), fourth (w-h, 1, -(s-h)), with n, e, s, w
// the heights one row up, one column right, one row down and one column left. They are
// summed in that order, in float, exactly as PointNormal does.
void FillInteriorOfRow(const data& grid, Normal** table, int r) {
  const int* up = grid.values[r - 1];
  const int* row = grid.values[r];
  const int* down = grid.values[r + 1];
  Normal* out = table[r];
  for (int c = 1; c < grid.cols - 1; ++c) {
    const long long h = row[c];
    const float east = static_cast<float>(-(row[c + 1] - h));
    const float west = static_cast<float>(row[c - 1] - h);
    const float north = static_cast<float>(up[c] - h);
    const float south = static_cast<float>(-(down[c] - h));
    out[c] = Normal{(((east + east) + west) + west) * 0.25f, 1.0f,
                    (((south + north) + north) + south) * 0.25f};
  }
}

// The height of (r, c) when that point lies on the grid and is no NODATA cell.
bool HeightAt(const data& grid, int r, int c, long long& h) {
  if (r < 0 || c < 0 || r >= grid.rows || c >= grid.cols || IsNoData(grid, grid.values[r][c])) return false;
  h = grid.values[r][c];
  return true;
}

// How much the ground falls per step along (dr, dc) at a point that holds a height, from
// its neighbours that hold one: central with both, one-sided with one, level with none.
// A NODATA neighbour counts as one beyond the grid's edge, so on a grid without NODATA
// this is the table's own rule.
float Fall(const data& grid, int r, int c, int dr, int dc) {
  const long long h = grid.values[r][c];
  long long behind = 0, ahead = 0;
  const bool has_behind = HeightAt(grid, r - dr, c - dc, behind), has_ahead = HeightAt(grid, r + dr, c + dc, ahead);
  if (has_behind && has_ahead) return static_cast<float>(behind - ahead) * 0.5f;
  if (has_ahead) return static_cast<float>(h - ahead);
  if (has_behind) return static_cast<float>(behind - h);
  return 0;
}

// The normal of (r, c) while NODATA cells are holes; a NODATA cell's own is never drawn.
Normal NormalBesideHoles(const data& grid, int r, int c) {
  if (IsNoData(grid, grid.values[r][c])) return Normal{0, 1, 0};
  return Normal{Fall(grid, r, c, 0, 1), 1, Fall(grid, r, c, 1, 0)};
}

}  // namespace

// P0, P1, P2 are (row, column) pairs. The edges e1 = P1 - P0 and e2 = P2 - P0 are taken in
// the frame (column, height, row) and the normal is e1 x e2; with the neighbours passed in
// the rotational order of CalcNormales the horizontal parts are unit steps, so every face
// gives y = 1 and a sloping face (-dh/dcolumn, 1, -dh/drow).
Normal FaceNormal(const data& grid, int x0, int z0, int x1, int z1, int x2, int z2) {
  const long long h0 = grid.values[x0][z0];
  const long long e1_x = z1 - z0, e1_y = grid.values[x1][z1] - h0, e1_z = x1 - x0;
  const long long e2_x = z2 - z0, e2_y = grid.values[x2][z2] - h0, e2_z = x2 - x0;
  return Normal{static_cast<float>(e1_y * e2_z - e1_z * e2_y),
                static_cast<float>(e1_z * e2_x - e1_x * e2_z),
                static_cast<float>(e1_x * e2_y - e1_y * e2_x)};
}

// One array of row pointers, then one row of normals each.
Normal** MakeNormalTable(const data& grid, bool show_nodata) {
  const int rows = grid.rows, cols = grid.cols;
  Normal** table = new (std::nothrow) Normal*[rows];
  if (table == nullptr) return nullptr;
  for (int r = 0; r < rows; ++r) {
    table[r] = new (std::nothrow) Normal[cols];
    if (table[r] == nullptr) {
      ReleaseNormalTable(table, r);
      return nullptr;
    }
  }
  for (int r = 0; r < rows; ++r) {
    if (r == 0 || r == rows - 1) {
      for (int c = 0; c < cols; ++c) table[r][c] = PointNormal(grid, r, c);
    } else {
      table[r][0] = PointNormal(grid, r, 0);
      FillInteriorOfRow(grid, table, r);
      table[r][cols - 1] = PointNormal(grid, r, cols - 1);
    }
  }
  if (grid.has_nodata && !show_nodata) RefillBesideNoData(grid, table, false);
  return table;
}

void ReleaseNormalTable(Normal**& table, int rows) {
  if (table == nullptr) return;
  for (int r = 0; r < rows; ++r) delete[] table[r];
  delete[] table;
  table = nullptr;
}

void RefillBesideNoData(const data& grid, Normal** table, bool shown) {
  const int rows = grid.rows, cols = grid.cols;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      if (!IsNoData(grid, grid.values[r][c])) continue;
      const int around[5][2] = {{r, c}, {r - 1, c}, {r + 1, c}, {r, c - 1}, {r, c + 1}};
      for (const auto& p : around) {
        if (p[0] < 0 || p[1] < 0 || p[0] >= rows || p[1] >= cols) continue;
        table[p[0]][p[1]] = shown ? PointNormal(grid, p[0], p[1]) : NormalBesideHoles(grid, p[0], p[1]);
      }
    }
}

}  // namespace mesh
