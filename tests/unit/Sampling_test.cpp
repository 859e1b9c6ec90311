#include <gtest/gtest.h>

#include "Brackenholmer.h"
#include "MesherReference.h"
#include "TriangleList.h"

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

}  // namespace

namespace {

// Builds a list of n nodes whose triangles carry `tag` and their index.
TriangleList* MakeList(int n, int tag) {
  TriangleList* head = nullptr;
  for (int i = n - 1; i >= 0; --i) {
    TriangleList* node = new TriangleList;
    node->t.a = Vertex{tag, i, 0};
    node->next = head;
    head = node;
  }
  return head;
}

void ExpectIntact(const TriangleList* head, int n, int tag) {
  int i = 0;
  for (; head != nullptr; head = head->next, ++i) {
    ASSERT_EQ(head->t.a.x, tag);
    ASSERT_EQ(head->t.a.y, i);
  }
  EXPECT_EQ(i, n);
}

void Free(TriangleList* head) {
  while (head != nullptr) {
    TriangleList* doomed = head;
    head = head->next;
    delete doomed;
  }
}

TEST(TriangleListNodes, NodesStayIntactWhileOtherListsAreMadeAndReleased) {
  // More nodes than one block holds, released and made again in an interleaved order,
  // so released nodes are handed out again while other lists are still alive.
  TriangleList* first = MakeList(70000, 1);
  TriangleList* second = MakeList(50000, 2);
  Free(first);
  TriangleList* third = MakeList(90000, 3);
  ExpectIntact(second, 50000, 2);
  ExpectIntact(third, 90000, 3);
  Free(second);
  Free(third);
  // With every node back the blocks are cut afresh; a new list must still be whole.
  TriangleList* fourth = MakeList(100000, 4);
  TriangleList* fifth = MakeList(10, 5);
  ExpectIntact(fourth, 100000, 4);
  ExpectIntact(fifth, 10, 5);
  Free(fourth);
  Free(fifth);
}

TEST(TriangleListNodes, ViewerMeshSurvivesBuildsOfOtherLists) {
  mesher_test::ScopedGrid grid(9, 9);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) grid.at(c, r) = (r * 31 + c * 17) % 23;
  max_precision = 5;
  Viewer.CreateTSDTriangles();
  const std::vector<mesher_test::Tri> before = mesher_test::MeshOfViewer(true);
  TriangleList* other = MakeList(40000, 6);
  Free(other);
  mesher_test::ReferenceTriangleMesh();
  EXPECT_EQ(mesher_test::ToString(before), mesher_test::ToString(mesher_test::MeshOfViewer(true)));
}

}  // namespace
