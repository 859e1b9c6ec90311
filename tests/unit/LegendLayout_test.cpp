// The legend's labels: round heights, 5 to 7 where a round step allows, and their text in
// the built-in font.
#include "LegendLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Ticks = std::vector<double>;

TEST(LegendLayout, TicksAreRoundHeightsWithinTheRange) {
  EXPECT_EQ(NiceTicks(0, 1000), (Ticks{0, 200, 400, 600, 800, 1000}));
  EXPECT_EQ(NiceTicks(231, 812), (Ticks{300, 400, 500, 600, 700, 800}));
  EXPECT_EQ(NiceTicks(-8000, 5000), (Ticks{-8000, -6000, -4000, -2000, 0, 2000, 4000}));
  EXPECT_EQ(NiceTicks(0, 1500), (Ticks{0, 250, 500, 750, 1000, 1250, 1500}));
  EXPECT_EQ(NiceTicks(0, 700), (Ticks{0, 150, 300, 450, 600}));
  EXPECT_EQ(NiceTicks(-42.5, -3), (Ticks{-42, -36, -30, -24, -18, -12, -6}));  // 10 gives 4, 5 gives 8
  EXPECT_EQ(NiceTicks(10.2, 13.9), (Ticks{11, 12, 13}));
  EXPECT_EQ(NiceTicks(300.4, 300.4), (Ticks{300}));
}

TEST(LegendLayout, LabelsUseOnlyTheFontsCharacters) {
  EXPECT_EQ(TickLabel(1500), "1500 m");
  EXPECT_EQ(TickLabel(-200), "-200 m");
  for (char c : TickLabel(-1234567890)) EXPECT_NE(Glyph(c), nullptr) << c;
  EXPECT_EQ(Glyph('x'), nullptr);
}

TEST(LegendLayout, BarStandsAtTheRightEdgeAndItsRowsSpanTheRange) {
  const LegendLayout l = LayOutLegend(1024, 768, 6);
  ASSERT_TRUE(l.fits);
  EXPECT_GT(l.bar.x0, 1024 * 3 / 4);
  EXPECT_LT(l.backing.x1, 1024);
  EXPECT_LT(l.backing.x0, l.bar.x0);
  EXPECT_GT(l.backing.x1, l.label_x + 6 * kGlyphAdvance * l.scale - 2 * l.scale);
  EXPECT_NEAR(BarRowHeight(l, l.bar.y0, 100, 500), 100, 400.0 / (l.bar.y1 - l.bar.y0));
  EXPECT_NEAR(BarRowHeight(l, l.bar.y1 - 1, 100, 500), 500, 400.0 / (l.bar.y1 - l.bar.y0));
  EXPECT_FALSE(LayOutLegend(60, 768, 6).fits);
  EXPECT_FALSE(LayOutLegend(1024, 60, 6).fits);
}

}  // namespace
