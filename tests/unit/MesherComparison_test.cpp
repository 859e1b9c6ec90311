// The depth-first meshers against the pass-by-pass ones, triangle by triangle, on
// random grids and settings from a fixed-seed generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "TriangleList.h"
#include "Brackenholmer.h"
#include "MesherReference.h"

namespace {

using mesher_test::ScopedGrid;
using mesher_test::Tri;

struct Rng {
  std::mt19937 engine{20240611u};
  int Int(int lo, int hi) { return lo + static_cast<int>(engine() % static_cast<uint32_t>(hi - lo + 1)); }
  bool Chance(int percent) { return Int(1, 100) <= percent; }
};

void FillGrid(ScopedGrid& grid, int rows, int cols, Rng& rng) {
  const int kind = rng.Int(0, 4);
  const int base = rng.Int(-50, 500);
  const int dx = rng.Int(-30, 30), dz = rng.Int(-30, 30);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      int h = base;
      switch (kind) {
        case 0: break;                                                  // flat
        case 1: h += rng.Int(-1000, 1000); break;                       // steep noise
        case 2: h += dx * c + dz * r + rng.Int(-12, 12); break;         // rough slope
        case 3: h += ((c / 3 + r / 2) % 4) * rng.Int(5, 60); break;     // terraces
        default: h += dx * c + dz * r; break;                           // plane
      }
      grid.at(c, r) = h;
    }
  if (rng.Chance(30)) {  // NODATA pits
    const int pits = rng.Int(1, 1 + rows * cols / 8);
    for (int i = 0; i < pits; ++i) grid.at(rng.Int(0, cols - 1), rng.Int(0, rows - 1)) = -9999;
  }
}

void PickBorders(int rows, int cols, Rng& rng) {
  switch (rng.Int(0, 4)) {
    case 0:  // inside the grid
      terrain_border_1 = Vertex{rng.Int(0, cols), 0, rng.Int(0, rows)};
      terrain_border_2 = Vertex{rng.Int(terrain_border_1.x, cols), 0, rng.Int(terrain_border_1.z, rows)};
      break;
    case 1:  // reaching outside it
      terrain_border_1 = Vertex{rng.Int(-5, cols + 5), 0, rng.Int(-5, rows + 5)};
      terrain_border_2 = Vertex{rng.Int(-5, cols + 8), 0, rng.Int(-5, rows + 8)};
      break;
    case 2:  // crossed in x or z
      terrain_border_1 = Vertex{rng.Int(1, cols + 1), 0, rng.Int(0, rows)};
      terrain_border_2 = Vertex{rng.Int(0, terrain_border_1.x - 1), 0, rng.Int(0, rows)};
      if (rng.Chance(50)) std::swap(terrain_border_1, terrain_border_2);
      break;
    default:  // the whole grid, as at start-up
      break;
  }
}


std::string Describe(int rows, int cols) {
  return "grid " + std::to_string(rows) + "x" + std::to_string(cols) + " size " +
         std::to_string(terrain_size) + " mode " + std::to_string(mesh_mode) + " simpl " +
         std::to_string(mesh_simplification) + " precision " + std::to_string(max_precision) +
         " error " + std::to_string(max_approx_error) + " borders (" +
         std::to_string(terrain_border_1.x) + "," + std::to_string(terrain_border_1.z) + ")-(" +
         std::to_string(terrain_border_2.x) + "," + std::to_string(terrain_border_2.z) +
         ") budget " + std::to_string(mesh_triangle_budget);
}

std::vector<Tri> Reference() {
  return mesh_mode == 0 ? mesher_test::ReferenceQuadMesh() : mesher_test::ReferenceTriangleMesh();
}

std::vector<Tri> Real() {
  if (mesh_mode == 0) Viewer.CreateQSDTriangles();
  else Viewer.CreateTSDTriangles();
  return mesher_test::MeshOfViewer(mesh_mode != 0);
}

