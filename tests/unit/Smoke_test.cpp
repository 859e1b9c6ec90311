#include <gtest/gtest.h>

#include "Brackenholmer.h"

TEST(ViewerState, StartValues) {
  EXPECT_EQ(max_precision, 6);
  EXPECT_EQ(max_approx_error, 10);
  EXPECT_TRUE(refresh_mesh);
  EXPECT_EQ(light, 1);
  EXPECT_EQ(Viewer.TriangleHead(), nullptr);
}
