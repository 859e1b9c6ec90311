#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "TriangleList.h"
#include "Brackenholmer.h"
#include "ChildProcess.h"
#include "MesherReference.h"

namespace {

using mesher_test::At;
using mesher_test::MeshOfViewer;
using mesher_test::ScopedGrid;
using mesher_test::Tri;

std::vector<Tri> Build() {
  Viewer.CreateQSDTriangles();
  return MeshOfViewer(false);
}

// The two triangles of the quad spanning columns x0..x1 and rows z0..z1.
void AddQuad(std::vector<Tri>& list, int x0, int z0, int x1, int z1) {
  list.push_back(At(x0, z0, x1, z0, x1, z1));
  list.push_back(At(x0, z0, x1, z1, x0, z1));
}

#define EXPECT_MESH(expected, actual) \
  EXPECT_EQ(mesher_test::ToString(expected), mesher_test::ToString(actual))

// ---------------------------------------------------------------- uniform meshes

TEST(QuadMesher, UniformCountIsTwiceFourToThePrecisionOnAnyGrid) {
  for (int side : {1, 2, 5, 9}) {
    ScopedGrid grid(side, side, 3);
    for (int p = 0; p <= 6; ++p) {
      max_precision = p;
      Build();
      EXPECT_EQ(triangle_count, 2 << (2 * p)) << "side " << side << " precision " << p;
    }
  }
}

TEST(QuadMesher, DefaultPrecisionGives8192Triangles) {
  ScopedGrid grid(9, 9);
  ASSERT_EQ(max_precision, 6);
  const std::vector<Tri> mesh = Build();
  EXPECT_EQ(triangle_count, 8192);
  EXPECT_EQ(mesh.size(), 8192u);
}

TEST(QuadMesher, PrecisionOneOnFiveByFiveInListOrder) {
  ScopedGrid grid(5, 5);
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 5; ++c) grid.at(c, r) = 3 * c + 7 * r;
  max_precision = 1;
  const std::vector<Tri> expected = {
      At(0, 0, 2, 0, 2, 2), At(0, 0, 2, 2, 0, 2), At(2, 0, 4, 0, 4, 2), At(2, 0, 4, 2, 2, 2),
      At(2, 2, 4, 2, 4, 4), At(2, 2, 4, 4, 2, 4), At(0, 2, 2, 2, 2, 4), At(0, 2, 2, 4, 0, 4)};
  EXPECT_MESH(expected, Build());
  EXPECT_EQ(triangle_count, 8);
}

TEST(QuadMesher, OddSpansSplitIntoTheSmallerLowerHalf) {
  ScopedGrid grid(7, 7);
  max_precision = 2;
  const std::vector<Tri> mesh = Build();
  std::vector<Tri> first_four;
  AddQuad(first_four, 0, 0, 1, 1);
  AddQuad(first_four, 1, 0, 3, 1);
  AddQuad(first_four, 1, 1, 3, 3);
  AddQuad(first_four, 0, 1, 1, 3);
  ASSERT_EQ(mesh.size(), 32u);
  EXPECT_MESH(first_four, std::vector<Tri>(mesh.begin(), mesh.begin() + 8));
}

TEST(QuadMesher, PrecisionZeroOrBelowCutsTheStartQuadEvenIfItFails) {
  ScopedGrid grid(5, 5);
  grid.at(1, 1) = 100;
  mesh_simplification = 1;
  for (int p : {0, -3}) {
    max_precision = p;
    std::vector<Tri> expected;
    AddQuad(expected, 0, 0, 4, 4);
    EXPECT_MESH(expected, Build());
    EXPECT_EQ(triangle_count, 2);
  }
}

// ---------------------------------------------------------------- adaptive meshes

TEST(QuadMesher, FlatGridIsOneQuadWhateverThePrecision) {
  ScopedGrid grid(5, 5, 7);
  mesh_simplification = 1;
  for (int p : {0, 1, 6, 100}) {
    max_precision = p;
    const std::vector<Tri> expected = {{{0, 7, 0}, {4, 7, 0}, {4, 7, 4}, 0},
                                       {{0, 7, 0}, {4, 7, 4}, {0, 7, 4}, 0}};
    EXPECT_MESH(expected, Build());
    EXPECT_EQ(triangle_count, 2);
  }
}

TEST(QuadMesher, SingleCellGridGivesTwoTrianglesOnItsOnePoint) {
  ScopedGrid grid(1, 1, 5);
  mesh_simplification = 1;
  const std::vector<Tri> expected = {{{0, 5, 0}, {0, 5, 0}, {0, 5, 0}, 0},
                                     {{0, 5, 0}, {0, 5, 0}, {0, 5, 0}, 0}};
  EXPECT_MESH(expected, Build());
}

