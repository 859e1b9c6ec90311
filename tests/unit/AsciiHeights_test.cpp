// The ARC/INFO ASCII heights through the reader: number forms and their rounding, refusals
// with their place, NODATA values with and without an int form, and the count warning.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "TerrainLoaderFixture.h"

namespace {

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
