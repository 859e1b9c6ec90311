// Colour ramps: gdaldem's colour tables, the named ramps, and the default's equality with
// TerrainColor.
#include "ColourRamp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kTables = TEST_SOURCE_DIR "/data/colours/";

void ExpectColour(const RGBColor& c, double r, double g, double b, double at) {
  EXPECT_DOUBLE_EQ(c.r, r / 255) << "at " << at;
  EXPECT_DOUBLE_EQ(c.g, g / 255) << "at " << at;
  EXPECT_DOUBLE_EQ(c.b, b / 255) << "at " << at;
}

TEST(ColourRamp, TableGivesItsColoursAtItsHeightsAndMixesBetween) {
  ColourRamp table;
  const Status read = ReadColourTable(kTables + "table.txt", &table);
  ASSERT_TRUE(read.ok()) << read.reason();
  // Over the range -200..2000, 100% is 2000. Stops: 0 black, 500 white, 1000 (200,100,50), 2000 blue.
  const ColourRamp r = table.Resolved(-200, 2000);
  ExpectColour(r.Colour(-50), 0, 0, 0, -50);  // below the first stop: its colour
  ExpectColour(r.Colour(0), 0, 0, 0, 0);
  ExpectColour(r.Colour(250), 127.5, 127.5, 127.5, 250);
  ExpectColour(r.Colour(500), 255, 255, 255, 500);
  ExpectColour(r.Colour(750), 227.5, 177.5, 152.5, 750);
  ExpectColour(r.Colour(1000), 200, 100, 50, 1000);
  ExpectColour(r.Colour(1250), 150, 75, 101.25, 1250);
  ExpectColour(r.Colour(2000), 0, 0, 255, 2000);
  ExpectColour(r.Colour(1e6), 0, 0, 255, 1e6);  // above the last: its colour
  ASSERT_TRUE(r.has_nodata());
  ExpectColour(r.nodata(), 10, 20, 30, 0);
  // The percentage follows the range.
  ExpectColour(table.Resolved(0, 3000).Colour(2000), 100, 50, 152.5, 2000);
}

TEST(ColourRamp, NamesGiveGdaldemsColours) {
  ColourRamp ramp;
  ASSERT_TRUE(ParseColourTable("0 orange\n1 aqua\n2 brown\n3 indigo\n4 grey\n", "names", &ramp).ok());
  const ColourRamp r = ramp.Resolved(0, 4);
  ExpectColour(r.Colour(0), 255, 127, 0, 0);
  ExpectColour(r.Colour(1), 0, 191, 191, 1);
  ExpectColour(r.Colour(2), 191, 127, 63, 2);
  ExpectColour(r.Colour(3), 0, 127, 255, 3);
  ExpectColour(r.Colour(4), 191, 191, 191, 4);
}

TEST(ColourRamp, ErrorsNameTheFileAndLine) {
  ColourRamp ramp;
  const auto reason = [&](const char* text) { return ParseColourTable(text, "t.txt", &ramp).reason(); };
  EXPECT_EQ(reason("0 1 2 3\n\nabc 1 2 3\n"), "t.txt line 3: \"abc\" is no height (a number, N% or nv)");
  EXPECT_EQ(reason("# c\n10 1 2\n"), "t.txt line 2: an entry is HEIGHT R G B [A] or HEIGHT NAME");
  EXPECT_EQ(reason("10 chartreuse\n"), "t.txt line 1: \"chartreuse\" is no colour name gdaldem knows");
  EXPECT_EQ(reason("10 1 2 -1\n"), "t.txt line 1: \"-1\" is no colour value from 0 to 255");
  EXPECT_EQ(reason("x% 1 2 3\n"), "t.txt line 1: \"x%\" is no height (a number, N% or nv)");
  EXPECT_EQ(reason("# only\nnv 1 2 3\n"), "t.txt holds no colour entry");
  const Status bad = ReadColourTable(kTables + "bad_value.txt", &ramp);
  EXPECT_EQ(bad.reason(), kTables + "bad_value.txt line 4: \"300\" is no colour value from 0 to 255");
  EXPECT_FALSE(ReadColourTable(kTables + "missing.txt", &ramp).ok());
  EXPECT_FALSE(ReadColourTable(kTables, &ramp).ok());  // a folder
}

TEST(ColourRamp, DefaultIsTerrainColor) {
  const ColourRamp ramp = ColourRamp::Default().Resolved(-100, 100);
  for (double h = -10000; h < 10000; h += 0.73) {
    const RGBColor a = ramp.Colour(h), b = TerrainColor(h);
    ASSERT_EQ(a.r, b.r) << h;
    ASSERT_EQ(a.g, b.g) << h;
    ASSERT_EQ(a.b, b.b) << h;
  }
}

TEST(ColourRamp, HypsometricIsBlueBelowSeaLevelAndGreenAbove) {
  const ColourRamp ramp = ColourRamp::Hypsometric().Resolved(0, 1);
  for (double h : {-11000.0, -8000.0, -3000.0, -400.0, -1.0, -0.01}) {
    const RGBColor c = ramp.Colour(h);
    EXPECT_TRUE(c.b > c.g && c.g > c.r) << h;
  }
  for (double h : {0.0, 0.01, 1.0, 50.0, 150.0}) {
    const RGBColor c = ramp.Colour(h);
    EXPECT_TRUE(c.g > c.r && c.g > c.b) << h;
  }
  const RGBColor snow = ramp.Colour(6000);
  EXPECT_GT(snow.r + snow.g + snow.b, 2.9);
}

TEST(ColourRamp, GreyRunsDarkToLightOverTheGridsRange) {
  const ColourRamp ramp = ColourRamp::Grey().Resolved(300, 700);
  EXPECT_LT(ramp.Colour(300).r, 0.2);
  EXPECT_GT(ramp.Colour(700).r, 0.9);
  EXPECT_DOUBLE_EQ(ramp.Colour(500).g, (ramp.Colour(300).g + ramp.Colour(700).g) / 2);
}

}  // namespace
