#include "TerrainColor.h"

#include <gtest/gtest.h>

namespace {

void ExpectColor(int height, double r, double g, double b) {
  SCOPED_TRACE(testing::Message() << "height " << height);
  const RGBColor c = TerrainColor(height);
  EXPECT_NEAR(c.r, r, 1e-12);
  EXPECT_NEAR(c.g, g, 1e-12);
  EXPECT_NEAR(c.b, b, 1e-12);
}

TEST(TerrainColor, WaterAtAndBelowZeroIncludingNoData) {
  ExpectColor(0, 0.64, 0.75, 0.94);
  ExpectColor(-1, 0.64, 0.75, 0.94);
  ExpectColor(-9999, 0.64, 0.75, 0.94);
}

TEST(TerrainColor, LowlandGreenUpToOneHundredThenJumpsFromWater) {
  ExpectColor(1, 0.18, 0.37, 0.25);
  ExpectColor(50, 0.18, 0.37, 0.25);
  ExpectColor(100, 0.18, 0.37, 0.25);
}

TEST(TerrainColor, InterpolatesWithinBands) {
  ExpectColor(150, 0.18, 0.42, 0.28);
  ExpectColor(400, 0.51, 0.62, 0.36);
  ExpectColor(2500, 0.555, 0.37, 0.30);
  ExpectColor(2800, 0.60, 0.60, 0.60);
  ExpectColor(4000, 0.84, 0.84, 0.84);
  ExpectColor(1850, 0.56, 0.205, 0.0);  // blue stays 0 between 1500 and 2200
}

TEST(TerrainColor, WhiteFromFortyEightHundredUp) {
  ExpectColor(4800, 1, 1, 1);
  ExpectColor(4801, 1, 1, 1);
  ExpectColor(8848, 1, 1, 1);
  ExpectColor(2147483647, 1, 1, 1);
}

// Each stop closes its band: the colour there is the stop's own, and one unit above it
// the next band has barely moved away from it.
TEST(TerrainColor, ContinuousAtEveryStopFromOneHundred) {
  const struct {
    int height;
    double r, g, b;
  } stops[] = {{200, 0.18, 0.47, 0.31},  {400, 0.51, 0.62, 0.36},  {750, 0.88, 0.80, 0.47},
               {1000, 0.75, 0.54, 0.23}, {1500, 0.61, 0.27, 0.00}, {2200, 0.51, 0.14, 0.00},
               {2800, 0.60, 0.60, 0.60}};
  for (const auto& s : stops) {
    ExpectColor(s.height, s.r, s.g, s.b);
    const RGBColor above = TerrainColor(s.height + 1);
    EXPECT_NEAR(above.r, s.r, 0.005) << s.height;
    EXPECT_NEAR(above.g, s.g, 0.005) << s.height;
    EXPECT_NEAR(above.b, s.b, 0.005) << s.height;
  }
}

TEST(TerrainColor, GreyBandKeepsComponentsEqual) {
  for (int h = 2801; h <= 4800; h += 37) {
    const RGBColor c = TerrainColor(h);
    EXPECT_DOUBLE_EQ(c.r, c.g) << h;
    EXPECT_DOUBLE_EQ(c.g, c.b) << h;
  }
}

}  // namespace
