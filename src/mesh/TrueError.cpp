#include "TrueError.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "Sampling.h"

namespace mesh {

namespace {

// Per-point marks below zero; a measured point holds its distance, and the largest mark
// a point gets wins, so a real distance beats a hole and a hole beats no triangle.
constexpr float kUncovered = -1.0f;
constexpr float kHole = -0.5f;

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

struct Corner {
  int64_t x, z;
};

// The columns [lo, hi] of row z inside the closed triangle, from the three edge
// half-planes in exact integer arithmetic; `orientation` is the sign of its area.
bool RowSpan(const Corner (&c)[3], int64_t orientation, int64_t z, int64_t& lo, int64_t& hi) {
  for (int i = 0; i < 3; ++i) {
    const Corner& p = c[i];
    const Corner& q = c[(i + 1) % 3];
    const int64_t ex = q.x - p.x, ez = q.z - p.z;
    // Inside: orientation * (ex * (z - p.z) - ez * (x - p.x)) >= 0, i.e. k - s * x >= 0.
    const int64_t s = orientation * ez;
    const int64_t k = orientation * (ex * (z - p.z) + ez * p.x);
    if (s > 0) {
      hi = std::min(hi, FloorDiv(k, s));
    } else if (s < 0) {
      lo = std::max(lo, -FloorDiv(k, -s));
    } else if (k < 0) {
      return false;
    }
  }
  return lo <= hi;
}

}  // namespace

GridArea MeshedArea(const data& grid, const Settings& s) {
  // Positions past the last row or column land on it, as in the meshers' sampling.
  const int size = std::max(s.size, 0);
  GridArea area{0, 0, std::min(size, grid.cols - 1), std::min(size, grid.rows - 1)};
  if (s.mode == 0) {
    area.x0 = std::max(area.x0, s.border_1.x);
    area.z0 = std::max(area.z0, s.border_1.z);
    area.x1 = std::min(area.x1, s.border_2.x);
    area.z1 = std::min(area.z1, s.border_2.z);
  }
  return area;
}

TrueError MeasureTrueError(const data& grid, const IndexedMesh& m, const GridArea& area) {
  TrueError result;
  result.computed = true;
  if (area.x0 > area.x1 || area.z0 > area.z1) return result;
  const int64_t width = static_cast<int64_t>(area.x1) - area.x0 + 1;
  const int64_t rows = static_cast<int64_t>(area.z1) - area.z0 + 1;
  std::vector<float> mark(static_cast<size_t>(width * rows), kUncovered);
  auto at = [&](int64_t x, int64_t z) -> float& {
    return mark[static_cast<size_t>((z - area.z0) * width + (x - area.x0))];
  };

  // Marks the points of the triangle with corners (column, row) p[0..2].
  auto cover = [&](const IndexedMesh::Point (&p)[3]) {
    Corner c[3];
    double h[3];
    bool hole = false;
    for (int i = 0; i < 3; ++i) {
      c[i] = Corner{p[i].x, p[i].z};
      const int height = grid.values[p[i].z][p[i].x];
      hole = hole || IsNoData(grid, height);
      h[i] = height;
    }
    const int64_t dx1 = c[1].x - c[0].x, dz1 = c[1].z - c[0].z;
    const int64_t dx2 = c[2].x - c[0].x, dz2 = c[2].z - c[0].z;
    const int64_t det = dx1 * dz2 - dx2 * dz1;
    if (det == 0) return;  // no area: covers nothing
    const int64_t orientation = det > 0 ? 1 : -1;
    // The plane through the corners: h0 + gx * (x - x0) + gz * (z - z0).
    const double dh1 = h[1] - h[0], dh2 = h[2] - h[0];
    const double gx = (dh1 * static_cast<double>(dz2) - dh2 * static_cast<double>(dz1)) / static_cast<double>(det);
    const double gz = (static_cast<double>(dx1) * dh2 - static_cast<double>(dx2) * dh1) / static_cast<double>(det);

    const int64_t z_lo = std::max<int64_t>(std::min({c[0].z, c[1].z, c[2].z}), area.z0);
    const int64_t z_hi = std::min<int64_t>(std::max({c[0].z, c[1].z, c[2].z}), area.z1);
    const int64_t x_min = std::max<int64_t>(std::min({c[0].x, c[1].x, c[2].x}), area.x0);
    const int64_t x_max = std::min<int64_t>(std::max({c[0].x, c[1].x, c[2].x}), area.x1);
    for (int64_t z = z_lo; z <= z_hi; ++z) {
      int64_t lo = x_min, hi = x_max;
      if (!RowSpan(c, orientation, z, lo, hi)) continue;
      float* row = &at(lo, z);
      if (hole) {
        for (int64_t x = lo; x <= hi; ++x) row[x - lo] = std::max(row[x - lo], kHole);
        continue;
      }
      const int* heights = grid.values[z] + lo;
      const double first = h[0] + gz * static_cast<double>(z - c[0].z) + gx * static_cast<double>(lo - c[0].x);
      const int n = static_cast<int>(hi - lo + 1);
      for (int i = 0; i < n; ++i) {
        const float e = static_cast<float>(std::fabs(heights[i] - (first + gx * i)));
        row[i] = std::max(row[i], e);
      }
    }
  };
  for (size_t t = 0; t + 2 < m.indices.size(); t += 3)
    cover({m.points[m.indices[t]], m.points[m.indices[t + 1]], m.points[m.indices[t + 2]]});
  // The triangles the drawing leaves out for a NODATA corner: holes, not cracks.
  const size_t cols = static_cast<size_t>(grid.cols);
  auto point = [cols](uint32_t i) { return IndexedMesh::Point{static_cast<int>(i % cols), static_cast<int>(i / cols)}; };
  for (size_t t = 0; t + 2 < m.hole_corners.size(); t += 3)
    cover({point(m.hole_corners[t]), point(m.hole_corners[t + 1]), point(m.hole_corners[t + 2])});

  double sum = 0;
  float largest = 0;
  for (int64_t z = area.z0; z <= area.z1; ++z) {
    const int* heights = grid.values[z];
    const float* row = &at(area.x0, z);
    for (int64_t x = area.x0; x <= area.x1; ++x, ++row) {
      if (IsNoData(grid, heights[x])) continue;
      const float e = *row;
      if (e >= 0) {
        ++result.measured;
        sum += static_cast<double>(e) * e;
        largest = std::max(largest, e);
      } else if (e == kUncovered) {
        ++result.uncovered;
      }
    }
  }
  result.max = largest;
  if (result.measured > 0) result.rms = std::sqrt(sum / static_cast<double>(result.measured));
  return result;
}

}  // namespace mesh
