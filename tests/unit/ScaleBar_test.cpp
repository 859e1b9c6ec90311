// The scale bar's length: the longest 1-2-5 length within the room, its pixels, its label.
#include <gtest/gtest.h>

#include <random>

#include "ScaleBar.h"

TEST(ScaleBar, PicksTheLongestRoundLengthThatFits) {
  struct Case {
    double metres_per_pixel, max_pixels, metres;
    const char* label;
  };
  for (const Case& c : {Case{10, 256, 2000, "2 km"}, Case{2, 256, 500, "500 m"}, Case{2, 250, 500, "500 m"},
                        Case{2, 249.9, 200, "200 m"}, Case{0.004, 256, 1, "1 m"}, Case{0.002, 256, 0.5, "0.5 m"},
                        Case{0.001, 256, 0.2, "20 cm"}, Case{1e-5, 100, 1e-3, "0.1 cm"}, Case{300, 200, 50000, "50 km"},
                        Case{1, 1000, 1000, "1 km"}, Case{1.2, 100, 100, "100 m"}}) {
    SCOPED_TRACE(testing::Message() << c.metres_per_pixel << " m/px, " << c.max_pixels << " px");
    const ScaleBarLength bar = ChooseScaleBar(c.metres_per_pixel, c.max_pixels);
    EXPECT_NEAR(bar.metres, c.metres, 1e-9 * c.metres);
    EXPECT_NEAR(bar.pixels, c.metres / c.metres_per_pixel, 1e-6);
    EXPECT_EQ(bar.label, c.label);
  }
}

TEST(ScaleBar, NothingWithoutAScaleOrRoom) {
  for (auto [mpp, room] : {std::pair{0.0, 200.0}, {-1.0, 200.0}, {1.0, 0.0}, {NAN, 200.0}, {INFINITY, 200.0}}) {
    const ScaleBarLength bar = ChooseScaleBar(mpp, room);
    EXPECT_EQ(bar.metres, 0);
    EXPECT_EQ(bar.label, "");
  }
}

// Over many scales the bar fits and is more than the 2/5 of the room a 1-2-5 step leaves.
TEST(ScaleBar, FitsAndFillsOverManyScales) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> exponent(-4, 4), room(50, 600);
  for (int i = 0; i < 2000; ++i) {
    const double mpp = std::pow(10.0, exponent(random)), max = room(random);
    const ScaleBarLength bar = ChooseScaleBar(mpp, max);
    ASSERT_LE(bar.pixels, max * (1 + 1e-12));
    ASSERT_GT(bar.pixels, 0.4 * max * (1 - 1e-12));
  }
}