// Draws a grid and settings; the precision stays where the pass-by-pass lists are small.
void DrawCase(ScopedGrid& grid, int rows, int cols, Rng& rng) {
  FillGrid(grid, rows, cols, rng);
  const int size_kind = rng.Int(0, 9);
  if (size_kind == 0) terrain_size = rows;
  else if (size_kind == 1) terrain_size = rng.Int(0, std::max(rows, cols) + 3);
  PickBorders(rows, cols, rng);
  mesh_mode = rng.Int(0, 1);
  mesh_simplification = rng.Chance(60) ? 1 : 0;
  max_approx_error = rng.Chance(30) ? rng.Int(1, 5) : rng.Int(1, 100);
  const int top = mesh_simplification ? 12 : (mesh_mode == 0 ? 6 : 12);
  max_precision = rng.Int(0, top);
}

TEST(MesherComparison, SameTrianglesAsThePassByPassBuildOnRandomCases) {
  Rng rng;
  // How many cases exercised the interesting paths, so a change to the generator that
  // stops reaching them shows up.
  int adaptive_split = 0, empty = 0, not_square = 0;
  for (int n = 0; n < 3000; ++n) {
    const int rows = rng.Chance(85) ? rng.Int(1, 20) : rng.Int(20, 40);
    const int cols = rng.Chance(40) ? rows : rng.Chance(85) ? rng.Int(1, 20) : rng.Int(20, 40);
    ScopedGrid grid(rows, cols);
    DrawCase(grid, rows, cols, rng);
    const std::vector<Tri> expected = Reference();
    const std::vector<Tri> actual = Real();
    if (!(expected == actual)) {
      ASSERT_EQ(mesher_test::ToString(expected), mesher_test::ToString(actual))
          << "case " << n << ": " << Describe(rows, cols);
    }
    ASSERT_EQ(static_cast<size_t>(triangle_count), actual.size()) << "case " << n;
    ASSERT_EQ(Viewer.TriangleHead() == nullptr, actual.empty()) << "case " << n;
    if (mesh_simplification && actual.size() > 4) ++adaptive_split;
    if (actual.empty()) ++empty;
    if (rows != cols && actual.size() > 2) ++not_square;
  }
  EXPECT_GT(adaptive_split, 400);
  EXPECT_GT(empty, 300);
  EXPECT_GT(not_square, 500);
}

TEST(MesherComparison, BudgetedBuildIsTheLastWholeLevelThatFits) {
  Rng rng;
  rng.engine.seed(77u);
  for (int n = 0; n < 600; ++n) {
    const int rows = rng.Int(1, 17);
    const int cols = rng.Chance(50) ? rows : rng.Int(1, 17);
    ScopedGrid grid(rows, cols);
    DrawCase(grid, rows, cols, rng);
    // The pass-by-pass quads ignore the borders until the end, so their uniform lists
    // grow fourfold per pass whatever the budget.
    const int precision = rng.Int(0, mesh_simplification ? 40 : mesh_mode == 0 ? 7 : 16);
    const long long budget = rng.Int(2, 1500);
    mesh_triangle_budget = budget;

    // The level to expect: the first one over the budget stops the build.
    int level = 0;
    std::vector<Tri> expected;
    for (int p = 0; p <= precision; ++p) {
      max_precision = p;
      std::vector<Tri> mesh = Reference();
      if (p > 0 && static_cast<long long>(mesh.size()) > budget) break;
      level = p;
      expected.swap(mesh);
    }
    max_precision = precision;
    testing::internal::CaptureStdout();
    const std::vector<Tri> actual = Real();
    const std::string said = testing::internal::GetCapturedStdout();
    if (!(expected == actual)) {
      ASSERT_EQ(mesher_test::ToString(expected), mesher_test::ToString(actual))
          << "case " << n << ": " << Describe(rows, cols) << " expected level " << level;
    }
    ASSERT_EQ(static_cast<size_t>(triangle_count), actual.size());
    const std::string line = level < precision
                                 ? "\tMesh limited to " + std::to_string(actual.size()) +
                                       " triangles at precision " + std::to_string(level) + " of " +
                                       std::to_string(precision) + ".\n\n"
                                 : "";
    ASSERT_EQ(said, line) << "case " << n << ": " << Describe(rows, cols);
  }
}

}  // namespace
