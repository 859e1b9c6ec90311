// The per-grid-point normal table. Normals are in the drawing frame: x along the columns,
// y up, z along the rows, so they go to glNormal3f unchanged and point up on flat ground.
#include <new>

#include "Brackenholmer.h"

namespace {

// Size of the table `normales` currently holds, so a second build can release it.
int normal_rows = 0;

// The normal of point (r, c) from the quadrant faces it has, each made of P and two
// direct neighbours in one rotational order.
Normal PointNormal(Brackenholmer& viewer, int r, int c) {
  const bool down = r < input.rows - 1, up = r > 0, right = c < input.cols - 1, left = c > 0;
  float sx = 0, sy = 0, sz = 0;
  int faces = 0;
  auto add = [&](const Normal& n) {
    sx += n.x;
    sy += n.y;
    sz += n.z;
    ++faces;
  };
  if (down && right) add(viewer.CreateNormal(r, c, r + 1, c, r, c + 1));
  if (up && right) add(viewer.CreateNormal(r, c, r, c + 1, r - 1, c));
  if (up && left) add(viewer.CreateNormal(r, c, r - 1, c, r, c - 1));
  if (down && left) add(viewer.CreateNormal(r, c, r, c - 1, r + 1, c));
  // Interior points average four faces, border points two, corners keep their one.
  const float scale = faces == 4 ? 0.25f : faces == 2 ? 0.5f : 1.0f;
  return Normal{sx * scale, sy * scale, sz * scale};
}

// The interior points of row r (0 < r < rows - 1) in one sweep. Each of the four faces
// has unit horizontal steps, so it reduces to height differences: first (-(e-h), 1, -(s-h)),
// second (-(e-h), 1, n-h), third (w-h, 1, n-h), fourth (w-h, 1, -(s-h)), with n, e, s, w
// the heights one row up, one column right, one row down and one column left. They are
// summed in that order, in float, exactly as PointNormal does.
void FillInteriorOfRow(int r) {
  const int* up = input.values[r - 1];
  const int* row = input.values[r];
  const int* down = input.values[r + 1];
  Normal* out = normales[r];
  for (int c = 1; c < input.cols - 1; ++c) {
    const long long h = row[c];
    const float east = static_cast<float>(-(row[c + 1] - h));
    const float west = static_cast<float>(row[c - 1] - h);
    const float north = static_cast<float>(up[c] - h);
    const float south = static_cast<float>(-(down[c] - h));
    out[c] = Normal{(((east + east) + west) + west) * 0.25f, 1.0f,
                    (((south + north) + north) + south) * 0.25f};
  }
}

}  // namespace

// P0, P1, P2 are (row, column) pairs. The edges e1 = P1 - P0 and e2 = P2 - P0 are taken in
// the frame (column, height, row) and the normal is e1 x e2; with the neighbours passed in
// the rotational order of CalcNormales the horizontal parts are unit steps, so every face
// gives y = 1 and a sloping face (-dh/dcolumn, 1, -dh/drow).
Normal Brackenholmer::CreateNormal(int x0, int z0, int x1, int z1, int x2, int z2) {
  const long long h0 = input.values[x0][z0];
  const long long e1_x = z1 - z0, e1_y = input.values[x1][z1] - h0, e1_z = x1 - x0;
  const long long e2_x = z2 - z0, e2_y = input.values[x2][z2] - h0, e2_z = x2 - x0;
  return Normal{static_cast<float>(e1_y * e2_z - e1_z * e2_y),
                static_cast<float>(e1_z * e2_x - e1_x * e2_z),
                static_cast<float>(e1_x * e2_y - e1_y * e2_x)};
}

namespace {

void ReleaseNormals() {
  if (normales == nullptr) return;
  for (int r = 0; r < normal_rows; ++r) delete[] normales[r];
  delete[] normales;
  normales = nullptr;
  normal_rows = 0;
}

// One array of row pointers, then one row of normals each; false, with nothing kept,
// when memory runs out.
bool AllocateNormals(int rows, int cols) {
  normales = new (std::nothrow) Normal*[rows];
  if (normales == nullptr) return false;
  for (int r = 0; r < rows; ++r) {
    normales[r] = new (std::nothrow) Normal[cols];
    if (normales[r] == nullptr) {
      normal_rows = r;
      ReleaseNormals();
      return false;
    }
  }
  normal_rows = rows;
  return true;
}

}  // namespace

// Leaves `normales` null when the table does not fit into memory; the caller refuses the
// grid then.
void Brackenholmer::CalcNormales() {
  ReleaseNormals();
  ++normal_table_version;
  const int rows = input.rows;
  const int cols = input.cols;
  if (!AllocateNormals(rows, cols)) return;

  for (int r = 0; r < rows; ++r) {
    if (r == 0 || r == rows - 1) {
      for (int c = 0; c < cols; ++c) normales[r][c] = PointNormal(*this, r, c);
    } else {
      normales[r][0] = PointNormal(*this, r, 0);
      FillInteriorOfRow(r);
      normales[r][cols - 1] = PointNormal(*this, r, cols - 1);
    }
  }
}