TEST(QuadMesher, SlopingPlaneIsNeverSplit) {
  ScopedGrid grid(9, 9);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) grid.at(c, r) = 10 * c + 10 * r;
  mesh_simplification = 1;
  max_precision = 8;
  Build();
  EXPECT_EQ(triangle_count, 2);
}

TEST(QuadMesher, PeakOnTheDiagonalSplitsOnlyTheQuadsThatSeeIt) {
  ScopedGrid grid(5, 5);
  grid.at(1, 1) = 100;
  mesh_simplification = 1;
  std::vector<Tri> expected;
  AddQuad(expected, 0, 0, 1, 1);
  AddQuad(expected, 1, 0, 2, 1);
  AddQuad(expected, 1, 1, 2, 2);
  AddQuad(expected, 0, 1, 1, 2);
  AddQuad(expected, 2, 0, 4, 2);
  AddQuad(expected, 2, 2, 4, 4);
  AddQuad(expected, 0, 2, 2, 4);
  EXPECT_MESH(expected, Build());
  EXPECT_EQ(triangle_count, 14);
}

TEST(QuadMesher, PeakAtAnEvenOffsetIsNeverSampled) {
  ScopedGrid grid(5, 5);
  grid.at(2, 2) = 100;
  mesh_simplification = 1;
  std::vector<Tri> expected;
  AddQuad(expected, 0, 0, 4, 4);
  const std::vector<Tri> mesh = Build();
  EXPECT_MESH(expected, mesh);
  // The corners the mesh was built from are all at height 0.
  for (const Tri& t : mesh)
    for (const Vertex& v : {t.a, t.b, t.c}) EXPECT_EQ(v.y, 0) << v.x << "," << v.z;
}

TEST(QuadMesher, DeviationEqualToTheBoundPasses) {
  ScopedGrid grid(3, 3);
  mesh_simplification = 1;
  grid.at(1, 1) = 10;
  Build();
  EXPECT_EQ(triangle_count, 2);
  grid.at(1, 1) = 11;
  std::vector<Tri> expected;
  AddQuad(expected, 0, 0, 1, 1);
  AddQuad(expected, 1, 0, 2, 1);
  AddQuad(expected, 1, 1, 2, 2);
  AddQuad(expected, 0, 1, 1, 2);
  EXPECT_MESH(expected, Build());
}

// ---------------------------------------------------------------- the error test

// Corners at both ends of the int range: the straight line between them is formed
// without overflow, and a midpoint on it passes.
TEST(QuadErrorTest, HeightsAtBothEndsOfTheIntRange) {
  ScopedGrid grid(3, 3);
  grid.at(0, 0) = INT_MIN;
  grid.at(2, 2) = 2000000000;
  grid.at(1, 1) = -73741824;  // halfway
  max_approx_error = 1000;    // float steps near 2^31 are 256
  EXPECT_FALSE(Viewer.ApproxError(Quad{Viewer.CreateVertex(0, 0), Viewer.CreateVertex(2, 0),
                                       Viewer.CreateVertex(2, 2), Viewer.CreateVertex(0, 2)}));
  grid.at(1, 1) = 0;
  EXPECT_TRUE(Viewer.ApproxError(Quad{Viewer.CreateVertex(0, 0), Viewer.CreateVertex(2, 0),
                                      Viewer.CreateVertex(2, 2), Viewer.CreateVertex(0, 2)}));
}

Quad Square(int x, int z, int s) {
  return Quad{Viewer.CreateVertex(x, z), Viewer.CreateVertex(x + s, z),
              Viewer.CreateVertex(x + s, z + s), Viewer.CreateVertex(x, z + s)};
}

TEST(QuadErrorTest, LooksOnlyAtOddOffsetsOfTheDiagonal) {
  ScopedGrid grid(9, 9);
  max_approx_error = 10;
  grid.at(4, 4) = 50;  // offset 4 of the 8-wide square: not sampled
  grid.at(2, 6) = 50;  // off the diagonal
  EXPECT_FALSE(Viewer.ApproxError(Square(0, 0, 8)));
  grid.at(5, 5) = 11;  // offset 5
  EXPECT_TRUE(Viewer.ApproxError(Square(0, 0, 8)));
  EXPECT_FALSE(Viewer.ApproxError(Square(5, 5, 1)));  // no sample at width 1
}

