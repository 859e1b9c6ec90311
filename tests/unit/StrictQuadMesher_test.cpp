// Quad subdivision under a strict bound: the drawn surface stays within the bound at every
// grid point (measured by mesh::MeasureTrueError), covers the grid and has no cracks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "TriangleList.h"
#include "Brackenholmer.h"
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "MeshList.h"
#include "MesherReference.h"

namespace {

using mesher_test::At;
using mesher_test::ScopedGrid;
using mesher_test::Tri;

std::vector<Triangle> StrictList(int bound) {
  mesh::Settings s = mesh::CurrentSettings();
  s.mode = 0;
  s.adaptive = true;
  s.strict = true;
  s.bound = bound;
  mesh::TriangleListBuilder list;
  mesh::BuildQuadMesh(input, s, list.Sink());
  std::vector<Triangle> tris;
  tris.reserve(static_cast<size_t>(list.Count()));
  for (const TriangleList* n = list.Head(); n != nullptr; n = n->next) tris.push_back(n->t);
  TriangleList* head = list.Head();
  mesh::ReleaseTriangleList(head);
  return tris;
}

// The first fault of a mesh meant to tile its part of the grid, or "": a triangle without
// area or turned the wrong way, an edge walked twice the same way, a corner inside another
// triangle's edge (an open T-junction) and, when `whole`, an edge inside the grid walked one
// way only or an area other than the grid's.
std::string Faults(const std::vector<Triangle>& tris, bool whole) {
  const int cols = input.cols, rows = input.rows;
  std::vector<char> corner(static_cast<size_t>(cols) * rows, 0);
  auto index = [&](const Vertex& v) { return v.z * cols + v.x; };
  long long twice_area = 0;
  for (const Triangle& t : tris) {
    const long long det = static_cast<long long>(t.b.x - t.a.x) * (t.c.z - t.a.z) -
                          static_cast<long long>(t.c.x - t.a.x) * (t.b.z - t.a.z);
    if (det <= 0) return "triangle without area or turned the wrong way";
    twice_area += det;
    for (const Vertex* v : {&t.a, &t.b, &t.c}) corner[index(*v)] = 1;
  }
  std::vector<std::pair<int, int>> edges;
  edges.reserve(3 * tris.size());
  for (const Triangle& t : tris)
    for (const auto& [p, q] : {std::pair{t.a, t.b}, std::pair{t.b, t.c}, std::pair{t.c, t.a}}) {
      edges.push_back({index(p), index(q)});
      const int steps = std::gcd(std::abs(q.x - p.x), std::abs(q.z - p.z));
      for (int k = 1; k < steps; ++k)
        if (corner[index(Vertex{p.x + (q.x - p.x) / steps * k, 0, p.z + (q.z - p.z) / steps * k})])
          return "a corner inside an edge";
    }
  std::sort(edges.begin(), edges.end());
  if (std::adjacent_find(edges.begin(), edges.end()) != edges.end()) return "an edge walked twice one way";
  if (!whole) return "";
  for (const auto& [p, q] : edges) {
    const int px = p % cols, pz = p / cols, qx = q % cols, qz = q / cols;
    const bool outline = (px == qx && (px == 0 || px == cols - 1)) || (pz == qz && (pz == 0 || pz == rows - 1));
    if (!outline && !std::binary_search(edges.begin(), edges.end(), std::pair{q, p})) return "an open edge";
  }
  if (twice_area != 2LL * (cols - 1) * (rows - 1)) return "an area other than the grid's";
  return "";
}

// Builds the drawn mesh and its list at `bound` and checks both; returns the mesh.
IndexedMesh CheckedBuild(int bound, bool whole) {
  max_approx_error = bound;
  const IndexedMesh m = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
  EXPECT_LE(m.true_error.max, bound);
  if (whole && input.rows > 1 && input.cols > 1) {
    EXPECT_EQ(m.true_error.uncovered, 0);
  }
  EXPECT_EQ(Faults(StrictList(bound), whole), "");
  return m;
}

void UseStrictQuads() {
  strict_error = 1;
  mesh_mode = 0;
  mesh_simplification = 1;
}

TEST(StrictQuadMesher, RefinesAroundAPeakTheDiagonalMissesAndFansTowardTheFinerQuads) {
  ScopedGrid grid(9, 9);
  UseStrictQuads();
  max_precision = 1;  // the bound decides the depth, not the precision
  Viewer.CreateQSDTriangles();
  EXPECT_EQ(mesher_test::MeshOfViewer(false).size(), 2u);
  grid.at(1, 1) = 100;  // changed in place: the next build must see it
  Viewer.CreateQSDTriangles();
  const std::vector<Tri> expected = {
      // Cells around the peak.
      At(0, 0, 1, 0, 1, 1), At(0, 0, 1, 1, 0, 1), At(1, 0, 2, 0, 2, 1), At(1, 0, 2, 1, 1, 1),
      At(1, 1, 2, 1, 2, 2), At(1, 1, 2, 2, 1, 2), At(0, 1, 1, 1, 1, 2), At(0, 1, 1, 2, 0, 2),
      // 2 x 2 quads: fans toward the cells on the left and above, a plain cut between.
      At(2, 0, 4, 0, 3, 1), At(4, 0, 4, 2, 3, 1), At(4, 2, 2, 2, 3, 1), At(2, 2, 2, 1, 3, 1), At(2, 1, 2, 0, 3, 1),
      At(2, 2, 4, 2, 4, 4), At(2, 2, 4, 4, 2, 4),
      At(0, 2, 1, 2, 1, 3), At(1, 2, 2, 2, 1, 3), At(2, 2, 2, 4, 1, 3), At(2, 4, 0, 4, 1, 3), At(0, 4, 0, 2, 1, 3),
      // 4 x 4 quads.
      At(4, 0, 8, 0, 6, 2), At(8, 0, 8, 4, 6, 2), At(8, 4, 4, 4, 6, 2), At(4, 4, 4, 2, 6, 2), At(4, 2, 4, 0, 6, 2),
      At(4, 4, 8, 4, 8, 8), At(4, 4, 8, 8, 4, 8),
      At(0, 4, 2, 4, 2, 6), At(2, 4, 4, 4, 2, 6), At(4, 4, 4, 8, 2, 6), At(4, 8, 0, 8, 2, 6), At(0, 8, 0, 4, 2, 6)};
  EXPECT_EQ(mesher_test::ToString(mesher_test::MeshOfViewer(false)), mesher_test::ToString(expected));
}

TEST(StrictQuadMesher, OffGivesThePlainMeshersListsAndOnChangesThem) {
  for (const auto& [rows, cols] : {std::pair{9, 9}, std::pair{13, 11}, std::pair{5, 17}}) {
    ScopedGrid grid(rows, cols);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) grid.at(c, r) = (c * 37 + r * 91) % 23 * (c % 3 == 1 ? 5 : 1);
    mesh_simplification = 1;
    max_precision = 6;
    max_approx_error = 4;
    Viewer.CreateQSDTriangles();
    const std::vector<Tri> plain = mesher_test::MeshOfViewer(false);
    EXPECT_EQ(mesher_test::ToString(plain), mesher_test::ToString(mesher_test::ReferenceQuadMesh()));
    strict_error = 1;
    Viewer.CreateQSDTriangles();
    EXPECT_NE(mesher_test::ToString(mesher_test::MeshOfViewer(false)), mesher_test::ToString(plain));
  }
}

