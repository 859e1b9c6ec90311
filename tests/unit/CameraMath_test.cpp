#include "CameraMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "Brackenholmer.h"

namespace {

using camera_math::Vec3;

void ExpectVec(Vec3 v, double x, double y, double z, double tol = 1e-9) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}

TEST(ModRotd, BringsBackByOneTurnOnly) {
  EXPECT_EQ(Brackenholmer::ModRotd(360), 0);
  EXPECT_EQ(Brackenholmer::ModRotd(-360), 0);
  EXPECT_EQ(Brackenholmer::ModRotd(359.5), 359.5);
  EXPECT_EQ(Brackenholmer::ModRotd(-359.9), -359.9);
  EXPECT_EQ(Brackenholmer::ModRotd(725), 365);
  EXPECT_EQ(Brackenholmer::ModRotd(-725), -365);
  EXPECT_EQ(Brackenholmer::ModRotd(361), 1);
  EXPECT_EQ(Brackenholmer::ModRotd(0), 0);
}

TEST(CameraVectors, StartCameraLooksThirtyDegreesDownAlongMinusZ) {
  ExpectVec(camera_math::ForwardVector(120, 0), 0, -0.5, -0.866, 5e-4);
}

TEST(CameraVectors, HeadingsTurnToTheLeft) {
  ExpectVec(camera_math::ForwardVector(90, 90), -1, 0, 0, 1e-9);
  ExpectVec(camera_math::ForwardVector(90, -90), 1, 0, 0, 1e-9);
  ExpectVec(camera_math::ForwardVector(90, 180), 0, 0, 1, 1e-9);
  ExpectVec(camera_math::ForwardVector(90, 0), 0, 0, -1, 1e-9);
}

TEST(CameraVectors, RightIsLevelUnitAndPerpendicularToForward) {
  for (double heading : {0.0, 33.0, 90.0, -150.0, 271.5}) {
    for (double tilt : {0.5, 45.0, 120.0, 179.5}) {
      const Vec3 d = camera_math::ForwardVector(tilt, heading);
      const Vec3 r = camera_math::RightVector(heading);
      EXPECT_NEAR(d.x * d.x + d.y * d.y + d.z * d.z, 1, 1e-12);
      EXPECT_NEAR(r.x * r.x + r.z * r.z, 1, 1e-12);
      EXPECT_EQ(r.y, 0);
      EXPECT_NEAR(d.x * r.x + d.y * r.y + d.z * r.z, 0, 1e-12);
      // Right of the view: forward x right points up (against +y it would be left).
      EXPECT_GT(r.z * d.x - r.x * d.z, 0) << tilt << " " << heading;
    }
  }
  ExpectVec(camera_math::RightVector(0), 1, 0, 0);
}

TEST(CameraVectors, LookAtIsOneUnitAheadAlongForward) {
  const Vec3 cam = {12.5, 108090, 162135};
  for (double heading : {0.0, 90.0, -37.0}) {
    const Vec3 d = camera_math::ForwardVector(120, heading);
    ExpectVec(camera_math::LookAtPoint(cam, 120, heading), cam.x + d.x, cam.y + d.y,
              cam.z + d.z, 1e-8);
  }
}

TEST(CameraTilt, LimitedToHalfADegreeFromStraightUpAndDown) {
  EXPECT_EQ(camera_math::ClampTilt(200), 179.5);
  EXPECT_EQ(camera_math::ClampTilt(179.5), 179.5);
  EXPECT_EQ(camera_math::ClampTilt(-10), 0.5);
  EXPECT_EQ(camera_math::ClampTilt(0), 0.5);
  EXPECT_EQ(camera_math::ClampTilt(90), 90);
  EXPECT_EQ(camera_math::ClampTilt(120), 120);
}

TEST(CameraProjection, FarPlaneIsFourTerrainSides) {
  EXPECT_EQ(camera_math::FarPlane(1201, 1201, 90), 432360);
  EXPECT_EQ(camera_math::FarPlane(403, 344, 30), 4.0 * 403 * 30);  // tall grid: rows
  EXPECT_EQ(camera_math::FarPlane(344, 403, 30), 4.0 * 403 * 30);  // wide grid: columns
  // Past the int range without wrapping.
  EXPECT_EQ(camera_math::FarPlane(100000, 100000, 10000), 4e9);
}

// The near plane keeps 10^5 to the far plane, and never comes closer than one unit.
TEST(CameraProjection, NearPlaneFollowsTheFarPlane) {
  EXPECT_DOUBLE_EQ(camera_math::NearPlane(1201, 1201, 90), 4.3236);
  EXPECT_DOUBLE_EQ(camera_math::NearPlane(1201, 1201, 9000), 432.36);  // 5 arc-minutes
  EXPECT_DOUBLE_EQ(camera_math::NearPlane(344, 403, 90), 1.4508);
  EXPECT_EQ(camera_math::NearPlane(65, 65, 90), 1);
  EXPECT_EQ(camera_math::NearPlane(2, 2, 1), 1);
}

TEST(CameraProjection, AspectOfTheWindow) {
  EXPECT_NEAR(camera_math::Aspect(1024, 768), 1.3333, 1e-4);
  EXPECT_EQ(camera_math::Aspect(768, 768), 1);
}

// The view takes the rows above the panel's top edge; a partly covered row is the panel's.
TEST(CameraProjection, ViewHeightIsTheRowsAboveThePanel) {
  EXPECT_EQ(camera_math::ViewHeight(768, 579.0f), 579);
  EXPECT_EQ(camera_math::ViewHeight(768, 579.6f), 579);
  EXPECT_EQ(camera_math::ViewHeight(768, 768.0f), 768);
  EXPECT_EQ(camera_math::ViewHeight(768, 1e9f), 768);  // no panel drawn yet
  EXPECT_EQ(camera_math::ViewHeight(768, -4.0f), 0);   // a panel taller than the window
  EXPECT_EQ(camera_math::ViewHeight(0, 300.0f), 0);
}

}  // namespace

// The start view stands a side up and 1.5 out, looking 30 degrees down with a 45-degree
// field. A terrain whose top it sees from above keeps it; otherwise it rises (or sinks) to
// a side over the top, from where the top over the centre lies within the field.
TEST(CameraStart, LiftOnlyWhereTheStartViewMissesTheTerrain) {
  EXPECT_EQ(camera_math::StartLift(344 * 90, 600), 0);  // the sample
  EXPECT_EQ(camera_math::StartLift(344 * 90, 12000), 0);  // the sample at Y-Multiplier 20
  EXPECT_EQ(camera_math::StartLift(610, 2195), 2195);  // a high alpine tile
  EXPECT_EQ(camera_math::StartLift(15000, 10300), 10300);  // a half-metre tile 100 m up, in centimetres
  EXPECT_EQ(camera_math::StartLift(1000, -4000), -4000);  // deep sea floor
  std::mt19937 random(3);
  std::uniform_real_distribution<double> height(-1e5, 1e5);
  for (int i = 0; i < 1000; ++i) {
    const double side = 100 + random() % 100000, high = height(random);
    const double y = side + camera_math::StartLift(side, high);
    ASSERT_GE(y, high + 0.5 * side);
    const double below = std::atan2(y - high, 1.5 * side) * 180 / M_PI;  // the top over the centre
    EXPECT_TRUE(below >= 7.5 && below <= 52.5 + 1e-9) << side << " " << high;
  }
}
