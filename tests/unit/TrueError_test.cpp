// The true error of a built mesh: exact figures on made-up grids, and on the sample grid
// against a brute-force point-in-triangle search over every triangle's bounding box.
#include "TrueError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "MeshBuild.h"
#include "MeshWorker.h"
#include "MesherReference.h"

namespace {

using mesher_test::ScopedGrid;

mesh::TrueError Built(int mode, bool adaptive, int precision, int bound) {
  mesh_mode = mode;
  mesh_simplification = adaptive ? 1 : 0;
  max_precision = precision;
  max_approx_error = bound;
  const IndexedMesh m = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
  EXPECT_TRUE(m.true_error.computed);
  return m.true_error;
}

TEST(TrueError, IsZeroOnAPlaneForBothMeshersAndEveryPointIsMeasured) {
  // 13 x 11 is not 2^k + 1 wide: the clamped edges give triangles without area.
  for (const auto& [rows, cols] : {std::pair{17, 17}, std::pair{13, 11}}) {
    ScopedGrid grid(rows, cols);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) grid.at(c, r) = 3 * c - 7 * r + 500;
    for (int mode : {0, 1})
      for (bool adaptive : {false, true}) {
        SCOPED_TRACE(testing::Message() << rows << "x" << cols << " mode " << mode << " adaptive " << adaptive);
        const mesh::TrueError e = Built(mode, adaptive, mode == 0 ? 3 : 6, 1);
        EXPECT_EQ(e.max, 0);
        EXPECT_EQ(e.rms, 0);
        EXPECT_EQ(e.measured, rows * cols);
        EXPECT_EQ(e.uncovered, 0);
        EXPECT_EQ(e.bound, adaptive ? 1 : -1);
      }
  }
}

// A 9 x 9 grid at 0 with one point of height 36 off every sample the meshers take.
void RaisedPoint(ScopedGrid& grid) { grid.at(3, 5) = 36; }

TEST(TrueError, ARaisedPointTheMeshSkipsGivesItsHeightAsMaximum) {
  ScopedGrid grid(9, 9);
  RaisedPoint(grid);
  // Uniform quads two steps wide, and both adaptive meshers (two triangles: no sample of
  // theirs sees the point).
  for (const auto& [mode, adaptive, precision] : {std::tuple{0, false, 2}, {0, true, 10}, {1, true, 10}}) {
    SCOPED_TRACE(testing::Message() << "mode " << mode << " adaptive " << adaptive);
    const mesh::TrueError e = Built(mode, adaptive, precision, 10);
    EXPECT_EQ(e.max, 36);
    EXPECT_EQ(e.rms, 4);  // sqrt(36^2 / 81)
    EXPECT_EQ(e.measured, 81);
    EXPECT_EQ(e.uncovered, 0);
  }
}

TEST(TrueError, NoDataPointsAndThePointsUnderNoDataCornersAreLeftOut) {
  ScopedGrid grid(9, 9);
  RaisedPoint(grid);
  input.has_nodata = true;
  input.nodata = -9999;
  grid.at(0, 0) = -9999;  // a corner of the quad 0..2 x 0..2 at precision 2
  const mesh::TrueError e = Built(0, false, 2, 10);
  // Out: (0, 0) itself and (1, 0), (0, 1), (1, 1), which only that quad covers.
  EXPECT_EQ(e.measured, 77);
  EXPECT_EQ(e.uncovered, 0);
  EXPECT_EQ(e.max, 36);
  EXPECT_DOUBLE_EQ(e.rms, std::sqrt(36.0 * 36.0 / 77));

  grid.at(3, 5) = -9999;  // the raised point itself
  const mesh::TrueError flat = Built(0, false, 2, 10);
  EXPECT_EQ(flat.measured, 76);
  EXPECT_EQ(flat.max, 0);
}

TEST(TrueError, ABorderRectangleThatCutsQuadsLeavesPointsUncovered) {
  ScopedGrid grid(9, 9);
  RaisedPoint(grid);
  // Quads four steps wide have their centres on columns 2 and 6; from column 3 on only
  // the right-hand ones are kept, so column 3 (nine points) lies under no triangle.
  terrain_border_1 = Vertex{3, 0, 0};
  mesh::TrueError e = Built(0, false, 1, 10);
  EXPECT_EQ(e.uncovered, 9);
  EXPECT_EQ(e.measured, 45);  // columns 4 to 8
  EXPECT_EQ(e.max, 0);        // the raised point is in column 3

  // The triangle mesher ignores the rectangle and covers it all.
  e = Built(1, false, 4, 10);
  EXPECT_EQ(e.uncovered, 0);
  EXPECT_EQ(e.measured, 81);

  // A rectangle that admits no quad: every point in it is uncovered.
  terrain_border_1 = Vertex{7, 0, 7};
  terrain_border_2 = Vertex{7, 0, 8};
  e = Built(0, false, 1, 10);
  EXPECT_EQ(e.uncovered, 2);
  EXPECT_EQ(e.measured, 0);
}

