// The errors behind quad subdivision under a strict bound: at every bound, and at bounds
// equal to a quad's own error, the strict quad mesh keeps every grid point within the
// bound (checked by exact interpolation in the test, not by the mesh layer).
#include "QuadErrorHierarchy.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "GridValue.h"
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "WithinBound.h"

namespace {

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

IndexedMesh StrictQuads(const data& grid, int bound) {
  IndexedMeshBuilder builder(grid);
  mesh::BuildMesh(grid, mesh_test::StrictBound(grid, 0, bound), builder);
  return builder.Finish();
}

class QuadErrorHierarchyBound : public testing::TestWithParam<int> {};

TEST_P(QuadErrorHierarchyBound, KeepsEveryPointOfTheSampleWithinTheBound) {
  EXPECT_EQ(FirstPointOffBound(Sample(), StrictQuads(Sample(), GetParam()), GetParam()), "");
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
  EXPECT_EQ(StrictQuads(grid, 7).triangle_count, 2);
  EXPECT_EQ(StrictQuads(grid, 6).triangle_count, 8);
  for (int bound : {6, 7}) EXPECT_EQ(FirstPointOffBound(grid, StrictQuads(grid, bound), bound), "") << bound;

  // On the sample, at bounds equal to quads' errors above a hundred.
  const mesh::QuadErrorHierarchy sample(Sample(), [] {});
  std::set<int64_t> errors;
  for (int level = 0; level < sample.Depth(); ++level)
    for (int j = 0; j < sample.Down(level); ++j)
      for (int i = 0; i < sample.Across(level); ++i)
        if (!sample.Straddles(level, i, j) && sample.Error(level, i, j) > 100) errors.insert(sample.Error(level, i, j));
  ASSERT_GE(errors.size(), 5u);
  const std::vector<int64_t> all(errors.begin(), errors.end());
  for (size_t k = 0; k < all.size(); k += (all.size() + 19) / 20) {
    const int bound = static_cast<int>(all[k]);
    EXPECT_EQ(FirstPointOffBound(Sample(), StrictQuads(Sample(), bound), bound), "") << "bound " << bound;
  }
}

}  // namespace
