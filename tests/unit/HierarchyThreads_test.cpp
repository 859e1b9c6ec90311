// The error hierarchies built on several threads hold the same values as built on one, on
// grids of awkward sizes; an exception from poll() ends the build with every thread joined.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "GridValue.h"
#include "QuadErrorHierarchy.h"
#include "TriangleErrorHierarchy.h"

namespace {

using mesh::QuadErrorHierarchy;
using mesh::TriangleErrorHierarchy;
using mesh_test::GridValue;

struct Size {
  int rows, cols;
};
// One and two rows or columns, sizes of no power of two plus one, and tall and wide grids
// whose coarse levels have fewer rows of squares than the threads share.
const Size kSizes[] = {{1, 40}, {40, 1}, {2, 37}, {3, 2}, {5, 300}, {37, 53}, {130, 129}, {300, 9}, {200, 161}};

// Rough random heights: a walk along each row plus noise, within +-`range`; a wide range
// takes the 64-bit loops.
GridValue RandomGrid(const Size& size, int range, std::mt19937& random) {
  std::uniform_int_distribution<int> step(-range / 8, range / 8);
  std::vector<int> walk(static_cast<size_t>(size.cols), 0);
  return GridValue(size.rows, size.cols, [&](int, int c) {
    walk[static_cast<size_t>(c)] = std::clamp(walk[static_cast<size_t>(c)] + step(random), -range, range);
    return walk[static_cast<size_t>(c)] + step(random) / 2;
  });
}

TEST(HierarchyThreads, TwoOrThreeThreadsGiveTheValuesOfOne) {
  std::mt19937 random(77);
  for (const Size& size : kSizes)
    for (int range : {40, 3000, 400000000}) {
      const GridValue grid = RandomGrid(size, range, random);
      const TriangleErrorHierarchy one(size.rows, size.cols, grid.Grid().values, [] {}, 1);
      const QuadErrorHierarchy quads_one(grid, [] {}, 1);
      for (int threads : {2, 3}) {
        SCOPED_TRACE(testing::Message() << size.rows << " x " << size.cols << ", range " << range << ", "
                                        << threads << " threads");
        const TriangleErrorHierarchy many(size.rows, size.cols, grid.Grid().values, [] {}, threads);
        ASSERT_EQ(many.HasArea(), one.HasArea());
        EXPECT_EQ(many.Largest(), one.Largest());
        for (long long bound : {-1LL, 0LL, 3LL, 100LL, 1LL << 40})
          EXPECT_EQ(many.CountFromHistogram(bound), one.CountFromHistogram(bound)) << bound;
        int differing = 0;
        for (int z = 0; z < size.rows && one.HasArea(); ++z)
          for (int x = 0; x < size.cols; ++x) differing += many.ValueAt({x, z}) != one.ValueAt({x, z});
        EXPECT_EQ(differing, 0);

        const QuadErrorHierarchy quads(grid, [] {}, threads);
        ASSERT_EQ(quads.Depth(), quads_one.Depth());
        EXPECT_EQ(quads.Largest(), quads_one.Largest());
        differing = 0;
        for (int level = 0; level < quads.Depth(); ++level)
          for (int j = 0; j < quads.Down(level); ++j)
            for (int i = 0; i < quads.Across(level); ++i)
              differing += quads.Error(level, i, j) != quads_one.Error(level, i, j);
        EXPECT_EQ(differing, 0);
      }
    }
}

struct Abandoned {};

TEST(HierarchyThreads, AnExceptionFromPollEndsTheBuild) {
  std::mt19937 random(5);
  const GridValue grid = RandomGrid({200, 161}, 3000, random);
  for (int calls_before : {0, 3, 40}) {
    int calls = 0;
    auto poll = [&] {
      if (calls++ == calls_before) throw Abandoned{};
    };
    EXPECT_THROW(TriangleErrorHierarchy(200, 161, grid.Grid().values, poll, 2), Abandoned);
    calls = 0;
    EXPECT_THROW(QuadErrorHierarchy(grid, poll, 2), Abandoned);
  }
}

}  // namespace
