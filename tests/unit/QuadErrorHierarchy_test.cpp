// The errors behind quad subdivision under a strict bound: at every bound, and at bounds
// equal to a quad's own error, the strict quad mesh keeps every grid point within the
// bound (checked by exact interpolation in the test, not by the mesh layer).
#include "QuadErrorHierarchy.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "WithinBound.h"

namespace {

using mesh_test::FirstPointOffBound;
using mesh_test::GridValue;
using mesh_test::Sample;
using mesh_test::StrictMesh;

class QuadErrorHierarchyBound : public testing::TestWithParam<int> {};

TEST_P(QuadErrorHierarchyBound, KeepsEveryPointOfTheSampleWithinTheBound) {
  EXPECT_EQ(FirstPointOffBound(Sample(), StrictMesh(Sample(), 0, GetParam()), GetParam()), "");
}

INSTANTIATE_TEST_SUITE_P(OneToAHundred, QuadErrorHierarchyBound, testing::Range(1, 101));

// A quad left whole at a bound equal to its error is within it; the errors are rounded up,
// so one unit less splits it.
TEST(QuadErrorHierarchy, AQuadIsWithinABoundEqualToItsError) {
  // One quad of two cells: its a-c diagonal passes the centre at 0.5, 6.5 below it.
  GridValue grid(3, 3);
  grid.at(1, 1) = 7;
  grid.at(2, 2) = 1;
  const mesh::QuadErrorHierarchy h(grid, [] {});
  ASSERT_EQ(h.Depth(), 1);
  EXPECT_EQ(h.Error(0, 0, 0), 7);
  EXPECT_EQ(StrictMesh(grid, 0, 7).triangle_count, 2);
  EXPECT_EQ(StrictMesh(grid, 0, 6).triangle_count, 8);
  for (int bound : {6, 7}) EXPECT_EQ(FirstPointOffBound(grid, StrictMesh(grid, 0, bound), bound), "") << bound;

  // On the sample, at bounds equal to quads' errors above a hundred.
  const mesh::QuadErrorHierarchy sample(Sample(), [] {});
  std::set<int64_t> errors;
  for (int level = 0; level < sample.Depth(); ++level)
    for (int j = 0; j < sample.Down(level); ++j)
      for (int i = 0; i < sample.Across(level); ++i)
        if (!sample.Straddles(level, i, j) && sample.Error(level, i, j) > 100) errors.insert(sample.Error(level, i, j));
  mesh_test::ExpectSampleWithinEach(0, std::vector<int64_t>(errors.begin(), errors.end()));
}

}  // namespace
