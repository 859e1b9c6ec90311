#include "GroundUnderCamera.h"

#include <gtest/gtest.h>

#include <random>

#include "GridValue.h"

namespace {

using ground::DrawnGrid;
using ground::ModelTurn;
using mesh_test::GridValue;

// Rows 5, columns 6, spacing 1 drawn 4 times wider, columns 1.5 times as far apart as rows,
// heights doubled: a column is 6 wide, a row 4 deep, the footprint 36 x 20 centred on the
// origin.
DrawnGrid Drawn(const GridValue& g) { return ground::DrawnGridFor(g, ScalesFor(1, 1.5, 2, 4), 4, 1.5); }
GridValue Plane() { return GridValue(5, 6, [](int r, int c) { return 3 * c + 5 * r + 7; }); }
double PlaneY(double x, double z) { return 2 * (3 * (x + 18) / 6 + 5 * (z + 10) / 4 + 7); }

TEST(GroundUnderCamera, FollowsATiltedPlaneAnywhereOnTheGridAndNowhereOffIt) {
  const GridValue g = Plane();
  const DrawnGrid d = Drawn(g);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> x(-18, 12), z(-10, 6);  // first to last point
  for (int i = 0; i < 200; ++i) {
    const double px = x(rng), pz = z(rng);
    double y = -1;
    ASSERT_TRUE(ground::GroundHeightAt(d, px, pz, &y));
    EXPECT_NEAR(y, PlaneY(px, pz), 1e-9);
  }
  double y;
  EXPECT_FALSE(ground::GroundHeightAt(d, -18.01, 0, &y));
  EXPECT_FALSE(ground::GroundHeightAt(d, 12.01, 0, &y));
  EXPECT_FALSE(ground::GroundHeightAt(d, 0, 6.01, &y));
}

TEST(GroundUnderCamera, BlendsFourKnownPointsAndFindsNoGroundBesideNoData) {
  GridValue g(2, 2, [](int r, int c) { return r == 0 ? 10 * c : 20 + 20 * c; });
  const DrawnGrid d = ground::DrawnGridFor(g, ScalesFor(1, 1, 1, 1), 1, 1);  // points at -1, 0
  double y;
  ASSERT_TRUE(ground::GroundHeightAt(d, -0.5, -0.5, &y));
  EXPECT_DOUBLE_EQ(y, 17.5);  // the mean of 0, 10, 20, 40
  ASSERT_TRUE(ground::GroundHeightAt(d, -0.75, -0.25, &y));
  EXPECT_DOUBLE_EQ(y, 19.375);  // rows give 2.5 and 25, three quarters of the way
  g.SetNoData(40);
  EXPECT_FALSE(ground::GroundHeightAt(d, -0.75, -0.25, &y));
}

TEST(GroundUnderCamera, LooksUnderTheCameraInTheTurnedModel) {
  const GridValue g = Plane();
  const DrawnGrid d = Drawn(g);
  // Turned 90 degrees about y, model point (x, y, z) is drawn at (z, y, -x).
  double h;
  ASSERT_TRUE(ground::HeightAboveGround(d, {0, 90, 0}, {2, 100, -3}, &h));
  EXPECT_NEAR(h, 100 - PlaneY(3, 2), 1e-9);
  // Tipped 70 degrees, "under" is skipped.
  EXPECT_FALSE(ground::HeightAboveGround(d, {70, 0, 0}, {0, 100, 0}, &h));
  EXPECT_FALSE(ground::HeightAboveGround(d, {0, 0, 0}, {30, 100, 0}, &h));  // off the grid
}

TEST(GroundUnderCamera, StepsShrinkWithTheHeightBelowATenthOfTheSide) {
  const GridValue g = Plane();
  const DrawnGrid d = Drawn(g);  // side 36: full steps from 3.6 up
  const double ground_y = PlaneY(0, 0);
  EXPECT_NEAR(ground::StepFactor(d, {}, {0, ground_y + 1.8, 0}), 0.5, 1e-12);
  EXPECT_DOUBLE_EQ(ground::StepFactor(d, {}, {0, ground_y + 50, 0}), 1);
  EXPECT_DOUBLE_EQ(ground::StepFactor(d, {}, {0, ground_y - 5, 0}), ground::kMinStepFactor);
  EXPECT_DOUBLE_EQ(ground::StepFactor(d, {}, {30, ground_y, 0}), 1);  // off the grid
}

TEST(GroundUnderCamera, LiftsACameraBelowTheClearanceAlongTheModelUp) {
  const GridValue g = Plane();
  const DrawnGrid d = Drawn(g);
  EXPECT_DOUBLE_EQ(ground::ClearanceFor(100, -3), 600);  // 2 m of centimetres, tripled
  const double ground_y = PlaneY(1, 2);
  const camera_math::Vec3 lifted = ground::KeptAboveGround(d, {}, {1, ground_y - 7, 2}, 0.5);
  EXPECT_DOUBLE_EQ(lifted.x, 1);
  EXPECT_NEAR(lifted.y, ground_y + 0.5, 1e-9);
  EXPECT_DOUBLE_EQ(lifted.z, 2);
  EXPECT_DOUBLE_EQ(ground::KeptAboveGround(d, {}, {1, ground_y + 0.6, 2}, 0.5).y, ground_y + 0.6);
  // Turned 90 degrees about z, the model's up is the world's -x: too steep, left alone.
  EXPECT_DOUBLE_EQ(ground::KeptAboveGround(d, {0, 0, 90}, {1, ground_y - 7, 2}, 0.5).y, ground_y - 7);
}

}  // namespace
