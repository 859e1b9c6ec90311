// The ARC/INFO ASCII reader on real grids, cell by cell against an independent reading,
// and the place its header gives.
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
  EXPECT_EQ(input.place.cell_x, 0.000833333333);  // every digit written, not a float's
  EXPECT_NEAR(GridColumnRatio(), 0.8029259, 1e-6);
  ReleaseGrid();
  const std::string rest = "cellsize 0.001\nNODATA_value -9999\n1 2 3 4\n";
  ASSERT_TRUE(Load(Write("c.asc", "ncols 2\nnrows 2\nxllcenter 6.0005\nYLLCENTER 49.4005\n" + rest))) << Msg();
  EXPECT_DOUBLE_EQ(input.place.left, 6.0);
  EXPECT_DOUBLE_EQ(input.place.bottom, 49.4);
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

}  // namespace