TEST(StrictQuadMesher, RandomGridsStayWithinTheBoundWithoutCracksOrUncoveredPoints) {
  std::mt19937 random(2718);
  auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  const int sides[] = {1, 2, 3, 5, 9, 17, 33};
  for (int run = 0; run < 300; ++run) {
    const int rows = uniform(0, 1) ? sides[uniform(0, 6)] : uniform(1, 40);
    const int cols = uniform(0, 1) ? sides[uniform(0, 6)] : uniform(1, 40);
    ScopedGrid grid(rows, cols);
    UseStrictQuads();
    const int style = uniform(0, 4), amplitude = uniform(1, 400);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) {
        const int noise = uniform(-amplitude, amplitude);
        grid.at(c, r) = style == 0   ? noise
                        : style == 1 ? 3 * c * c - 2 * r * c + noise / 8
                        : style == 2 ? (c + r > cols / 2 ? amplitude * 3 : 0) + noise / 16
                        : style == 3 ? (uniform(0, 30) == 0 ? noise * 5 : 0)
                                     : 2000000000 - 40000000 * c - 10000000 * r + noise;  // wide figures
      }
    input.has_nodata = uniform(0, 2) == 0;
    input.nodata = -9999;
    if (input.has_nodata)
      for (int k = uniform(1, 4); k > 0; --k) grid.at(uniform(0, cols - 1), uniform(0, rows - 1)) = -9999;
    show_nodata = uniform(0, 1);
    max_precision = uniform(1, 8);  // must not matter
    const int bound = uniform(1, 100);
    SCOPED_TRACE(testing::Message() << "run " << run << ": " << rows << " x " << cols << " style " << style
                                    << " bound " << bound << " nodata " << input.has_nodata << show_nodata);
    const IndexedMesh m = CheckedBuild(bound, true);
    if (rows == 1 || cols == 1) {
      EXPECT_EQ(m.triangle_count, 0);  // no area to cover
    }
    max_precision = 0;
    EXPECT_EQ(mesh::BuildIndexedMesh(input, mesh::CurrentSettings()).indices, m.indices);
    // A border rectangle cuts quads out whole: no cracks inside it.
    terrain_border_1 = Vertex{uniform(0, cols), 0, uniform(0, rows)};
    terrain_border_2 = Vertex{uniform(terrain_border_1.x, cols), 0, uniform(terrain_border_1.z, rows)};
    CheckedBuild(bound, false);
    show_nodata = 0;
    if (HasFailure()) return;
  }
}

