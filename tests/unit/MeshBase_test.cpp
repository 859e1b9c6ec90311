// The base under an exported mesh: the bottom's height, and the fan bottom only for an
// outline that is one loop around its middle.
#include "MeshBase.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using mesh_export::BaseHeight;
using mesh_export::BaseUnder;
using mesh_export::Corner;

TEST(MeshBase, BottomLiesATenthOfTheReliefBelowRoundedDown) {
  EXPECT_EQ(BaseHeight(-112, 178), -141);
  EXPECT_EQ(BaseHeight(7, 7), 6);  // a flat mesh still gets a slab one unit thick
  // Fractions of a metre: down to the next whole metre, below zero too.
  EXPECT_EQ(BaseHeight(-10.5, 0), -12);   // -11.55
  EXPECT_EQ(BaseHeight(3.25, 20), 1);     // 1.575
  EXPECT_EQ(BaseHeight(0.5, 0.75), -1);   // -0.5
}

// A square of two triangles, heights 2 to 12, counter-clockwise seen from above.
const std::vector<Corner> kSquare = {{0, 2, 0}, {0, 4, 10}, {10, 12, 10}, {10, 6, 0}};
const std::vector<uint32_t> kTwoTriangles = {0, 1, 2, 0, 2, 3};

TEST(MeshBase, AMeshWithoutHolesGetsAFanFromTheMiddle) {
  const mesh_export::Base base = BaseUnder(kSquare, kTwoTriangles);
  EXPECT_EQ(base.bottom, 1);  // 2 - max(1, 10 / 10)
  EXPECT_EQ(base.outline.size(), 4u);
  EXPECT_TRUE(base.fan);
  EXPECT_EQ(base.centre.x, 5);
  EXPECT_EQ(base.centre.y, 1);
  EXPECT_EQ(base.centre.z, 5);
  EXPECT_EQ(mesh_export::SolidTriangles(2, &base), 2u + 4 + 8);
  EXPECT_EQ(mesh_export::SolidVertices(4, &base), 9u);
}

// Two squares apart: their middle sees some edges from outside, so the bottom is the
// surface mirrored.
TEST(MeshBase, TwoPiecesGetTheSurfaceMirroredAsTheirBottom) {
  std::vector<Corner> corners = kSquare;
  for (const Corner& c : kSquare) corners.push_back({c.x + 30, c.y, c.z});
  const std::vector<uint32_t> indices = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
  const mesh_export::Base base = BaseUnder(corners, indices);
  EXPECT_EQ(base.outline.size(), 8u);
  EXPECT_FALSE(base.fan);
  EXPECT_EQ(mesh_export::SolidTriangles(4, &base), 4u + 4 + 16);
  EXPECT_EQ(mesh_export::SolidVertices(8, &base), 16u);
  EXPECT_EQ(mesh_export::SolidTriangles(4, nullptr), 4u);
}

}  // namespace
