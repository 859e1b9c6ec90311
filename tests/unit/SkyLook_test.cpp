#include "SkyLook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

using sky_look::SkyColour;

constexpr double kPi = 3.14159265358979;

void ExpectColour(const RGBColor& c, double r, double g, double b) {
  EXPECT_DOUBLE_EQ(c.r, r);
  EXPECT_DOUBLE_EQ(c.g, g);
  EXPECT_DOUBLE_EQ(c.b, b);
}

TEST(SkyColour, HorizonColourAtAndBelowTheHorizonZenithColourOverhead) {
  for (double e : {0.0, -0.01, -10.0, -90.0, -200.0}) ExpectColour(SkyColour(e), 0.86, 0.90, 0.95);
  ExpectColour(SkyColour(90), 0.22, 0.42, 0.78);
  ExpectColour(SkyColour(135), 0.22, 0.42, 0.78);
}

TEST(SkyColour, EveryChannelDeepensSteadilyFromHorizonToZenith) {
  RGBColor last = SkyColour(0);
  for (int i = 1; i <= 3600; ++i) {
    const RGBColor c = SkyColour(i * 0.025);
    ASSERT_LT(c.r, last.r) << i * 0.025;
    ASSERT_LT(c.g, last.g) << i * 0.025;
    ASSERT_LT(c.b, last.b) << i * 0.025;
    last = c;
  }
  // Most of the change lies in the lower half of the sky.
  const double half = SkyColour(45).b - SkyColour(0).b, whole = SkyColour(90).b - SkyColour(0).b;
  EXPECT_GT(half / whole, 0.6);
}

// The ray through height y of the view, its camera pitched by e = 90 - tilt: the forward
// vector (cos e, sin e) plus y tan(22.5) times the up vector (-sin e, cos e).
TEST(RayElevation, AgreesWithTheRayTurnedAsAVector) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> tilt(0.5, 179.5), height(-1, 1);
  const double t = std::tan(22.5 * kPi / 180);
  for (int i = 0; i < 1000; ++i) {
    const double a = tilt(random), y = height(random);
    const double e = (90 - a) * kPi / 180;
    const double horizontal = std::cos(e) - y * t * std::sin(e), up = std::sin(e) + y * t * std::cos(e);
    ASSERT_NEAR(sky_look::RayElevation(a, y), std::atan2(up, horizontal) * 180 / kPi, 1e-6) << a << " " << y;
    ASSERT_NEAR(sky_look::RayElevation(a, sky_look::HorizonHeight(a)), 0, 1e-6) << a;
  }
  EXPECT_NEAR(sky_look::RayElevation(90, 1), 22.5, 1e-9);
  EXPECT_NEAR(sky_look::HorizonHeight(90 + 22.5), 1, 1e-9);
}

// The start camera stands one side up and one and a half out from the centre of a terrain
// of that side: its near edge 1.41 sides away, the middle of its far edge 2.24.
TEST(HazeRange, LeavesTheNearEdgeClearAndFadesTheFarEdgeByAboutHalf) {
  for (double side : {1.0, 5850.0, 3e7}) {
    const sky_look::HazeRange r = sky_look::HazeRangeFor(side);
    const auto haze_at = [&](double d) { return std::clamp((d - r.start) / (r.end - r.start), 0.0, 1.0); };
    EXPECT_LT(haze_at(std::hypot(1.0, 1.0) * side), 0.03);
    EXPECT_GT(haze_at(std::hypot(2.0, 1.0) * side), 0.4);
    EXPECT_LT(haze_at(std::hypot(2.0, 1.0, 0.5) * side), 0.6);
  }
}

}  // namespace
