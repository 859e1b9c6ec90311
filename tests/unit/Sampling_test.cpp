#include <gtest/gtest.h>

#include "Brackenholmer.h"
#include "MesherReference.h"

namespace {

using mesher_test::ScopedGrid;

// Height 100 * row + column makes every grid point recognisable by its height.
void Number(ScopedGrid& grid) {
  for (int r = 0; r < input.rows; ++r)
    for (int c = 0; c < input.cols; ++c) grid.at(c, r) = 100 * r + c;
}

void ExpectVertex(const Vertex& v, int x, int y, int z) {
  EXPECT_EQ(v.x, x);
  EXPECT_EQ(v.y, y);
  EXPECT_EQ(v.z, z);
}

TEST(Sampling, OriginAndFractionsAreTruncated) {
  ScopedGrid grid(4, 6);
  Number(grid);
  ExpectVertex(Viewer.CreateVertex(0, 0), 0, 0, 0);
  ExpectVertex(Viewer.CreateVertex(2.9f, 1.5f), 2, 102, 1);
  ExpectVertex(Viewer.CreateVertex(5.0f, 3.0f), 5, 305, 3);
}

TEST(Sampling, PositionsPastTheGridLandOnTheLastRowAndColumn) {
  ScopedGrid grid(4, 6);
  Number(grid);
  ExpectVertex(Viewer.CreateVertex(6, 4), 5, 305, 3);
  ExpectVertex(Viewer.CreateVertex(1000.5f, 2), 5, 205, 2);
  ExpectVertex(Viewer.CreateVertex(1, 3.5f), 1, 301, 3);
}

TEST(Sampling, TerrainSizeCornerOfASquareGrid) {
  ScopedGrid grid(5, 5, 3);
  grid.at(4, 4) = -9999;
  terrain_size = 5;
  ExpectVertex(Viewer.CreateVertex(terrain_size, terrain_size), 4, -9999, 4);
}

TEST(Sampling, SingleCellGrid) {
  ScopedGrid grid(1, 1, 42);
  ExpectVertex(Viewer.CreateVertex(7, 7), 0, 42, 0);
}

TEST(QuadListRelease, DeletingTheHeadReleasesALongChainWithoutDeepRecursion) {
  // Deep enough that a destructor calling itself per node would overflow the stack.
  QuadList* head = new QuadList;
  QuadList* tail = head;
  for (int i = 0; i < 1000000; ++i) {
    tail->next = new QuadList;
    tail = tail->next;
  }
  delete head;
  SUCCEED();
}

}  // namespace
