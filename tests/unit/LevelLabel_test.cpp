// Contour labels carry as many decimals as the interval.
#include <gtest/gtest.h>

#include "LevelLabel.h"

TEST(LevelLabel, DecimalsFollowTheInterval) {
  EXPECT_EQ(LevelLabel(450, 50), "450 m");
  EXPECT_EQ(LevelLabel(-20, 10), "-20 m");
  EXPECT_EQ(LevelLabel(12.5, 0.5), "12.5 m");
  EXPECT_EQ(LevelLabel(13, 0.5), "13.0 m");
  EXPECT_EQ(LevelLabel(0.3 * 3, 0.3), "0.9 m");  // 0.8999999..., shown as the level it stands for
  EXPECT_EQ(LevelLabel(1.25, 0.25), "1.25 m");
  EXPECT_EQ(LevelLabel(0.02, 0.01), "0.02 m");
  EXPECT_EQ(LevelLabel(-1e-12, 1), "0 m");
  EXPECT_EQ(LevelLabel(2000, 1000), "2000 m");
}
