// The profile's plot: heights at even distances, gaps at the floor, and the figures' text.
#include "ProfilePlot.h"

#include <gtest/gtest.h>

namespace {

Profile ThreeSamples(bool middle_known) {
  Profile p;
  p.samples = {{0, 0, {0, 0}, 100, true}, {10, 0, {1, 0}, 200, middle_known}, {30, 0, {3, 0}, 100, true}};
  p.highest = middle_known ? 1 : 0;
  p.lowest = 0;
  return p;
}

TEST(ProfilePlot, HeightsAtEvenDistancesAreLinearBetweenSamples) {
  const std::vector<float> h = EvenlySpacedHeights(ThreeSamples(true), 7);  // every 5 m
  const std::vector<float> expected{100, 150, 200, 175, 150, 125, 100};
  EXPECT_EQ(h, expected);
  EXPECT_TRUE(EvenlySpacedHeights(ThreeSamples(true), 1).empty());
  EXPECT_TRUE(EvenlySpacedHeights(Profile{}, 7).empty());
}

TEST(ProfilePlot, AStretchWithoutHeightsLiesOnTheFloor) {
  const std::vector<float> h = EvenlySpacedHeights(ThreeSamples(false), 7);
  EXPECT_EQ(h.front(), 100);
  for (size_t i = 1; i + 1 < h.size(); ++i) EXPECT_EQ(h[i], 100) << i;  // the floor: the lowest known
  EXPECT_EQ(h.back(), 100);
}

TEST(ProfilePlot, FiguresReadInMetresAndKilometres) {
  EXPECT_EQ(DistanceText(9999.4), "9999 m");
  EXPECT_EQ(DistanceText(12345), "12.35 km");
  Profile p = ThreeSamples(true);
  p.horizontal_length = 30, p.ground_length = 223.6, p.climb = 100, p.descent = 100;
  const std::vector<std::string> lines = ProfileFigures(p);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Length 30 m, along the ground 224 m");
  EXPECT_EQ(lines[1], "Climb 100.0 m, descent 100.0 m");
  EXPECT_EQ(lines[2], "Highest 200.0 m at 10 m, lowest 100.0 m at 0 m");
}

}  // namespace
