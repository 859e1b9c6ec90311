// The ARC/INFO ASCII header through the reader: the six lines, counts, cell sizes, and
// refusals with the line to mend.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "TerrainLoaderFixture.h"

namespace {

TEST_F(TerrainLoaderTest, ThreeByFourGridKeepsFileOrder) {
  ASSERT_TRUE(Load(TEST_SOURCE_DIR "/data/valid_3x4.asc")) << Msg();
  EXPECT_EQ(input.rows, 3);
  EXPECT_EQ(input.cols, 4);
  EXPECT_EQ(input.grid_space, 90);
  EXPECT_EQ((std::vector<int>(input.values[0], input.values[0] + 4)), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ((std::vector<int>(input.values[2], input.values[2] + 4)), (std::vector<int>{9, 10, 11, 12}));
  EXPECT_EQ(input.y_min, 1);
  EXPECT_EQ(input.y_max, 12);
}

TEST_F(TerrainLoaderTest, LinesThreeAndFourAreNotRead) {
  const std::string body = "ncols 2\nnrows 2\n\nanything at all: ncols 99\ncellsize 1\nNODATA_value 0\n1 2 3 4\n";
  ASSERT_TRUE(Load(Write("g.asc", body))) << Msg();
  EXPECT_EQ(input.cols, 2);
  EXPECT_EQ(input.grid_space, 108000);
}

// Degrees count 30 metres an arc-second. A spacing within a ten-thousandth of whole metres
// is whole (1/3 arc-second written to 9 digits is 9.99999998); others are kept in the
// least of 100, 1000, ... units a metre that holds them to 0.05%.
TEST_F(TerrainLoaderTest, SpacingIsRoundedFromTheFloatCellSize) {
  struct Case {
    const char* cellsize;
    int spacing;
    int per_metre;
  };
  const Case cases[] = {{"0.000833333333333", 90, 1}, {"0.000833333", 90, 1},        {"8.3333333333333E-04", 90, 1},
                        {"1", 108000, 1},            {"0.0000925925926", 10, 1},     {"0.000092592593", 10, 1},
                        {"0.000238689981", 2578, 100}, {"0.00000462962963", 50, 100}, {"0.00000308641975", 3333, 10000}};
  for (const auto& [cellsize, spacing, per_metre] : cases) {
    ASSERT_TRUE(Load(Write("g.asc", Header("2", "2", cellsize) + "1 2 3 4\n"))) << cellsize << ": " << Msg();
    EXPECT_EQ(input.grid_space, spacing) << cellsize;
    EXPECT_EQ(input.units_per_metre, per_metre) << cellsize;
    EXPECT_EQ(input.values[1][1], 4 * per_metre) << cellsize;
  }
}

// Header counts are decimal like the heights: a leading zero is no octal mark, and a
// hexadecimal count is refused rather than read as another number.
TEST_F(TerrainLoaderTest, HeaderCountsAreDecimal) {
  std::string heights;
  for (int i = 0; i < 20; ++i) heights += "1 ";
  ASSERT_TRUE(Load(Write("g.asc", Header("010", "02") + heights))) << Msg();
  EXPECT_EQ(input.cols, 10);
  EXPECT_EQ(input.rows, 2);
  const std::string path = Write("hex.asc", Header("0x4", "3") + "1 2 3 4 5 6 7 8 9 10 11 12\n");
  EXPECT_FALSE(Load(path));
  EXPECT_EQ(Reason(), "line 1: expected a whole number after 'ncols', found '0x4'");
}

// Every header fault gets the same first line, and a second that says which line holds
// it and what was expected there.
TEST_F(TerrainLoaderTest, HeaderFaultsGiveTheInvalidReportAndTheirLine) {
  const std::string grid = "1 2 3 4 5 6 7 8 9 10 11 12\n";
  const std::string header = Header("4", "3");
  struct Case {
    const char* label;
    std::string contents;
    const char* reason;
  };
  const Case cases[] = {
      {"capitals", "NCOLS 4\nnrows 3\nx\ny\ncellsize 1\nNODATA_value -9999\n" + grid,
       "line 1: expected 'ncols', found 'NCOLS'"},
      {"indented", "ncols 4\n  nrows 3\nx\ny\ncellsize 1\nNODATA_value -9999\n" + grid,
       "line 2: expected 'nrows' at the start of the line, found 'nrows'"},
      {"mid line", "ncols 4\nthe nrows 3\nx\ny\ncellsize 1\nNODATA_value -9999\n" + grid,
       "line 2: expected 'nrows' at the start of the line, found 'the'"},
      {"no number", Header("four", "3") + grid, "line 1: expected a whole number after 'ncols', found 'four'"},
      {"no cell size number", Header("4", "3", "deg") + grid, "line 5: expected a number after 'cellsize', found 'deg'"},
      {"no NODATA line", "ncols 4\nnrows 3\nx\ny\ncellsize 1\n" + grid, "line 6: expected 'NODATA_value', found '1'"},
      {"NODATA not a number", Header("4", "3", "1", "none") + grid,
       "line 6: expected a number after 'NODATA_value', found 'none'"},
      {"five lines", "ncols 4\nnrows 3\nx\ny\ncellsize 1\n", "line 6: expected 'NODATA_value', found the end of the file"},
      {"two lines", "ncols 4\nnrows 3\n", "line 3: expected the grid's x corner, found the end of the file"},
      {"long word", "ncols_" + std::string(40, 'w') + " 4\n" + header.substr(header.find('\n') + 1) + grid,
       "line 1: expected a whole number after 'ncols', found '_wwwwwwwwwwwwwwwwwwwwwwwwwwwwwww...'"},
  };
  for (const Case& c : cases) {
    const std::string path = Write("g.asc", c.contents);
    EXPECT_FALSE(Load(path)) << c.label;
    EXPECT_EQ(Msg(), "The file " + path + " is no valid ARC|Info ASCII file.") << c.label;
    EXPECT_EQ(Reason(), c.reason) << c.label;
    EXPECT_TRUE(InputUntouched()) << c.label;
  }
}

TEST_F(TerrainLoaderTest, UnusableDimensionsAndCellSizesAreRefused) {
  const std::pair<std::string, const char*> cases[] = {
      {Header("4", "1"), "has 1 rows and 4 columns; at least 2 of each are needed."},
      {Header("0", "3"), "has 3 rows and 0 columns; at least 2 of each are needed."},
      {Header("-4", "-3"), "has -3 rows and -4 columns; at least 2 of each are needed."},
      {Header("4", "3", "0"), "has a cell size that is not a positive number."},
      {Header("4", "3", "-1"), "has a cell size that is not a positive number."},
      {Header("4", "3", "nan"), "has a cell size that is not a positive number."},
      {Header("4", "3", "1e60"), "has a cell size that is not a positive number."},
      {Header("4", "3", "1e-12"), "has a cell size of 1e-12 degrees, too fine to draw."},
      {Header("4000", "2", "0.3"),
       "has a cell size of 0.3, too large for 4000 cells in degrees; a grid in metres needs its corner in metres too."},
      {Header("20000000", "3", "0.0001"), "has 3 rows and 20000000 columns, too many to draw at a spacing of 10.8."},
  };
  for (const auto& [header, report] : cases) {
    const std::string path = Write("g.asc", header + "1 2 3 4 5 6 7 8 9 10 11 12\n");
    EXPECT_FALSE(Load(path)) << report;
    EXPECT_EQ(Msg(), "The file " + path + " " + report);
    EXPECT_TRUE(InputUntouched()) << report;
  }
}

// 20 x 11930 x 9000 is the largest drawn coordinate still inside int.
TEST_F(TerrainLoaderTest, WidestDrawableGridPassesTheCoordinateCheck) {
  const std::string header = Header("11930", "2", "0.0833333358168602");  // spacing 9000
  EXPECT_FALSE(Load(Write("wide.asc", header + "1 2\n")));
  EXPECT_NE(Msg().find("holds only 2 of 23860 heights"), std::string::npos) << Msg();
  EXPECT_FALSE(Load(Write("wider.asc", Header("11931", "2", "0.0833333358168602") + "1 2\n")));
  EXPECT_NE(Msg().find("too many to draw at a spacing of 9000."), std::string::npos) << Msg();
}

}  // namespace
