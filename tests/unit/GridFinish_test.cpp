// The last step of both readers on small known grids: where NODATA cells end up.
#include "GridFinish.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

struct Finished {
  data grid;
  std::vector<int> cells;
};

// A 2 x 2 grid of `cells` finished as a reader would with the given extremes and NODATA.
Finished Finish(std::vector<int> cells, int least, int greatest, long long marks, bool integral, int whole) {
  int** values = AllocateGrid(2, 2);
  for (int i = 0; i < 4; ++i) values[i / 2][i % 2] = cells[i];
  Finished out{FinishGrid(2, 2, 30, values, least, greatest, marks, true, integral, whole), {}};
  for (int i = 0; i < 4; ++i) out.cells.push_back(values[i / 2][i % 2]);
  FreeGrid(values, 2);
  return out;
}

TEST(GridFinish, NoDataCellsGetTheirHeight) {
  // A whole NODATA value stays as written, and so do its cells.
  Finished f = Finish({-9999, 5, 6, 7}, 5, 7, 0, true, -9999);
  EXPECT_EQ(f.grid.nodata, -9999);
  EXPECT_EQ(f.cells, (std::vector<int>{-9999, 5, 6, 7}));
  EXPECT_EQ(f.grid.y_min, 5);
  EXPECT_EQ(f.grid.y_max, 7);
  // Marked cells go one below the least height, which the extremes then take in.
  f = Finish({kNoDataMark, 5, 6, kNoDataMark}, 5, 6, 2, false, 0);
  EXPECT_EQ(f.grid.nodata, 4);
  EXPECT_EQ(f.cells, (std::vector<int>{4, 5, 6, 4}));
  EXPECT_EQ(f.grid.y_min, 4);
  // No real height at all: -9999.
  f = Finish({kNoDataMark, kNoDataMark, kNoDataMark, kNoDataMark}, INT_MAX, INT_MIN, 4, false, 0);
  EXPECT_EQ(f.grid.nodata, -9999);
  EXPECT_EQ(f.cells, (std::vector<int>(4, -9999)));
  // y_min and y_max start from 100000 and -100000.
  f = Finish({200000, 200001, 200002, 200003}, 200000, 200003, 0, true, 0);
  EXPECT_EQ(f.grid.y_min, 100000);
  EXPECT_EQ(f.grid.y_max, 200003);
}

}  // namespace
