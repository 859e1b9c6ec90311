// The drawing's scales from the spacing, the column ratio and the multipliers.
#include <gtest/gtest.h>

#include "DrawScales.h"

// At spacing 30, ratio 0.5, height scale 2 and ground scale 0.5: columns 7.5 apart, rows
// 15; the normals' x and z take 2 over the column step 0.25 and over the row step 0.5.
TEST(DrawScales, SpacingsAndNormalFactorsFollowTheMultipliers) {
  const DrawScales s = ScalesFor(30, 0.5, 2.0f, 0.5f);
  EXPECT_FLOAT_EQ(s.column, 7.5f);
  EXPECT_FLOAT_EQ(s.row, 15.0f);
  EXPECT_DOUBLE_EQ(s.height, 2.0);
  EXPECT_FLOAT_EQ(s.normal_x, 8.0f);
  EXPECT_FLOAT_EQ(s.normal_z, 4.0f);
  EXPECT_EQ(ScalesFor(30, 1.0, 1.0f, 1.0f), (DrawScales{30, 30, 1, 1, 1}));
}

// Ground squeezed to nothing has no usable normal: it is lit as if level.
TEST(DrawScales, NoGroundScaleGivesLevelNormals) {
  const DrawScales s = ScalesFor(30, 1.0, 3.0f, 0.0f);
  EXPECT_EQ(s.column, 0.0f);
  EXPECT_EQ(s.normal_x, 0.0f);
  EXPECT_EQ(s.normal_z, 0.0f);
}
