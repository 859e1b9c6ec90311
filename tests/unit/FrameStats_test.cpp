#include "FrameStats.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "Brackenholmer.h"

namespace {

class FrameStatsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frames = 0;
    timebase = 0;
    fps = 0;
    saved_count_ = triangle_count;
  }
  void TearDown() override {
    frames = 0;
    timebase = 0;
    fps = 0;
    triangle_count = saved_count_;
  }
  static std::string Formatted(float value) {
    char s[64];
    std::snprintf(s, sizeof s, "%.4f", value);
    return s;
  }
  int saved_count_ = 0;
};

TEST_F(FrameStatsTest, SixtyOneFramesInOneThousandSixteenMilliseconds) {
  for (int i = 1; i <= 60; ++i) UpdateFrameRate(i * 16);
  EXPECT_EQ(fps, 0);  // no window closed yet
  EXPECT_EQ(frames, 60);
  UpdateFrameRate(1016);
  EXPECT_EQ(Formatted(fps), "60.0394");
  EXPECT_EQ(timebase, 1016);
  EXPECT_EQ(frames, 0);
  // The next window counts from the following frame.
  UpdateFrameRate(1030);
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(Formatted(fps), "60.0394");
}

TEST_F(FrameStatsTest, WindowMustExceedOneSecondStrictly) {
  UpdateFrameRate(1000);
  EXPECT_EQ(fps, 0);
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(timebase, 0);
  UpdateFrameRate(1001);
  EXPECT_EQ(frames, 0);
  EXPECT_EQ(timebase, 1001);
  EXPECT_EQ(Formatted(fps), Formatted(2 * (1000 / 1001.0f)));

  UpdateFrameRate(2001);  // exactly 1000 ms after the last update
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(timebase, 1001);
  UpdateFrameRate(2002);
  EXPECT_EQ(Formatted(fps), "1.9980");
}

TEST_F(FrameStatsTest, OverlayHasFiveLinesWithRateAndCount) {
  fps = 60.0394f;
  triangle_count = 8192;
  ComposeOverlayText();
  EXPECT_STREQ(text_buffer,
               "Fps: 60.0394\nTriangles: 8192\nLeft Button: Rotate\n"
               "Right Button: Translate XZ\nLeft+Right Button: Translate XY\n");
}

TEST_F(FrameStatsTest, OverlayStartsAfreshEachFrameAndShowsZeroCount) {
  std::strcpy(text_buffer, "left over from the last frame");
  triangle_count = 0;
  ComposeOverlayText();
  EXPECT_STREQ(text_buffer,
               "Fps: 0.0000\nTriangles: 0\nLeft Button: Rotate\n"
               "Right Button: Translate XZ\nLeft+Right Button: Translate XY\n");
}

TEST_F(FrameStatsTest, OverlayOfExtremeValuesStaysInsideTheBuffer) {
  fps = FLT_MAX;
  triangle_count = INT_MIN;
  ComposeOverlayText();
  const std::string text = text_buffer;
  EXPECT_LT(text.size(), sizeof text_buffer);
  EXPECT_NE(text.find("\nTriangles: -2147483648\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 32), "Left+Right Button: Translate XY\n");
}

}  // namespace
