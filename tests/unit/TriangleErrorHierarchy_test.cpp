// The error hierarchy of triangle bisection: at every bound, and at bounds equal to a split
// point's value, the strict triangle mesh keeps every grid point within the bound (checked
// by exact interpolation in the test, not by the mesh layer).
#include "TriangleErrorHierarchy.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "GridValue.h"
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "WithinBound.h"

namespace {

using mesh::TriangleErrorHierarchy;
using mesh_test::FirstPointOffBound;
using mesh_test::GridValue;

#ifdef SANITIZED_BUILD
constexpr int kRows = 129, kCols = 161;  // a corner of the sample keeps sanitized runs short
#else
constexpr int kRows = 344, kCols = 403;
#endif

const GridValue& Sample() {
  static const GridValue grid = mesh_test::ReadAsciiHeights(REPO_DATA_DIR "/jacksboro_403x344.asc", kRows, kCols);
  return grid;
}

IndexedMesh StrictTriangles(const data& grid, int bound) {
  IndexedMeshBuilder builder(grid);
  mesh::BuildMesh(grid, mesh_test::StrictBound(grid, 1, bound), builder);
  return builder.Finish();
}

class TriangleErrorHierarchyBound : public testing::TestWithParam<int> {};

TEST_P(TriangleErrorHierarchyBound, KeepsEveryPointOfTheSampleWithinTheBound) {
  EXPECT_EQ(FirstPointOffBound(Sample(), StrictTriangles(Sample(), GetParam()), GetParam()), "");
}

INSTANTIATE_TEST_SUITE_P(OneToAHundred, TriangleErrorHierarchyBound, testing::Range(1, 101));

// A triangle left whole at a bound equal to its split point's value is within it; the
// values are rounded up, so one unit less splits it.
TEST(TriangleErrorHierarchy, ATriangleIsWithinABoundEqualToItsValue) {
  // Two triangles on the diagonal (0, 0)-(2, 2), which passes the centre at 0.5, 6.5 below it.
  GridValue grid(3, 3);
  grid.at(1, 1) = 7;
  grid.at(2, 2) = 1;
  const TriangleErrorHierarchy h(3, 3, grid.Grid().values, [] {});
  EXPECT_EQ(h.ValueAt({1, 1}), 7u);
  EXPECT_EQ(StrictTriangles(grid, 7).triangle_count, 2);
  EXPECT_EQ(StrictTriangles(grid, 6).triangle_count, 4);
  for (int bound : {6, 7}) EXPECT_EQ(FirstPointOffBound(grid, StrictTriangles(grid, bound), bound), "") << bound;

  // On the sample, at bounds equal to split points' values above a hundred.
  const TriangleErrorHierarchy sample(kRows, kCols, Sample().Grid().values, [] {});
  std::set<uint32_t> values;
  for (int z = 0; z < kRows; ++z)
    for (int x = 0; x < kCols; ++x) {
      const uint32_t v = sample.ValueAt({x, z});
      if (v > 100 && v != TriangleErrorHierarchy::kMustSplit) values.insert(v);
    }
  ASSERT_GE(values.size(), 5u);
  const std::vector<uint32_t> all(values.begin(), values.end());
  for (size_t k = 0; k < all.size(); k += (all.size() + 19) / 20) {
    const int bound = static_cast<int>(all[k]);
    EXPECT_EQ(FirstPointOffBound(Sample(), StrictTriangles(Sample(), bound), bound), "") << "bound " << bound;
  }
}

}  // namespace
