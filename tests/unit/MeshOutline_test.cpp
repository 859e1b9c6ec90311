// The outline of small meshes drawn by hand: its edges in the way the triangles walk them.
#include "MeshOutline.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using mesh_export::OutlineEdge;
using mesh_export::OutlineEdges;
using Edges = std::vector<OutlineEdge>;

//  0---1---2
//  | \ | \ |     two squares of two triangles each, counter-clockwise seen from above
//  3---4---5     (z grows downward here)
const std::vector<uint32_t> kStrip = {0, 3, 4, 0, 4, 1, 1, 4, 5, 1, 5, 2};

TEST(MeshOutline, AStripHasItsRimWalkedOnceInItsOwnTurn) {
  EXPECT_EQ(OutlineEdges(kStrip, 6), (Edges{{1, 0}, {0, 3}, {2, 1}, {5, 2}, {3, 4}, {4, 5}}));
}

TEST(MeshOutline, AClosedSurfaceHasNone) {
  const std::vector<uint32_t> tetrahedron = {0, 1, 2, 0, 3, 1, 1, 3, 2, 2, 3, 0};
  EXPECT_EQ(OutlineEdges(tetrahedron, 4), Edges{});
}

// An edge walked three times one way and once back is on the outline twice; a trailing
// part of a triangle is no triangle.
TEST(MeshOutline, EdgesCountByTheirExcessOfWalks) {
  const std::vector<uint32_t> stacked = {0, 1, 2, 0, 1, 2, 1, 0, 3, 7};
  EXPECT_EQ(OutlineEdges(stacked, 8), (Edges{{0, 1}, {2, 0}, {2, 0}, {0, 3}, {1, 2}, {1, 2}, {3, 1}}));
}

}  // namespace
