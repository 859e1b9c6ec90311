// The ARC/INFO ASCII reader on real grids, on the header rules and on the height forms.
//
//   real grids, place   - the bundled and real samples, cell by cell
//   header              - the six lines, counts, cell sizes, refusals and their lines
//   heights             - number forms, rounding, refusals with their place
//   NODATA              - values with and without an int form
//   reasons and warnings
#include <gtest/gtest.h>

#include <cctype>

#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "TerrainLoaderFixture.h"

namespace {

// An independent reading of a grid file: six header lines skipped, then every token
// converted by the standard library and rounded.
struct ReferenceGrid {
  int rows = 0, cols = 0;
  std::vector<long> heights;
};

ReferenceGrid ReadReference(const std::string& path) {
  ReferenceGrid grid;
  std::ifstream file(path);
  std::string line, keyword;
  for (int i = 0; i < 6 && std::getline(file, line); ++i) {
    std::istringstream fields(line);
    if (i == 0) fields >> keyword >> grid.cols;
    if (i == 1) fields >> keyword >> grid.rows;
  }
  std::string token;
  while (file >> token) grid.heights.push_back(std::lround(std::stod(token)));
  return grid;
}

struct RealGrid {
  const char* path;
  int rows, cols, grid_space, y_min, y_max;
};

// Test names from the file's base name: "bundled_" marks the repository's own copy.
std::string TestName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  name = name.substr(0, name.find('.'));
  for (char& c : name)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  return (path.rfind(REPO_DATA_DIR, 0) == 0 ? "bundled_" : "") + name;
}

void PrintTo(const RealGrid& grid, std::ostream* os) { *os << grid.path; }

class RealGrids : public TerrainLoaderTest, public ::testing::WithParamInterface<RealGrid> {};

