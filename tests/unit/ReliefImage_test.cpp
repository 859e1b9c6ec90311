// Cutting the grid's shading into tiles a renderer takes, and their reduced levels.
#include <gtest/gtest.h>

#include <random>

#include "ReliefImage.h"

namespace {

// Every point falls in a tile; neighbours share their edge point, so the surface between
// any two points lies within one tile; no tile passes the limit; and no fewer tiles would do.
TEST(TileSpans, CoverEveryGapOnceWithinTheLimitAndNoMoreTilesThanNeeded) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 2000; ++trial) {
    const int limit = 2 + static_cast<int>(random() % 40);
    const int points = 1 + static_cast<int>(random() % 400);
    const std::vector<TileSpan> spans = TileSpans(points, limit);
    ASSERT_FALSE(spans.empty());
    EXPECT_EQ(spans.front().first, 0);
    EXPECT_EQ(spans.back().first + spans.back().count, points);
    for (size_t i = 0; i < spans.size(); ++i) {
      EXPECT_LE(spans[i].count, limit);
      EXPECT_GE(spans[i].count, points > 1 ? 2 : 1);
      if (i > 0) {
        EXPECT_EQ(spans[i].first, spans[i - 1].first + spans[i - 1].count - 1);
      }
    }
    const int gaps_per_tile = limit - 1;
    EXPECT_EQ(static_cast<int>(spans.size()), std::max(1, (points - 1 + gaps_per_tile - 1) / gaps_per_tile))
        << points << " points, limit " << limit;
  }
}

TEST(HalveLevel, AveragesTwoByTwoAndKeepsTheOddEdge) {
  // 3 x 2 texels of 2 channels: the odd third column falls away, as GL sizes the level.
  const std::vector<uint8_t> level = {10, 0, 20, 100, 255, 7,  //
                                      30, 1, 41, 100, 255, 7};
  EXPECT_EQ(HalveLevel(level, 3, 2, 2), (std::vector<uint8_t>{25, 50}));  // (10+20+30+41)/4 rounded
  // A single row halves along its length only.
  EXPECT_EQ(HalveLevel({0, 255, 100, 101}, 4, 1, 1), (std::vector<uint8_t>{128, 101}));
}

TEST(TileReliefImage, TilesHoldTheirPointsAndLevelsDownToOneTexel) {
  const int cols = 11, rows = 6;
  std::vector<uint8_t> pixels(static_cast<size_t>(cols) * rows * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 37 % 251);
  const ReliefImage image = TileReliefImage(pixels, cols, rows, 3, 4);
  ASSERT_EQ(image.tiles.size(), 4u * 2u);  // 10 gaps in 3s: 4 tiles; 5 gaps: 2
  for (const ReliefTile& t : image.tiles) {
    for (int r = 0; r < t.rows; ++r)
      for (int c = 0; c < t.cols; ++c)
        for (int k = 0; k < 3; ++k)
          ASSERT_EQ(t.levels[0][(static_cast<size_t>(r) * t.cols + c) * 3 + k],
                    pixels[(static_cast<size_t>(t.row0 + r) * cols + t.col0 + c) * 3 + k]);
    int w = t.cols, h = t.rows, levels = 1;
    while (w > 1 || h > 1) w = std::max(1, w / 2), h = std::max(1, h / 2), ++levels;
    EXPECT_EQ(static_cast<int>(t.levels.size()), levels);
    EXPECT_EQ(t.levels.back().size(), 3u);
  }
  // One tile when the grid fits: the pixels themselves.
  const ReliefImage whole = TileReliefImage(pixels, cols, rows, 3, 64);
  ASSERT_EQ(whole.tiles.size(), 1u);
  EXPECT_EQ(whole.tiles[0].levels[0], pixels);
}

}  // namespace
