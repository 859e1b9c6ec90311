// Place maths of a grid: its centre's latitude, how much closer its columns lie than its
// rows, and the guesses of degrees from a corner or an extent.
#include "GridPlace.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(GridPlace, ColumnRatioIsTheCosineOfTheCentreLatitude) {
  const GridPlace place{true, true, 6.0, 59.0, 0.002, 0.001};
  EXPECT_DOUBLE_EQ(CentreLatitude(place, 2000), 60.0);
  EXPECT_NEAR(ColumnRatio(place, 2000), 2 * 0.5, 1e-12);  // cos 60 = 0.5, cells twice as wide
  EXPECT_NEAR(ColumnRatio(GridPlace{true, true, 0, 89.99, 1e-4, 1e-4}, 2), 0.01, 1e-12);  // floor near the pole
  EXPECT_EQ(ColumnRatio(GridPlace{true, false, 0, 59, 30, 30}, 10), 1.0);  // metres
  EXPECT_EQ(ColumnRatio(GridPlace{}, 10), 1.0);                            // no place
}

TEST(GridPlace, DegreeGuesses) {
  EXPECT_TRUE(CornerFitsDegrees(-360, -90, 180, 1));
  EXPECT_FALSE(CornerFitsDegrees(360.5, 0, 2, 1));
  EXPECT_FALSE(CornerFitsDegrees(0, 89, 2, 1));  // top at 91
  EXPECT_FALSE(CornerFitsDegrees(0, -90.5, 2, 1));
  EXPECT_TRUE(ExtentFitsDegrees(-180.5, -90.5, 90.5, 0.5, 0.5));
  EXPECT_FALSE(ExtentFitsDegrees(0, -90, 90.6, 0.5, 0.5));
  EXPECT_FALSE(ExtentFitsDegrees(361, 0, 1, 0.5, 0.5));
  EXPECT_TRUE(ReachesPastPole(-91, 0, 0.5));
  EXPECT_FALSE(ReachesPastPole(-90.5, 90.5, 0.5));
}

}  // namespace
