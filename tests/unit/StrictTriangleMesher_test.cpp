// Triangle bisection under a strict bound: the true error of every mesh stays within the
// bound, the mesh tiles the grid without cracks, overlaps or T-junctions, and with the
// setting off the plain mesher's list is unchanged.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <utility>

#include "TriangleList.h"
#include "Brackenholmer.h"
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "MeshList.h"
#include "MesherReference.h"

namespace {

using mesher_test::ScopedGrid;

mesh::Settings Strict(int bound, bool show_nodata = false) {
  mesh::Settings s;
  s.mode = 1;
  s.precision = 6;  // does not cap the depth of a strict mesh
  s.bound = bound;
  s.adaptive = true;
  s.strict = true;
  s.size = std::max(input.rows, input.cols);
  s.show_nodata = show_nodata;
  return s;
}

// Checks that the triangles of a mesh built with NODATA shown (no holes left out) cover
// the grid's rectangle exactly once (their areas add up to it) and meet edge to edge: an
// edge inside the grid has a triangle on each side, an edge on its border one.
void ExpectTiling(const IndexedMesh& m) {
  ASSERT_TRUE(m.shows_nodata);
  const long long cols = input.cols, last_x = input.cols - 1, last_z = input.rows - 1;
  std::vector<long long> corners;  // grid indices, three a triangle
  for (uint32_t i : m.indices) corners.push_back(static_cast<long long>(m.points[i].z) * cols + m.points[i].x);
  std::map<std::pair<long long, long long>, int> edges;
  long long twice_area = 0;
  for (size_t t = 0; t < corners.size(); t += 3) {
    long long x[3], z[3];
    for (int i = 0; i < 3; ++i) x[i] = corners[t + i] % cols, z[i] = corners[t + i] / cols;
    twice_area += std::llabs((x[1] - x[0]) * (z[2] - z[0]) - (x[2] - x[0]) * (z[1] - z[0]));
    for (int i = 0; i < 3; ++i) {
      const long long p = corners[t + i], q = corners[t + (i + 1) % 3];
      ++edges[{std::min(p, q), std::max(p, q)}];
    }
  }
  EXPECT_EQ(twice_area, 2 * last_x * last_z);
  int faults = 0;
  for (const auto& [edge, n] : edges) {
    const long long px = edge.first % cols, pz = edge.first / cols, qx = edge.second % cols,
                    qz = edge.second / cols;
    const bool border = (px == qx && (px == 0 || px == last_x)) || (pz == qz && (pz == 0 || pz == last_z));
    if (n != (border ? 1 : 2) && ++faults <= 3)
      ADD_FAILURE() << "edge (" << px << "," << pz << ")-(" << qx << "," << qz << ") has " << n << " triangles";
  }
}

// Triangles as (column, row) corners and hypotenuse code, in mesh order.
std::string Listed(const mesh::Settings& s) {
  mesh::TriangleListBuilder list;
  mesh::BuildTriangleMesh(input, s, list.Sink());
  std::string text;
  for (const TriangleList* n = list.Head(); n != nullptr; n = n->next)
    text += mesher_test::ToString(
                mesher_test::At(n->t.a.x, n->t.a.z, n->t.b.x, n->t.b.z, n->t.c.x, n->t.c.z, n->t.hypotenuse)) +
            "\n";
  list.Discard();
  return text;
}

TEST(StrictTriangleMesher, APeakAboveTheBoundSplitsAndAHeightChangedInPlaceIsSeen) {
  ScopedGrid grid(3, 3);
  grid.at(1, 1) = 10;  // on the bound: the two start triangles hold
  EXPECT_EQ(Listed(Strict(10)), "(0,0,0)(2,0,0)(2,0,2) 3\n(0,0,0)(2,0,2)(0,0,2) 1\n");
  grid.at(1, 1) = 11;  // same grid, same place in memory
  EXPECT_EQ(
      Listed(Strict(10)),
      "(0,0,0)(2,0,0)(1,11,1) 1\n(1,11,1)(2,0,0)(2,0,2) 2\n(0,0,0)(1,11,1)(0,0,2) 3\n(1,11,1)(2,0,2)(0,0,2) 2\n");
  // A pyramid 2^30 high on 5 x 5 points: the start triangles miss its top by 2^30, and
  // their children, flat, fit exactly.
  ScopedGrid pyramid(5, 5);
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 5; ++c) pyramid.at(c, r) = (2 - std::max(std::abs(c - 2), std::abs(r - 2))) << 29;
  const IndexedMesh top = mesh::BuildIndexedMesh(input, Strict(1, true));
  EXPECT_EQ(top.triangle_count, 4);
  EXPECT_EQ(top.true_error.max, 0);
  // A point the plain mesher never samples: (1, 0) lies on no hypotenuse it splits.
  ScopedGrid wide(5, 5);
  wide.at(1, 0) = 40;
  const IndexedMesh m = mesh::BuildIndexedMesh(input, Strict(10, true));
  EXPECT_EQ(m.true_error.max, 0);
  ExpectTiling(m);
}

