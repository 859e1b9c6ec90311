// The viewer's current ramp: the panel's choice or the --colors file, percentages of the
// loaded grid's range, a new version at every change, and copies that keep their ramp.
#include "CurrentColourRamp.h"

#include <gtest/gtest.h>

#include "LookGlobals.h"
#include "TerrainLoader.h"

TEST(CurrentColourRamp, FollowsTheChoiceTheFileAndTheGridsRange) {
  const data saved = input;
  input.y_min = 0, input.y_max = 2000, input.units_per_metre = 10;  // 0 to 200 m
  input.has_nodata = true, input.nodata = -90;
  ColourRamp file;
  ASSERT_TRUE(ParseColourTable("0% black\n100% white\nnv red\n", "t.txt", &file).ok());
  const unsigned long before = ColourRampVersion();
  SetColourRampFile(file, "t.txt");
  EXPECT_EQ(colour_ramp, kFileRamp);
  const unsigned long with_file = ColourRampVersion();
  EXPECT_NE(with_file, before);
  EXPECT_DOUBLE_EQ(CurrentRampColour(50).g, 0.25);
  EXPECT_DOUBLE_EQ(CurrentRampColour(-9).r, 1.0);  // the grid's NODATA height
  EXPECT_DOUBLE_EQ(CurrentRampColour(-9).g, 0.0);

  const auto copy = CurrentRampCopy();
  colour_ramp = kDefaultRamp;
  EXPECT_NE(ColourRampVersion(), with_file);
  EXPECT_DOUBLE_EQ(copy(50).g, 0.25);
  EXPECT_EQ(CurrentRampColour(50).g, TerrainColor(50).g);
  // The same file read again is a new ramp for the drawings.
  SetColourRampFile(file, "t.txt");
  EXPECT_NE(ColourRampVersion(), with_file);
  input = saved;
}