TEST(QuadErrorTest, ReferenceHeightIsComputedInSinglePrecision) {
  // On a width-2 square the line through heights 0 and 10 gives exactly 5 in float
  // arithmetic, 4.99999978 in double: a sample of 15 deviates by exactly the bound.
  ScopedGrid grid(3, 3);
  max_approx_error = 10;
  grid.at(2, 2) = 10;
  grid.at(1, 1) = 15;
  EXPECT_FALSE(Viewer.ApproxError(Square(0, 0, 2)));
  mesh_simplification = 1;
  Viewer.CreateQSDTriangles();
  EXPECT_EQ(triangle_count, 2);

  // Heights 0 and 24 give 12.000001 in float, 11.9999995 in double: a sample of 2
  // lies just beyond the bound in float arithmetic only.
  grid.at(2, 2) = 24;
  grid.at(1, 1) = 2;
  EXPECT_TRUE(Viewer.ApproxError(Square(0, 0, 2)));
  Viewer.CreateQSDTriangles();
  EXPECT_EQ(triangle_count, 8);
}

// ---------------------------------------------------------------- borders

TEST(QuadMesher, BordersKeepOnlyQuadsWhoseCentreLiesInside) {
  ScopedGrid grid(9, 9, 4);
  max_precision = 2;
  Build();
  EXPECT_EQ(triangle_count, 32);

  terrain_border_1 = Vertex{0, 0, 0};
  terrain_border_2 = Vertex{4, 0, 4};
  std::vector<Tri> expected;
  AddQuad(expected, 0, 0, 2, 2);
  AddQuad(expected, 2, 0, 4, 2);
  AddQuad(expected, 2, 2, 4, 4);
  AddQuad(expected, 0, 2, 2, 4);
  EXPECT_MESH(expected, Build());
  EXPECT_EQ(triangle_count, 8);

  terrain_border_1 = Vertex{3, 0, 3};
  terrain_border_2 = Vertex{3, 0, 3};
  expected.clear();
  AddQuad(expected, 2, 2, 4, 4);
  EXPECT_MESH(expected, Build());
  EXPECT_EQ(triangle_count, 2);
}

TEST(QuadMesher, BordersThatAdmitNoCentreLeaveNoMesh) {
  ScopedGrid grid(9, 9, 4);
  max_precision = 2;
  Build();
  ASSERT_NE(Viewer.TriangleHead(), nullptr);
  for (auto [b1, b2] : {std::pair{Vertex{5, 0, 0}, Vertex{4, 0, 8}},
                        std::pair{Vertex{0, 0, 5}, Vertex{8, 0, 4}},
                        std::pair{Vertex{8, 0, 8}, Vertex{8, 0, 8}}}) {
    terrain_border_1 = b1;
    terrain_border_2 = b2;
    Build();
    EXPECT_EQ(Viewer.TriangleHead(), nullptr);
    EXPECT_EQ(triangle_count, 0);
  }
}

// ---------------------------------------------------------------- grids that are not square

TEST(QuadMesher, WideGridIsMeshedToItsLastColumn) {
  ScopedGrid grid(3, 5);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 5; ++c) grid.at(c, r) = 10 * c - r;
  ASSERT_EQ(terrain_size, 5);
  max_precision = 1;
  std::vector<Tri> expected;
  AddQuad(expected, 0, 0, 2, 1);
  AddQuad(expected, 2, 0, 4, 1);
  AddQuad(expected, 2, 1, 4, 2);
  AddQuad(expected, 0, 1, 2, 2);
  EXPECT_MESH(expected, Build());
}

TEST(QuadMesher, TallGridIsMeshedToItsLastRow) {
  ScopedGrid grid(5, 3);
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 3; ++c) grid.at(c, r) = c + 10 * r;
  ASSERT_EQ(terrain_size, 5);
  max_precision = 1;
  std::vector<Tri> expected;
  AddQuad(expected, 0, 0, 1, 2);
  AddQuad(expected, 1, 0, 2, 2);
  AddQuad(expected, 1, 2, 2, 4);
  AddQuad(expected, 0, 2, 1, 4);
  EXPECT_MESH(expected, Build());
}

TEST(QuadMesher, AdaptiveMeshOnAWideGridMatchesThePassByPassBuild) {
  ScopedGrid grid(6, 17);
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 17; ++c) grid.at(c, r) = (c * 37 + r * 11) % 29 * (c > 10 ? 3 : 1);
  mesh_simplification = 1;
  max_precision = 10;
  max_approx_error = 5;
  const std::vector<Tri> expected = mesher_test::ReferenceQuadMesh();
  ASSERT_GT(expected.size(), 2u);
  EXPECT_MESH(expected, Build());
}

// ---------------------------------------------------------------- rebuilding and the budget

TEST(QuadMesher, RebuildingGivesTheSameList) {
  ScopedGrid grid(9, 9);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) grid.at(c, r) = (r * r * 7 + c * 13) % 40;
  mesh_simplification = 1;
  const std::vector<Tri> first = Build();
  const std::vector<Tri> second = Build();
  EXPECT_MESH(first, second);
  EXPECT_EQ(static_cast<size_t>(triangle_count), second.size());
}

