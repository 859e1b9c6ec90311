#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "ReliefShade.h"
#include "ReliefTestGrids.h"

namespace {

using mesh_test::GridValue;

std::vector<int> Shadows(const GridValue& grid, double col_sp, double row_sp, const relief::Sun& sun, double z = 1) {
  const relief::ReliefGrid g{&grid.Grid(), col_sp, row_sp, z, true};
  return relief_test::Shaded(grid, [&](uint8_t* out) { return relief::CastShadows(g, sun, out, nullptr); });
}

constexpr double kRad = M_PI / 180;
constexpr int kWall = 100, kAt = 12;  // a wall kWall high, one cell thick, at row or column kAt

TEST(CastShadows, WallShadowEndsWhereGeometrySays) {
  const int n = 40;
  const GridValue east_west(n, n, [](int r, int) { return r == kAt ? kWall : 0; });
  const GridValue north_south(n, n, [](int, int c) { return c == kAt ? kWall : 0; });
  struct Case {
    const GridValue* grid;
    double azimuth, col_sp, row_sp, step;  // step: ground along the ray a cell
    int (*behind)(int r, int c);            // cells behind the wall along the ray, or <= 0
  } cases[] = {
      {&east_west, 0, 30, 20, 20, [](int r, int) { return r - kAt; }},
      {&east_west, 180, 30, 20, 20, [](int r, int) { return kAt - r; }},
      {&north_south, 90, 30, 20, 30, [](int, int c) { return kAt - c; }},
      {&north_south, 270, 30, 20, 30, [](int, int c) { return c - kAt; }},
      // Across square cells diagonally; rays that missed the wall come in from the north.
      {&north_south, 315, 25, 25, 25 * std::sqrt(2.0), [](int r, int c) { return r >= c - kAt ? c - kAt : 0; }},
  };
  for (double alt : {20.0, 40.0, 60.0})
    for (const Case& k : cases) {
      const std::vector<int> s = Shadows(*k.grid, k.col_sp, k.row_sp, {k.azimuth, alt});
      for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
          const int behind = k.behind(r, c);  // shadowed while the ray sinks less than the wall
          ASSERT_EQ(s[r * n + c], behind > 0 && behind * k.step * std::tan(alt * kRad) < kWall ? 0 : 255)
              << k.azimuth << " " << alt << " " << r << " " << c;
        }
    }
}

TEST(CastShadows, ConeShadowLiesBehindItAndIsAsLongAsGeometrySays) {
  const int n = 81, mid = 40;
  const double sp = 10, height = 400, radius = 250;  // flanks at 58 degrees
  const GridValue cone(n, n, [&](int r, int c) {
    return static_cast<int>(std::max(0.0, height - height / radius * sp * std::hypot(r - mid, c - mid)) * 100);
  });
  for (double az : {30.0, 100.0, 205.0, 333.0}) {
    const double alt = 35;
    const std::vector<int> s = Shadows(cone, sp, sp, {az, alt}, 0.01);
    const double east = std::sin(az * kRad), north = std::cos(az * kRad);  // toward the sun
    for (int r = 0; r < n; ++r)
      for (int c = 0; c < n; ++c)
        if (s[r * n + c] == 0) {
          ASSERT_LT((c - mid) * east - (r - mid) * north, 0.5) << az << " " << r << " " << c;
        }
    // Along the ray through the apex, the shadow ends height / tan(altitude) from it (the
    // points next to the apex see it cut by the grid).
    const double length = height / std::tan(alt * kRad) / sp;
    for (double d = 3; d < 38; d += 0.5) {
      const int r = static_cast<int>(std::lround(mid + d * north)), c = static_cast<int>(std::lround(mid - d * east));
      if (std::abs(d - length) > 1.5) {
        EXPECT_EQ(s[r * n + c], d < length ? 0 : 255) << az << " " << d;
      }
    }
  }
}

TEST(CastShadows, PlanesLessSteepThanTheSunAreLit) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int trial = 0; trial < 100; ++trial) {
    const double az = unit(rng) * 360, alt = 5 + unit(rng) * 80;
    const double col_sp = 5 + unit(rng) * 30, row_sp = 5 + unit(rng) * 30;
    // A plane falling along the rays by up to 0.9 tan(altitude), or rising along them.
    const double fall = (unit(rng) * 2.9 - 2) * std::tan(alt * kRad), across = unit(rng) * 2 - 1;
    const double east = std::sin(az * kRad), north = std::cos(az * kRad);
    const GridValue plane(23, 31, [&](int r, int c) {
      const double x = c * col_sp, y = -r * row_sp;
      return static_cast<int>(std::lround(1000 * (5000 + fall * (x * east + y * north) + across * (x * north - y * east))));
    });
    const std::vector<int> s = Shadows(plane, col_sp, row_sp, {az, alt}, 0.001);
    for (size_t i = 0; i < s.size(); ++i) ASSERT_EQ(s[i], 255) << trial << " " << i;
  }
}

TEST(CastShadows, SunOverheadCastsNone) {
  const GridValue spikes(30, 30, [](int r, int c) { return (r * 7 + c * 3) % 11 * 1000; });
  const std::vector<int> s = Shadows(spikes, 1, 1, {123, 90});
  EXPECT_EQ(std::count(s.begin(), s.end(), 255), 900);
  // Flat ground with the sun on the horizon is not shadowed by its own rounding.
  const std::vector<int> dawn = Shadows(mesh_test::GridValue(30, 30, 77), 3, 7, {80, 0});
  EXPECT_EQ(std::count(dawn.begin(), dawn.end(), 255), 900);
}

}  // namespace
