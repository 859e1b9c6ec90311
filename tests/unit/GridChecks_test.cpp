// The checks both grid readers make before reading heights, with the limits and texts
// pinned here.
#include "GridChecks.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <ostream>

namespace {

TEST(GridChecks, SizeAndCellSize) {
  EXPECT_TRUE(CheckGridSize(2, 2).ok());
  EXPECT_EQ(CheckGridSize(1, 5).reason(), "has 1 rows and 5 columns; at least 2 of each are needed.");
  EXPECT_FALSE(CheckGridSize(5, 1).ok());
  EXPECT_TRUE(CheckCellSize(1e-9).ok());
  for (double bad : {0.0, -1.0, std::numeric_limits<double>::infinity(), std::nan("")})
    EXPECT_EQ(CheckCellSize(bad).reason(), "has a cell size that is not a positive number.") << bad;
}

// 20 x widest x spacing must stay within INT_MAX (2147483647); spacings below a metre
// count as one.
TEST(GridChecks, WidthLimitOfTheDrawing) {
  EXPECT_TRUE(CheckDrawableWidth(2, 107374182, 1).ok());  // 2147483640
  EXPECT_EQ(CheckDrawableWidth(2, 107374183, 0.2).reason(),
            "has 2 rows and 107374183 columns, too many to draw at a spacing of 0.2.");
  EXPECT_TRUE(CheckDrawableWidth(1193046, 3, 90).ok());  // 2147482800
  EXPECT_FALSE(CheckDrawableWidth(1193047, 3, 90).ok());
  EXPECT_FALSE(CheckDrawableWidth(1193046, 3, 90.5).ok());  // rounds to 91
}

struct PoleCase {
  double bottom, top, slack;
  bool within;
};

void PrintTo(const PoleCase& c, std::ostream* os) { *os << c.bottom << " to " << c.top << ", slack " << c.slack; }

class PoleLimit : public ::testing::TestWithParam<PoleCase> {};

// Exactly on a pole (plus the slack) is within; anything past it is not.
TEST_P(PoleLimit, GridsInDegreesEndAtThePoles) {
  const PoleCase c = GetParam();
  EXPECT_EQ(CheckWithinPoles(c.bottom, c.top, c.slack).ok(), c.within);
}

INSTANTIATE_TEST_SUITE_P(Latitudes, PoleLimit,
                         ::testing::Values(PoleCase{-90, 90, 0, true}, PoleCase{-90.001, 0, 0, false},
                                           PoleCase{0, 90.001, 0, false}, PoleCase{-90.5, 90.5, 0.501, true},
                                           PoleCase{0, 90.502, 0.501, false}, PoleCase{-90.502, 0, 0.501, false}));

TEST(GridChecks, PoleRefusalNamesTheLatitudes) {
  EXPECT_EQ(CheckWithinPoles(92, 95, 0).reason(),
            "reaches past a pole (latitudes 92 to 95): a grid in degrees lies within -90 and 90.");
}

// A NODATA value keeps its cells' height only when it is a whole number of the grid's
// units within the int range.
TEST(GridChecks, NoDataValueAsAHeight) {
  struct Case {
    double value, per_metre;
    bool integral;
    int rounded;
  } cases[] = {{-9999, 1, true, -9999},          {-9999.5, 1, false, -10000}, {-9999.4, 1, false, -9999},
               {0.125, 100, false, 13},          {0.5, 100, true, 50},        {2147483647, 1, true, 2147483647},
               {-2147483648.0, 1, true, INT_MIN}, {2147483648.0, 1, false, 0}, {-3.4028234663852886e38, 1, false, 0},
               {std::nan(""), 1, false, 0}};
  for (const Case& c : cases) {
    const NoDataHeight h = ScaleNoDataValue(c.value, c.per_metre);
    EXPECT_EQ(h.integral, c.integral) << c.value;
    EXPECT_EQ(h.rounded, c.rounded) << c.value;
  }
}

}  // namespace