TEST(StrictTriangleMesher, RandomGridsStayWithinTheBoundWithoutCracks) {
  std::mt19937 random(20261207);
  auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  for (int round = 0; round < 300; ++round) {
    // Shapes square and not, 2^k + 1 and not, single rows and columns.
    int rows = uniform(1, 40), cols = uniform(1, 40);
    if (round % 5 == 0) rows = cols = (1 << uniform(0, 5)) + 1;
    if (round % 7 == 0) (uniform(0, 1) ? rows : cols) = 1;
    ScopedGrid grid(rows, cols);
    // Rough ground: a random walk plus spikes.
    const int spike = uniform(0, 300);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c)
        grid.at(c, r) = (c > 0   ? grid.at(c - 1, r)
                         : r > 0 ? grid.at(0, r - 1)
                                 : 500) +
                        uniform(-20, 20) + (uniform(0, 30) == 0 ? spike : 0);
    // Every fourth grid in millions of units, with bounds to match: errors past 32 bits
    // of plane figures and past the size histogram's range.
    const int scale = round % 4 == 3 ? 1 << 16 : 1;
    if (scale > 1)
      for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) grid.at(c, r) = (grid.at(c, r) - 500) * scale;
    if (uniform(0, 2) == 0) {
      input.has_nodata = true;
      input.nodata = -9999;
      for (int n = uniform(1, 6); n > 0; --n) grid.at(uniform(0, cols - 1), uniform(0, rows - 1)) = -9999;
    }
    const int bound = uniform(1, 100) * scale;
    const bool show_nodata = uniform(0, 1) == 1;
    SCOPED_TRACE(testing::Message() << "round " << round << ": " << rows << "x" << cols << " bound " << bound);
    const IndexedMesh m = mesh::BuildIndexedMesh(input, Strict(bound, show_nodata));
    EXPECT_LE(m.true_error.max, bound);
    EXPECT_EQ(m.crack_fills, 0);
    if (rows > 1 && cols > 1) {
      EXPECT_EQ(m.true_error.uncovered, 0);
      ExpectTiling(show_nodata ? m : mesh::BuildIndexedMesh(input, Strict(bound, true)));
    } else {
      EXPECT_EQ(m.triangle_count, 0);  // a line has no triangle with area
    }
    if (HasFailure()) return;
  }
}

TEST(StrictTriangleMesher, SampleGridAtEveryBound) {
  ScopedGrid keep(1, 1);
  const data tiny = input;
  TerrainLoader loader;
  ASSERT_TRUE(loader.LoadArcASCIIFile(REPO_DATA_DIR "/jacksboro_403x344.asc")) << loader.msg;
  long long previous = -1;
  for (int bound = 100; bound >= 1; --bound) {
    SCOPED_TRACE(testing::Message() << "bound " << bound);
    const IndexedMesh m = mesh::BuildIndexedMesh(input, Strict(bound, true));
    EXPECT_EQ(m.level, 6);
    EXPECT_LE(m.true_error.max, bound);
    EXPECT_EQ(m.true_error.uncovered, 0);
    EXPECT_GE(m.triangle_count, previous);  // a lower bound never gives fewer triangles
    previous = m.triangle_count;
    if (bound == 1 || bound == 5 || bound == 10 || bound == 20 || bound == 50 || bound == 100) ExpectTiling(m);
  }

  // Over the budget: the mesh of the smallest larger bound that fits, one level down.
  mesh::Settings s = Strict(5);
  const long long at_12 = mesh::BuildIndexedMesh(input, Strict(12)).triangle_count;
  s.budget = at_12;
  const IndexedMesh limited = mesh::BuildIndexedMesh(input, s);
  EXPECT_EQ(limited.level, 5);
  EXPECT_LE(limited.triangle_count, at_12);
  int fitting = 5;
  while (mesh::BuildIndexedMesh(input, Strict(fitting)).triangle_count > at_12) ++fitting;
  EXPECT_EQ(limited.triangle_count, mesh::BuildIndexedMesh(input, Strict(fitting)).triangle_count);
  EXPECT_LE(limited.true_error.max, fitting);
  FreeGrid(input.values, input.rows);
  input = tiny;
}

TEST(StrictTriangleMesher, OffLeavesThePlainAdaptiveList) {
  for (const auto& [rows, cols] : {std::pair{9, 9}, std::pair{13, 7}, std::pair{17, 17}}) {
    ScopedGrid grid(rows, cols);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) grid.at(c, r) = (c * 37 + r * 101) % 53 * (c % 3 + 1);
    mesh_mode = 1;
    mesh_simplification = 1;
    max_precision = 8;
    max_approx_error = 5;
    const std::vector<mesher_test::Tri> reference = mesher_test::ReferenceTriangleMesh();
    Viewer.CreateTSDTriangles();
    EXPECT_EQ(mesher_test::ToString(mesher_test::MeshOfViewer(true)), mesher_test::ToString(reference));
    strict_error = 1;
    Viewer.CreateTSDTriangles();
    EXPECT_NE(mesher_test::ToString(mesher_test::MeshOfViewer(true)), mesher_test::ToString(reference));
  }
}

}  // namespace
