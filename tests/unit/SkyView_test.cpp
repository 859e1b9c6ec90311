#include <gtest/gtest.h>

#include <cmath>

#include "ReliefShade.h"
#include "ReliefTestGrids.h"

namespace {

using mesh_test::GridValue;

std::vector<int> Sky(const GridValue& grid, double col_sp, double row_sp, int directions, double z = 1) {
  const relief::ReliefGrid g{&grid.Grid(), col_sp, row_sp, z, true};
  return relief_test::Shaded(grid, [&](uint8_t* out) { return relief::SkyView(g, directions, out, nullptr); });
}

TEST(SkyView, FlatGroundSeesAllTheSky) {
  const std::vector<int> sky = Sky(GridValue(37, 23, 500), 30, 20, 16);
  EXPECT_EQ(std::count(sky.begin(), sky.end(), 255), 37 * 23);
}

// The floor of a V-shaped valley with walls at `wall` degrees: looking at phi from the
// valley's axis, the horizon is atan(tan(wall) |sin phi|).
double ValleyFloorGrey(double wall_degrees, int directions, double axis_azimuth) {
  double closed = 0;
  for (int k = 0; k < directions; ++k) {
    const double phi = 2 * M_PI * k / directions - axis_azimuth;
    closed += std::sin(std::atan(std::tan(wall_degrees * M_PI / 180) * std::abs(std::sin(phi))));
  }
  return 255 * (1 - closed / directions);
}

TEST(SkyView, ValleyFloorSeesTheSkyBetweenItsWalls) {
  const int rows = 161, cols = 201;
  const double col_sp = 30, row_sp = 20;
  for (double wall : {15.0, 30.0, 50.0})
    for (int directions : {16, 24, 36}) {
      const double tan_b = std::tan(wall * M_PI / 180) * 100;  // heights in hundredths
      // An east-west valley along row 80, then a north-south one along column 100.
      const GridValue ew(rows, cols, [&](int r, int) { return static_cast<int>(std::lround(tan_b * std::abs(r - 80) * row_sp)); });
      const GridValue ns(rows, cols, [&](int, int c) { return static_cast<int>(std::lround(tan_b * std::abs(c - 100) * col_sp)); });
      const std::vector<int> a = Sky(ew, col_sp, row_sp, directions, 0.01), b = Sky(ns, col_sp, row_sp, directions, 0.01);
      for (int c = 60; c <= 140; c += 20) EXPECT_NEAR(a[80 * cols + c], ValleyFloorGrey(wall, directions, M_PI / 2), 2.5) << wall << " " << directions << " " << c;
      for (int r = 40; r <= 120; r += 20) EXPECT_NEAR(b[r * cols + 100], ValleyFloorGrey(wall, directions, 0), 2.5) << wall << " " << directions << " " << r;
    }
}

TEST(SkyView, PitIsDarkerThanPeak) {
  const int n = 41;
  const GridValue peak(n, n, [&](int r, int c) { return 1000 - static_cast<int>(20 * std::hypot(r - 20, c - 20)); });
  const GridValue pit(n, n, [&](int r, int c) { return static_cast<int>(20 * std::hypot(r - 20, c - 20)); });
  const std::vector<int> top = Sky(peak, 10, 10, 16), bottom = Sky(pit, 10, 10, 16);
  EXPECT_EQ(top[20 * n + 20], 255);
  // Walls at atan(2) all round: the pit's floor sees 1 - sin(atan 2) of the sky.
  EXPECT_NEAR(bottom[20 * n + 20], 255 * (1 - 2 / std::sqrt(5.0)), 3);
}

}  // namespace