TEST(QuadMeshBudget, StopsAtTheLastWholeLevelThatFits) {
  ScopedGrid grid(9, 9, 1);
  max_precision = 6;
  mesh_triangle_budget = 100;  // 32 at precision 2, 128 at precision 3
  testing::internal::CaptureStdout();
  const std::vector<Tri> mesh = Build();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\tMesh limited to 32 triangles at precision 2 of 6.\n\n");
  EXPECT_EQ(triangle_count, 32);
  max_precision = 2;
  EXPECT_MESH(mesher_test::ReferenceQuadMesh(), mesh);
}

// The line is flushed at once: a viewer whose output goes to a file and that is killed
// later still leaves it there.
TEST(QuadMeshBudget, LimitLineIsFlushedAtOnce) {
  ScopedGrid grid(9, 9, 1);
  max_precision = 6;
  mesh_triangle_budget = 100;
  const auto outcome = child_process::Run([] {
    Viewer.CreateQSDTriangles();
    return 0;
  });
  EXPECT_EQ(outcome.out, "\tMesh limited to 32 triangles at precision 2 of 6.\n\n");
}

#ifndef SANITIZED_BUILD
// A build that runs out of memory keeps the last whole level that fits and says so,
// for both meshers. Runs in a child whose address space is capped 20 MB above its size.
TEST(MeshMemory, BuildThatDoesNotFitKeepsTheLastLevelThatFits) {
  ScopedGrid grid(1025, 1025, 1);
  const auto outcome = child_process::Run([] {
    child_process::CapAddressSpaceAbove(20u << 20);
    max_precision = 10;  // 2,097,152 quad triangles, 25 MB at precision 9, 6 MB at 8
    Viewer.CreateQSDTriangles();
    const bool quads = triangle_count == 131072;
    max_precision = 20;  // 2^21 triangles, 25 MB at precision 18, 13 MB at 17
    Viewer.CreateTSDTriangles();
    return quads && triangle_count == 262144 ? 0 : 1;
  });
  ASSERT_TRUE(outcome.exited) << "the build crashed when memory ran out";
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out,
            "\tMesh limited to 131072 triangles at precision 8 of 10: not enough memory for more.\n\n"
            "\tMesh limited to 262144 triangles at precision 17 of 20: not enough memory for more.\n\n");
}
#endif

TEST(QuadMeshBudget, CountsOnlyTrianglesInsideTheBorders) {
  ScopedGrid grid(17, 17, 1);
  terrain_border_1 = Vertex{0, 0, 0};
  terrain_border_2 = Vertex{3, 0, 3};
  max_precision = 40;  // without the borders, 2 * 4^40 triangles
  mesh_triangle_budget = 200;
  testing::internal::CaptureStdout();
  const std::vector<Tri> mesh = Build();
  const std::string out = testing::internal::GetCapturedStdout();
  const int count = triangle_count;
  EXPECT_LE(count, 200);
  ASSERT_EQ(out.rfind("\tMesh limited to ", 0), 0u) << out;
  const int level = std::stoi(out.substr(out.find("precision ") + 10));
  max_precision = level;
  EXPECT_MESH(mesher_test::ReferenceQuadMesh(), mesh);
  max_precision = level + 1;
  EXPECT_GT(mesher_test::ReferenceQuadMesh().size(), 200u);
  EXPECT_EQ(out, "\tMesh limited to " + std::to_string(count) + " triangles at precision " +
                     std::to_string(level) + " of 40.\n\n");
}

// Borders 0..3 on a 9 x 9 grid hold the centres of 4 x 4 cells at precision 3 (32
// triangles) and of 2 x 2 quads at precision 2 (8), while a whole level 3 holds 128.
TEST(QuadMeshBudget, ABuildExactlyAtTheBudgetIsKeptWholeAndOneOverStopsALevelEarlier) {
  ScopedGrid grid(9, 9, 1);
  terrain_border_1 = Vertex{0, 0, 0};
  terrain_border_2 = Vertex{3, 0, 3};
  max_precision = 3;
  mesh_triangle_budget = 32;
  testing::internal::CaptureStdout();
  Build();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(triangle_count, 32);

  mesh_triangle_budget = 31;
  testing::internal::CaptureStdout();
  Build();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\tMesh limited to 8 triangles at precision 2 of 3.\n\n");
  EXPECT_EQ(triangle_count, 8);
}

TEST(QuadMeshBudget, MeshThatFitsSaysNothing) {
  ScopedGrid grid(9, 9, 1);
  max_precision = 2;
  mesh_triangle_budget = 32;
  testing::internal::CaptureStdout();
  Build();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(triangle_count, 32);
}

}  // namespace
