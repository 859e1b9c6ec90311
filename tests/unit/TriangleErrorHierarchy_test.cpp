// The error hierarchy of triangle bisection: at every bound, and at bounds equal to a split
// point's value, the strict triangle mesh keeps every grid point within the bound (checked
// by exact interpolation in the test, not by the mesh layer).
#include "TriangleErrorHierarchy.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "WithinBound.h"

namespace {

using mesh::TriangleErrorHierarchy;
using mesh_test::FirstPointOffBound;
using mesh_test::GridValue;
using mesh_test::Sample;
using mesh_test::StrictMesh;

class TriangleErrorHierarchyBound : public testing::TestWithParam<int> {};

TEST_P(TriangleErrorHierarchyBound, KeepsEveryPointOfTheSampleWithinTheBound) {
  EXPECT_EQ(FirstPointOffBound(Sample(), StrictMesh(Sample(), 1, GetParam()), GetParam()), "");
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
  EXPECT_EQ(StrictMesh(grid, 1, 7).triangle_count, 2);
  EXPECT_EQ(StrictMesh(grid, 1, 6).triangle_count, 4);
  for (int bound : {6, 7}) EXPECT_EQ(FirstPointOffBound(grid, StrictMesh(grid, 1, bound), bound), "") << bound;

  // On the sample, at bounds equal to split points' values above a hundred.
  const TriangleErrorHierarchy sample(mesh_test::kSampleRows, mesh_test::kSampleCols, Sample().Grid().values, [] {});
  std::set<uint32_t> values;
  for (int z = 0; z < mesh_test::kSampleRows; ++z)
    for (int x = 0; x < mesh_test::kSampleCols; ++x) {
      const uint32_t v = sample.ValueAt({x, z});
      if (v > 100 && v != TriangleErrorHierarchy::kMustSplit) values.insert(v);
    }
  mesh_test::ExpectSampleWithinEach(1, std::vector<uint32_t>(values.begin(), values.end()));
}

}  // namespace