TEST(StrictQuadMesher, SampleGridWithinEveryBoundFewerTrianglesForLargerBoundsAndTheBudgetRaisesTheBound) {
  ScopedGrid keep(1, 1);  // restores the grid and the settings afterwards
  const data tiny = input;
  TerrainLoader loader;
  ASSERT_TRUE(loader.LoadArcASCIIFile(REPO_DATA_DIR "/jacksboro_403x344.asc")) << loader.msg;
  keep.UseWholeGrid();
  UseStrictQuads();
  max_precision = 6;
  std::vector<long long> counts;
  for (int bound : {1, 5, 10, 20, 50, 100}) {
    SCOPED_TRACE(testing::Message() << "bound " << bound);
    const IndexedMesh m = CheckedBuild(bound, true);
    EXPECT_EQ(m.level, 6);
    if (!counts.empty()) {
      EXPECT_LE(m.triangle_count, counts.back());
    }
    counts.push_back(m.triangle_count);
  }
  EXPECT_GT(counts.front(), 20 * counts.back());

  terrain_border_1 = Vertex{37, 0, 50};
  terrain_border_2 = Vertex{300, 0, 211};
  CheckedBuild(10, false);
  keep.UseWholeGrid();

  // One triangle short of the mesh at 10: the least bound above whose mesh fits.
  mesh_triangle_budget = counts[2] - 1;
  max_approx_error = 10;
  const IndexedMesh limited = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
  EXPECT_EQ(limited.level, 5);
  mesh_triangle_budget = kDefaultMeshTriangleBudget;
  int fitting = 11;
  while (StrictList(fitting).size() > static_cast<size_t>(counts[2] - 1)) ++fitting;
  EXPECT_EQ(limited.triangle_count, static_cast<long long>(StrictList(fitting).size()));
  EXPECT_LE(limited.true_error.max, fitting);

  FreeGrid(input.values, input.rows);
  input = tiny;
}

}  // namespace
