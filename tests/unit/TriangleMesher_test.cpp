#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "TriangleList.h"
#include "Brackenholmer.h"
#include "MesherReference.h"

namespace {

using mesher_test::At;
using mesher_test::MeshOfViewer;
using mesher_test::ScopedGrid;
using mesher_test::Tri;

std::vector<Tri> Build() {
  Viewer.CreateTSDTriangles();
  return MeshOfViewer(true);
}

#define EXPECT_MESH(expected, actual) \
  EXPECT_EQ(mesher_test::ToString(expected), mesher_test::ToString(actual))

bool HasArea(const Tri& t) {
  return (t.b.x - t.a.x) * (t.c.z - t.a.z) - (t.b.z - t.a.z) * (t.c.x - t.a.x) != 0;
}

// ---------------------------------------------------------------- uniform meshes

TEST(TriangleMesher, UniformCountDoublesWithEveryPassOnAnyGrid) {
  for (int side : {2, 3, 5, 8}) {
    ScopedGrid grid(side, side, 1);
    for (int p = 0; p <= 10; ++p) {
      max_precision = p;
      const std::vector<Tri> mesh = Build();
      EXPECT_EQ(triangle_count, 2 << p) << "side " << side << " precision " << p;
      EXPECT_EQ(mesh.size(), static_cast<size_t>(2 << p));
    }
  }
}

TEST(TriangleMesher, PrecisionOneOnFiveByFive) {
  ScopedGrid grid(5, 5);
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 5; ++c) grid.at(c, r) = 5 * c + r * r;
  max_precision = 1;
  const std::vector<Tri> expected = {At(0, 0, 4, 0, 2, 2, 1), At(2, 2, 4, 0, 4, 4, 2),
                                     At(0, 0, 2, 2, 0, 4, 3), At(2, 2, 4, 4, 0, 4, 2)};
  EXPECT_MESH(expected, Build());
  EXPECT_EQ(triangle_count, 4);
}

TEST(TriangleMesher, PrecisionTwoOnFiveByFive) {
  ScopedGrid grid(5, 5);
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 5; ++c) grid.at(c, r) = 5 * c + r * r;
  max_precision = 2;
  const std::vector<Tri> expected = {
      At(0, 0, 2, 0, 2, 2, 3), At(2, 0, 4, 0, 2, 2, 2), At(2, 2, 4, 0, 4, 2, 1),
      At(2, 2, 4, 2, 4, 4, 3), At(0, 0, 2, 2, 0, 2, 1), At(0, 2, 2, 2, 0, 4, 2),
      At(2, 2, 4, 4, 2, 4, 1), At(2, 2, 2, 4, 0, 4, 3)};
  EXPECT_MESH(expected, Build());
}

TEST(TriangleMesher, PrecisionZeroOrBelowKeepsTheStartTriangles) {
  ScopedGrid grid(3, 3);
  grid.at(1, 1) = 500;
  mesh_simplification = 1;
  for (int p : {0, -1}) {
    max_precision = p;
    const std::vector<Tri> expected = {At(0, 0, 2, 0, 2, 2, 3), At(0, 0, 2, 2, 0, 2, 1)};
    EXPECT_MESH(expected, Build());
    EXPECT_EQ(triangle_count, 2);
  }
}

// ---------------------------------------------------------------- adaptive meshes

TEST(TriangleMesher, FlatGridKeepsTheStartTriangles) {
  ScopedGrid grid(5, 5, 7);
  mesh_simplification = 1;
  for (int p : {1, 6, 100}) {
    max_precision = p;
    const std::vector<Tri> expected = {{{0, 7, 0}, {4, 7, 0}, {4, 7, 4}, 3},
                                       {{0, 7, 0}, {4, 7, 4}, {0, 7, 4}, 1}};
    EXPECT_MESH(expected, Build());
    EXPECT_EQ(triangle_count, 2);
  }
}

TEST(TriangleMesher, SlopingPlaneIsNeverBisected) {
  ScopedGrid grid(9, 9);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) grid.at(c, r) = 10 * c + 10 * r;
  mesh_simplification = 1;
  max_precision = 12;
  Build();
  EXPECT_EQ(triangle_count, 2);
}

TEST(TriangleMesher, DeviationEqualToTheBoundPasses) {
  ScopedGrid grid(3, 3);
  mesh_simplification = 1;
  grid.at(1, 1) = 10;
  Build();
  EXPECT_EQ(triangle_count, 2);
  grid.at(1, 1) = 11;
  const std::vector<Tri> expected = {At(0, 0, 2, 0, 1, 1, 1), At(1, 1, 2, 0, 2, 2, 2),
                                     At(0, 0, 1, 1, 0, 2, 3), At(1, 1, 2, 2, 0, 2, 2)};
  EXPECT_MESH(expected, Build());
}

