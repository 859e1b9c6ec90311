// The units a metre chosen for a grid: whole metres stay, fractions are kept to 0.05%.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "GridUnits.h"

namespace {

TEST(GridUnits, PinnedChoices) {
  struct Case {
    double spacing;
    bool whole_heights;
    long long widest;
    int per_metre, units;
  };
  const Case cases[] = {
      {90, true, 1201, 1, 90},          {9.999999980209395, true, 10, 1, 10},  // 1/3 arc-second
      {1, true, 10, 1, 1},              {2.5, true, 10, 100, 250},
      {0.5, false, 10, 100, 50},        {0.25, true, 10, 100, 25},
      {90, false, 1201, 100, 9000},     {1.0 / 3, true, 10, 10000, 3333},
      {0.0001, true, 10, 10000, 1},     {9000.5, true, 10, 1, 9001},  // within 0.01% of whole
      {900.5, true, 2000, 10, 9005},    // too wide for centimetres
      {900.5, true, 120000, 0, 0},      {1e-9, true, 10, 0, 0},
  };
  for (const Case& c : cases) {
    const GridUnits u = ChooseGridUnits(c.spacing, c.whole_heights, -400, 8848, c.widest);
    EXPECT_EQ(u.per_metre, c.per_metre) << c.spacing;
    EXPECT_EQ(u.spacing, c.units) << c.spacing;
  }
  // Whole metres keep any int height; finer units keep heights below 1e9 units.
  EXPECT_EQ(ChooseGridUnits(30, true, -2147483648.0, 2147483647.0, 10).per_metre, 1);
  EXPECT_EQ(ChooseGridUnits(30, false, -2e7, 2e7, 10).per_metre, 10);
}

// Random spacings and widths: the drawn width stays in int; where even the finest unit
// fits, the spacing is kept to 0.05%; and no coarser unit of the list would have been.
TEST(GridUnits, RandomSpacingsAreKeptTo0_05Percent) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> exponent(-3, 4);
  for (int i = 0; i < 5000; ++i) {
    const double spacing = std::pow(10.0, exponent(random));
    const long long widest = 2 + random() % (i % 2 ? 50 : 20000);
    const GridUnits u = ChooseGridUnits(spacing, false, 0, 1000, widest);
    const bool finest_fits = 20.0 * widest * std::ceil(spacing * 1e6) <= 2147483647.0;
    if (u.per_metre == 0) {
      EXPECT_FALSE(finest_fits) << spacing;
      continue;
    }
    EXPECT_GE(u.spacing, 1);
    EXPECT_LE(20.0 * widest * u.spacing, 2147483647.0) << spacing;
    const double kept = static_cast<double>(u.spacing) / u.per_metre;
    if (finest_fits) {
      EXPECT_LE(std::fabs(kept - spacing), 5e-4 * spacing) << spacing << " " << widest;
    }
    if (u.per_metre > 100) {
      const double coarser = spacing * u.per_metre / 10;
      EXPECT_TRUE(std::round(coarser) < 1 || std::fabs(std::round(coarser) - coarser) > 5e-4 * coarser) << spacing;
    }
  }
}

TEST(GridUnits, SpacingTextIsInMetres) {
  EXPECT_EQ(SpacingText({1, 90}), "90");
  EXPECT_EQ(SpacingText({100, 250}), "2.5");
  EXPECT_EQ(SpacingText({10000, 3333}), "0.3333");
}

}  // namespace