TEST_P(RealGrids, LoadWithTheirDimensionsSpacingAndEveryHeight) {
  const RealGrid& expected = GetParam();
  ASSERT_TRUE(Load(expected.path)) << Msg();
  EXPECT_EQ(Msg(), std::string("The file ") + expected.path + " was loaded succesfully.");
  EXPECT_EQ(input.rows, expected.rows);
  EXPECT_EQ(input.cols, expected.cols);
  EXPECT_EQ(input.grid_space, expected.grid_space);
  EXPECT_EQ(input.y_min, expected.y_min);
  EXPECT_EQ(input.y_max, expected.y_max);

  const ReferenceGrid reference = ReadReference(expected.path);
  ASSERT_EQ(reference.rows, expected.rows);
  ASSERT_EQ(reference.cols, expected.cols);
  ASSERT_GE(reference.heights.size(), size_t(expected.rows) * expected.cols);
  int mismatches = 0;
  for (int r = 0; r < input.rows; ++r)
    for (int c = 0; c < input.cols; ++c)
      if (input.values[r][c] != reference.heights[size_t(r) * input.cols + c] && ++mismatches <= 5)
        ADD_FAILURE() << "row " << r << " column " << c << ": " << input.values[r][c] << " vs "
                      << reference.heights[size_t(r) * input.cols + c];
  EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(
    RealData, RealGrids,
    ::testing::Values(RealGrid{REPO_DATA_DIR "/jacksboro_403x344.asc", 344, 403, 90, 236, 1076},
                      RealGrid{GENERATED_DATA_DIR "/jacksboro_resampled_1201x1201.asc", 1201, 1201, 25, 236, 1076},
                      RealGrid{REAL_DATA_DIR "/sf_1arcsec_24x37.asc", 37, 24, 30, -9999, 98},
                      RealGrid{REAL_DATA_DIR "/sf_crlf.asc", 37, 24, 30, -9999, 98},
                      RealGrid{REAL_DATA_DIR "/sf_float32_intvalues.asc", 37, 24, 30, -9999, 98}),
    [](const ::testing::TestParamInfo<RealGrid>& info) { return TestName(info.param.path); });

TEST_F(TerrainLoaderTest, KnownHeightsOfTheSample) {
  ASSERT_TRUE(Load(REPO_DATA_DIR "/jacksboro_403x344.asc")) << Msg();
  EXPECT_EQ(input.values[0][0], 483);
  EXPECT_EQ(input.values[0][1], 487);
  EXPECT_EQ(input.values[0][402], 444);
  EXPECT_EQ(input.values[1][0], 475);
  EXPECT_EQ(input.values[17][5], 393);
  EXPECT_EQ(input.values[172][201], 583);
  EXPECT_EQ(input.values[343][402], 272);
}

// The Float32 and CRLF writings of the San Francisco grid hold the same table.
TEST_F(TerrainLoaderTest, FloatAndCrlfWritingsGiveTheSameGrid) {
  auto snapshot = [this](const char* path) {
    EXPECT_TRUE(Load(path)) << Msg();
    std::vector<int> cells{input.rows, input.cols, input.grid_space, input.y_min, input.y_max};
    for (int r = 0; r < input.rows; ++r) cells.insert(cells.end(), input.values[r], input.values[r] + input.cols);
    return cells;
  };
  const std::vector<int> plain = snapshot(REAL_DATA_DIR "/sf_1arcsec_24x37.asc");
  ASSERT_EQ(plain.size(), 5u + 37 * 24);
  EXPECT_EQ(plain[5], -9999);  // the first row is all NODATA, stored as is
  EXPECT_EQ(snapshot(REAL_DATA_DIR "/sf_crlf.asc"), plain);
  EXPECT_EQ(snapshot(REAL_DATA_DIR "/sf_float32_intvalues.asc"), plain);
}

// The sample lies around 36.5896 N; a centre given for the corner cell moves the place by
// half a cell; a corner in metres or no corner at all leaves the columns as far apart as rows.
TEST_F(TerrainLoaderTest, PlaceAndColumnRatioFollowTheHeader) {
  ASSERT_TRUE(Load(REPO_DATA_DIR "/jacksboro_403x344.asc")) << Msg();
  EXPECT_TRUE(input.place.known && input.place.degrees);
  EXPECT_DOUBLE_EQ(input.place.bottom, 36.44625);
  EXPECT_NEAR(GridColumnRatio(), 0.8029259, 1e-6);
  ReleaseGrid();
  const std::string rest = "cellsize 0.001\nNODATA_value -9999\n1 2 3 4\n";
  ASSERT_TRUE(Load(Write("c.asc", "ncols 2\nnrows 2\nxllcenter 6.0005\nYLLCENTER 49.4005\n" + rest))) << Msg();
  EXPECT_NEAR(input.place.left, 6.0, 1e-7);
  EXPECT_NEAR(input.place.bottom, 49.4, 1e-7);
  EXPECT_NEAR(GridColumnRatio(), 0.650761, 1e-6);  // cos(49.401)
  ReleaseGrid();
  ASSERT_TRUE(Load(Write("m.asc", "ncols 2\nnrows 2\nxllcorner 500000\nyllcorner 4000000\ncellsize 30\n"
                                  "NODATA_value -9999\n1 2 3 4\n"))) << Msg();
  EXPECT_FALSE(input.place.degrees);
  EXPECT_EQ(GridColumnRatio(), 1.0);
  ReleaseGrid();
  ASSERT_TRUE(Load(Write("n.asc", "ncols 2\nnrows 2\n-\n-\n" + rest))) << Msg();
  EXPECT_FALSE(input.place.known);
  EXPECT_EQ(GridColumnRatio(), 1.0);
}

// ---------------------------------------------------------------- header

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

// ---------------------------------------------------------------- heights

class HeightForms : public TerrainLoaderTest {
 protected:
  // Loads a 2 x 2 grid whose last cell is written as `token`.
  bool LoadLastCell(const std::string& token) { return Load(Write("h.asc", Header("2", "2") + "1 2 3 " + token + "\n")); }
};

// Whole heights stay in metres; a grid with fractions of a metre is read in centimetres,
// rounded to the nearest (halves away from zero), unless that leaves the int range.
TEST_F(HeightForms, DecimalsWithFractionsAndExponentsRoundToNearest) {
  struct Case {
    const char* token;
    int value;
    int per_metre;
  };
  const Case cases[] = {
      {"010", 10, 1},          {"-010", -10, 1},        {"+7", 7, 1},           {"2.5", 250, 100},
      {"-2.5", -250, 100},     {"2.49999", 250, 100},   {"2.345", 235, 100},    {"-2.345", -235, 100},
      {"2.3449", 234, 100},    {"-0.4", -40, 100},      {".5", 50, 100},        {"7.", 7, 1},
      {"7.000", 7, 1},         {"1e2", 100, 1},         {"1.5E+01", 15, 1},     {"-9999.0", -9999, 1},
      {"25e-1", 250, 100},     {"2147483647", 2147483647, 1}, {"-2147483648", -2147483647 - 1, 1},
      {"2147483647.4", 2147483647, 1}, {"0000000000000000000042", 42, 1}, {"1234567", 1234567, 1},
      {"12345678", 12345678, 1}, {"-123456789", -123456789, 1}, {"00000009.5", 950, 100},
      {"1234567.5", 123456750, 100}, {"-1234567.5", -123456750, 100}, {"12345678.5", 123456785, 10},
  };
  for (const auto& [token, value, per_metre] : cases) {
    ASSERT_TRUE(LoadLastCell(token)) << token << ": " << Msg();
    EXPECT_EQ(input.values[1][1], value) << token;
    EXPECT_EQ(input.units_per_metre, per_metre) << token;
    EXPECT_EQ(input.values[0][1], 2 * per_metre) << token;
    EXPECT_EQ(input.grid_space, 90 * per_metre) << token;
  }
}

// The last height may end the file, without a line break.
TEST_F(HeightForms, LastHeightAtTheVeryEndOfTheFile) {
  for (const char* last : {"7", "-12345678", "87654321", "123456789", "4.5", "1e3"}) {
    ASSERT_TRUE(Load(Write("end.asc", Header("2", "2") + "1 2 3 " + last))) << last << ": " << Msg();
    EXPECT_EQ(input.values[1][1], std::lround(std::stod(last) * input.units_per_metre)) << last;
  }
}

TEST_F(HeightForms, NonNumbersAreRefusedWithTheirPlace) {
  for (const char* token : {"-0x10", "0x10", "12abc", "-", ".", "1e", "1e+", "nan", "inf", "5,5", "1..2", "--1"}) {
    const std::string path = Write("h.asc", Header("2", "2") + "1 2\n3 " + token + "\n");
    EXPECT_FALSE(Load(path)) << token;
    EXPECT_EQ(Msg(), "The file " + path + " has no valid height at row 2, column 2 (line 8).") << token;
    EXPECT_TRUE(InputUntouched()) << token;
  }
}

TEST_F(HeightForms, HeightsOutsideIntAreRefused) {
  for (const char* token : {"2147483648", "-2147483649", "2147483647.5", "99999999999999999999999", "1e10", "-1e400"}) {
    const std::string path = Write("h.asc", Header("2", "2") + "1 2 " + token + " 4\n");
    EXPECT_FALSE(Load(path)) << token;
    EXPECT_EQ(Msg(), "The file " + path + " has a height out of range at row 2, column 1 (line 7).") << token;
    EXPECT_TRUE(InputUntouched()) << token;
  }
}

TEST_F(HeightForms, ShortDataIsRefusedWithTheCount) {
  const std::string path = Write("short.asc", Header("4", "3") + " 1 2 3 4\n 5 6 7 8\n 9 10\n");
  EXPECT_FALSE(Load(path));
  EXPECT_EQ(Msg(), "The file " + path + " holds only 10 of 12 heights (3 rows x 4 columns).");
  EXPECT_TRUE(InputUntouched());
}

TEST_F(HeightForms, LineBreaksCarryNoMeaningAndTrailingTextIsIgnored) {
  ASSERT_TRUE(Load(Write("a.asc", Header("3", "2") + "1 2 3 4 5 6")));
  const std::vector<int> one_line{input.values[0][0], input.values[0][2], input.values[1][0], input.values[1][2]};
  ASSERT_TRUE(Load(Write("b.asc", Header("3", "2") + "\n\n 1\n2\t3\r\n4\n\n5\f6\v\n7 8 not heights at all\n")));
  EXPECT_EQ((std::vector<int>{input.values[0][0], input.values[0][2], input.values[1][0], input.values[1][2]}), one_line);
  EXPECT_EQ(one_line, (std::vector<int>{1, 3, 4, 6}));
}

TEST_F(HeightForms, MinAndMaxStartAtPlusMinusOneHundredThousand) {
  ASSERT_TRUE(Load(Write("high.asc", Header("2", "2") + "100001 200000 300000 150000\n")));
  EXPECT_EQ(input.y_min, 100000);
  EXPECT_EQ(input.y_max, 300000);
  ASSERT_TRUE(Load(Write("low.asc", Header("2", "2") + "-100001 -200000 -300000 -150000\n")));
  EXPECT_EQ(input.y_min, -300000);
  EXPECT_EQ(input.y_max, -100000);
  ASSERT_TRUE(Load(Write("flat.asc", Header("2", "2") + "5 5 5 5\n")));
  EXPECT_EQ(input.y_min, 5);
  EXPECT_EQ(input.y_max, 5);
  ASSERT_TRUE(Load(Write("nodata.asc", Header("2", "2") + "-9999 5 7 6\n")));
  EXPECT_EQ(input.values[0][0], -9999);
  EXPECT_EQ(input.y_min, -9999);
}

// ---------------------------------------------------------------- NODATA

// Any number names the empty cells, compared as written: NaN and GDAL's Float32 default,
// which have no int form, take the height one below the least real one.
TEST_F(HeightForms, NoDataValuesWithoutIntFormLieJustBelowTheTerrain) {
  const std::pair<const char*, const char*> cases[] = {
      {"nan", "nan"}, {"-3.4028234663852886e+38", "-3.4028234663852886e+38"}, {"-3.4028234663852886e+38", "-3.40282347e+38"},
      {"-9999.5", "-9999.5"}, {"NaN", "-nan"}};
  for (const auto& [nodata, cell] : cases) {
    const std::string grid = Header("3", "2", "0.000833333333", nodata) + std::string(cell) + " 12 -10000\n8 " + cell + " 30\n";
    ASSERT_TRUE(Load(Write("n.asc", grid))) << nodata << ": " << Msg() << " / " << Reason();
    EXPECT_TRUE(input.has_nodata);
    EXPECT_EQ(input.nodata, -10001) << nodata;
    EXPECT_EQ((std::vector<int>{input.values[0][0], input.values[0][1], input.values[0][2], input.values[1][0],
                                input.values[1][1], input.values[1][2]}),
              (std::vector<int>{-10001, 12, -10000, 8, -10001, 30}))
        << nodata;
    EXPECT_EQ(input.y_min, -10001);
    EXPECT_EQ(input.y_max, 30);
  }
}

TEST_F(HeightForms, WholeNoDataValuesStayAsWrittenAndHeightsRoundOffThem) {
  ASSERT_TRUE(Load(Write("w.asc", Header("2", "2") + "-9999 -9999.0 -9999.004 -9998.996\n"))) << Msg();
  EXPECT_TRUE(input.has_nodata);
  EXPECT_EQ(input.units_per_metre, 100);
  EXPECT_EQ(input.nodata, -999900);
  EXPECT_EQ((std::vector<int>{input.values[0][0], input.values[0][1], input.values[1][0], input.values[1][1]}),
            (std::vector<int>{-999900, -999900, -999901, -999899}));
  ASSERT_TRUE(Load(Write("m.asc", Header("2", "2") + "-9999 -9999.0 -9999.4 -9998\n"))) << Msg();
  EXPECT_EQ(input.units_per_metre, 100);
  EXPECT_EQ((std::vector<int>{input.values[0][0], input.values[1][0], input.values[1][1]}),
            (std::vector<int>{-999900, -999940, -999800}));
  // The bare keyword names no NODATA value.
  ASSERT_TRUE(Load(Write("bare.asc", Header("2", "2", "1", "") + "-9999 1 2 3\n"))) << Msg();
  EXPECT_FALSE(input.has_nodata);
  EXPECT_EQ(input.values[0][0], -9999);
}

// ---------------------------------------------------------------- reasons and warnings

TEST_F(HeightForms, MoreNumbersThanTheHeaderPromisesLoadWithAWarning) {
  ASSERT_TRUE(Load(Write("more.asc", Header("4", "3") + "1 2 3 4 5\n6 7 8 9 10\n11 12 13 14 15\n"))) << Msg();
  EXPECT_EQ(input.values[2][3], 12);
  EXPECT_EQ(Reason(), "Warning: the data holds 15 numbers, more than the 12 heights of its header "
                      "(3 rows x 4 columns); the rest is ignored.");
  ASSERT_TRUE(Load(Write("exact.asc", Header("4", "3") + "1 2 3 4 5 6 7 8 9 10 11 12 the end\n"))) << Msg();
  EXPECT_EQ(Reason(), "");
}

}  // namespace