TEST(TriangleMesher, SteepSingleStepsAddAZeroAreaTriangleInEveryPass) {
  ScopedGrid grid(3, 3);
  grid.at(1, 1) = 22;
  mesh_simplification = 1;
  const int expected_counts[] = {2, 4, 5, 7, 9, 11, 13};
  for (int p = 0; p <= 6; ++p) {
    max_precision = p;
    Build();
    EXPECT_EQ(triangle_count, expected_counts[p]) << "precision " << p;
  }
  max_precision = 3;
  const std::vector<Tri> expected = {At(0, 0, 1, 0, 0, 0, 1), At(0, 0, 1, 0, 1, 1, 2),
                                     At(1, 0, 2, 0, 2, 0, 1), At(1, 0, 2, 0, 1, 1, 3),
                                     At(1, 1, 2, 0, 2, 2, 2), At(0, 0, 1, 1, 0, 2, 3),
                                     At(1, 1, 2, 2, 0, 2, 2)};
  EXPECT_MESH(expected, Build());
}

TEST(TriangleMesher, PeakBesideTheSampledPointsIsNeverSeen) {
  ScopedGrid grid(5, 5);
  grid.at(1, 1) = 100;
  mesh_simplification = 1;
  const std::vector<Tri> expected = {At(0, 0, 4, 0, 4, 4, 3), At(0, 0, 4, 4, 0, 4, 1)};
  EXPECT_MESH(expected, Build());
}

TEST(TriangleMesher, PeakAtTheCentreIsChasedDownOneChild) {
  ScopedGrid grid(5, 5);
  grid.at(2, 2) = 100;
  mesh_simplification = 1;
  const std::vector<Tri> mesh = Build();
  ASSERT_EQ(triangle_count, 13);
  int flat = 0;
  for (const Tri& t : mesh) flat += HasArea(t) ? 0 : 1;
  EXPECT_EQ(flat, 4);
  // The three children that do not see the peak close the list unchanged.
  const std::vector<Tri> tail = {At(2, 2, 4, 0, 4, 4, 2), At(0, 0, 2, 2, 0, 4, 3),
                                 At(2, 2, 4, 4, 0, 4, 2)};
  EXPECT_MESH(tail, std::vector<Tri>(mesh.end() - 3, mesh.end()));
  EXPECT_MESH(mesher_test::ReferenceTriangleMesh(), mesh);
}

// ---------------------------------------------------------------- the error test

Triangle Make(const Tri& t) {
  Triangle out{};
  out.a = t.a;
  out.b = t.b;
  out.c = t.c;
  out.hypotenuse = t.hypotenuse;
  return out;
}

TEST(TriangleErrorTest, SamplesDependOnTheHypotenuse) {
  ScopedGrid grid(5, 5);
  max_approx_error = 10;
  grid.at(2, 0) = 50;  // midpoint of the edge (0,0)-(4,0)
  EXPECT_TRUE(Viewer.ApproxError(Make(At(0, 0, 4, 0, 0, 4, 1))));
  EXPECT_FALSE(Viewer.ApproxError(Make(At(0, 0, 4, 0, 0, 4, 2))));
  EXPECT_FALSE(Viewer.ApproxError(Make(At(0, 0, 4, 0, 0, 4, 3))));
  grid.at(2, 0) = 0;
  grid.at(0, 2) = -50;  // midpoint of the leg c-a
  EXPECT_TRUE(Viewer.ApproxError(Make(At(0, 0, 4, 0, 0, 4, 1))));
  EXPECT_TRUE(Viewer.ApproxError(Make(At(0, 0, 4, 0, 0, 4, 3))));
  EXPECT_TRUE(Viewer.ApproxError(Make(At(0, 0, 4, 0, 0, 4, 0))));
  EXPECT_FALSE(Viewer.ApproxError(Make(At(0, 0, 4, 0, 0, 4, 2))));
}

TEST(TriangleErrorTest, OddEdgesAreRoundedTowardTheirFirstCorner) {
  // On a one-step edge the midpoint is the first corner; its line height is the mean
  // of the two heights rounded toward it: 0 + (23 - 0) / 2 = 11, 11 above the grid's 0.
  ScopedGrid grid(2, 2);
  max_approx_error = 10;
  grid.at(1, 1) = 23;
  EXPECT_TRUE(Viewer.ApproxError(Make(At(0, 0, 1, 0, 1, 1, 3))));
  grid.at(1, 1) = 21;  // 10: passes
  EXPECT_FALSE(Viewer.ApproxError(Make(At(0, 0, 1, 0, 1, 1, 3))));
  // From the high end the sample sits on the high corner: 23 + (0 - 23) / 2 = 12 vs 23.
  grid.at(1, 1) = 23;
  EXPECT_TRUE(Viewer.ApproxError(Make(At(1, 1, 1, 0, 0, 0, 3))));
  grid.at(1, 1) = 22;  // 22 + (-11) = 11 vs 22: 11 fails
  EXPECT_TRUE(Viewer.ApproxError(Make(At(1, 1, 1, 0, 0, 0, 3))));
  grid.at(1, 1) = 20;
  EXPECT_FALSE(Viewer.ApproxError(Make(At(1, 1, 1, 0, 0, 0, 3))));
}