// The brute-force figures: every triangle of the mesh against every point of its bounding
// box with barycentric coordinates; a point under several takes the largest distance.
mesh::TrueError BruteForce(const IndexedMesh& m, int x0, int z0, int x1, int z1) {
  const int width = x1 - x0 + 1;
  std::vector<double> worst(static_cast<size_t>(width) * (z1 - z0 + 1), -1);
  for (size_t t = 0; t < m.indices.size(); t += 3) {
    const IndexedMesh::Point p[3] = {m.points[m.indices[t]], m.points[m.indices[t + 1]],
                                     m.points[m.indices[t + 2]]};
    const long long area = static_cast<long long>(p[1].x - p[0].x) * (p[2].z - p[0].z) -
                           static_cast<long long>(p[2].x - p[0].x) * (p[1].z - p[0].z);
    if (area == 0) continue;
    for (int z = std::max(z0, std::min({p[0].z, p[1].z, p[2].z})); z <= std::min(z1, std::max({p[0].z, p[1].z, p[2].z})); ++z)
      for (int x = std::max(x0, std::min({p[0].x, p[1].x, p[2].x})); x <= std::min(x1, std::max({p[0].x, p[1].x, p[2].x})); ++x) {
        // Barycentric weights times the doubled area: each is the doubled area of the
        // triangle the point makes with the opposite edge.
        double surface = 0;
        bool inside = true;
        for (int i = 0; i < 3; ++i) {
          const IndexedMesh::Point& a = p[(i + 1) % 3];
          const IndexedMesh::Point& b = p[(i + 2) % 3];
          const long long w = static_cast<long long>(b.x - a.x) * (z - a.z) - static_cast<long long>(x - a.x) * (b.z - a.z);
          inside = inside && (area > 0 ? w >= 0 : w <= 0);
          surface += static_cast<double>(w) / static_cast<double>(area) * input.values[p[i].z][p[i].x];
        }
        if (!inside) continue;
        double& slot = worst[static_cast<size_t>(z - z0) * width + (x - x0)];
        slot = std::max(slot, std::fabs(input.values[z][x] - surface));
      }
  }
  mesh::TrueError e;
  double sum = 0;
  for (double d : worst) {
    if (d < 0) {
      ++e.uncovered;
      continue;
    }
    ++e.measured;
    sum += d * d;
    e.max = std::max(e.max, d);
  }
  e.rms = std::sqrt(sum / static_cast<double>(e.measured));
  return e;
}

TEST(TrueError, OnTheSampleGridEqualsABruteForceSearch) {
  ScopedGrid keep(1, 1);  // restores the grid and the settings afterwards
  const data tiny = input;
  TerrainLoader loader;
  ASSERT_TRUE(loader.LoadArcASCIIFile(REPO_DATA_DIR "/jacksboro_403x344.asc")) << loader.msg;
  ASSERT_GT(input.y_min, -9999);  // no NODATA cells, which the search does not know of
  keep.UseWholeGrid();
  struct Case {
    int mode, adaptive, precision, bound, x1, z1, x2, z2;
  };
  for (const Case& c : {Case{0, 1, 100, 10, 0, 0, 403, 344}, Case{1, 1, 100, 10, 0, 0, 403, 344},
                        Case{0, 0, 6, 10, 0, 0, 403, 344}, Case{0, 1, 100, 20, 37, 50, 300, 211}}) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " adaptive " << c.adaptive << " bound " << c.bound);
    mesh_mode = c.mode;
    mesh_simplification = c.adaptive;
    max_precision = c.precision;
    max_approx_error = c.bound;
    terrain_border_1 = Vertex{c.x1, 0, c.z1};
    terrain_border_2 = Vertex{c.x2, 0, c.z2};
    const IndexedMesh m = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
    const mesh::TrueError brute = BruteForce(m, c.x1, c.z1, std::min(c.x2, 402), std::min(c.z2, 343));
    const mesh::TrueError& e = m.true_error;
    EXPECT_FLOAT_EQ(e.max, brute.max);
    EXPECT_NEAR(e.rms, brute.rms, 1e-6 * brute.rms);
    EXPECT_EQ(e.measured, brute.measured);
    EXPECT_EQ(e.uncovered, brute.uncovered);
    EXPECT_GT(e.max, c.bound);  // the meshers test samples, not every point
    // Quads tile the square; a rectangle cuts some of them off. (The triangle mesher's
    // midpoints, rounded on this grid that is not 2^k + 1 wide, leave cracks of its own.)
    if (c.mode == 0) {
      if (c.x1 > 0) EXPECT_GT(e.uncovered, 0);
      else EXPECT_EQ(e.uncovered, 0);
    }
  }
  FreeGrid(input.values, input.rows);
  input = tiny;
}

TEST(TrueError, TravelsWithTheMeshFromTheWorker) {
  ScopedGrid grid(9, 9);
  RaisedPoint(grid);
  mesh::Settings s = mesh::CurrentSettings();
  s.adaptive = true;
  s.precision = 10;
  s.bound = 7;
  MeshWorker worker([](const mesh::Settings& settings, const std::function<bool()>& superseded) {
    return mesh::BuildIndexedMesh(input, settings, superseded);
  });
  worker.Request(s);
  const std::optional<IndexedMesh> m = worker.WaitAndTake();
  ASSERT_TRUE(m.has_value());
  EXPECT_TRUE(m->true_error.computed);
  EXPECT_EQ(m->true_error.max, 36);
  EXPECT_EQ(m->true_error.bound, 7);
}

}  // namespace