// ---------------------------------------------------------------- borders, grids, rebuilds

TEST(TriangleMesher, BordersDoNotRestrictTheMesh) {
  ScopedGrid grid(9, 9);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) grid.at(c, r) = (c * c + 3 * r) % 17;
  mesh_simplification = 1;
  max_precision = 8;
  const std::vector<Tri> whole = Build();
  terrain_border_1 = Vertex{6, 0, 6};
  terrain_border_2 = Vertex{2, 0, 2};
  EXPECT_MESH(whole, Build());
}

TEST(TriangleMesher, WideAndTallGridsAreCoveredWhole) {
  for (auto [rows, cols] : {std::pair{3, 5}, std::pair{5, 3}}) {
    ScopedGrid grid(rows, cols);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) grid.at(c, r) = 3 * c + 20 * r;
    max_precision = 0;
    const int x = cols - 1, z = rows - 1;
    const std::vector<Tri> expected = {At(0, 0, x, 0, x, z, 3), At(0, 0, x, z, 0, z, 1)};
    EXPECT_MESH(expected, Build());
    max_precision = 5;
    EXPECT_MESH(mesher_test::ReferenceTriangleMesh(), Build());
  }
}

TEST(TriangleMesher, RebuildingGivesTheSameList) {
  ScopedGrid grid(9, 9);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) grid.at(c, r) = (r * r * 7 + c * 13) % 40;
  mesh_simplification = 1;
  max_precision = 9;
  const std::vector<Tri> first = Build();
  EXPECT_MESH(first, Build());
  EXPECT_EQ(static_cast<size_t>(triangle_count), first.size());
}

TEST(TriangleMeshBudget, UniformMeshStopsAtTheLastDoublingThatFits) {
  ScopedGrid grid(5, 5, 1);
  max_precision = 10;
  mesh_triangle_budget = 100;
  testing::internal::CaptureStdout();
  const std::vector<Tri> mesh = Build();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\tMesh limited to 64 triangles at precision 5 of 10.\n\n");
  EXPECT_EQ(triangle_count, 64);
  max_precision = 5;
  EXPECT_MESH(mesher_test::ReferenceTriangleMesh(), mesh);
}

TEST(TriangleMeshBudget, ALevelExactlyAtTheBudgetIsKeptAndOneOverIsNot) {
  ScopedGrid grid(5, 5, 1);
  max_precision = 6;  // 64 triangles at precision 5, 128 at 6
  for (const auto& [budget, report, count] :
       {std::tuple<long long, const char*, int>{64, "\tMesh limited to 64 triangles at precision 5 of 6.\n\n", 64},
        {63, "\tMesh limited to 32 triangles at precision 4 of 6.\n\n", 32},
        {128, "", 128}}) {
    mesh_triangle_budget = budget;
    testing::internal::CaptureStdout();
    Build();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), report) << "budget " << budget;
    EXPECT_EQ(triangle_count, count) << "budget " << budget;
  }
}

TEST(TriangleMeshBudget, SteepEdgesStopGrowingAtTheBudget) {
  // 7 triangles at precision 3 and two more per pass: 19 at 9, 21 at 10.
  ScopedGrid grid(3, 3);
  grid.at(1, 1) = 22;
  mesh_simplification = 1;
  max_precision = 100;
  mesh_triangle_budget = 20;
  testing::internal::CaptureStdout();
  const std::vector<Tri> mesh = Build();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\tMesh limited to 19 triangles at precision 9 of 100.\n\n");
  EXPECT_EQ(triangle_count, 19);
  max_precision = 9;
  EXPECT_MESH(mesher_test::ReferenceTriangleMesh(), mesh);
}

TEST(TriangleMeshBudget, AdaptiveMeshThatStopsChangingIsNotLimited) {
  ScopedGrid grid(3, 3);
  grid.at(1, 1) = 11;  // four triangles from the second pass on
  mesh_simplification = 1;
  max_precision = 100;
  mesh_triangle_budget = 4;
  testing::internal::CaptureStdout();
  Build();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(triangle_count, 4);
}

}  // namespace
