// Contour lines by GDAL: the counts gdal_contour gives on the sample, vertices where the
// grid's heights reach the level, and files that read back through OGR where the grid lies.
#include <cpl_conv.h>
#include <gdal.h>
#include <gtest/gtest.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "ContourFile.h"
#include "Contours.h"
#include "GridValue.h"

namespace {

namespace fs = std::filesystem;

// The sample read as its own header says (NODATA -9999, none in the cells).
mesh_test::GridValue Sample() {
  mesh_test::GridValue g = mesh_test::ReadAsciiHeights(std::string(REPO_DATA_DIR) + "/jacksboro_403x344.asc", 344, 403);
  g.SetNoData(-9999);
  return g;
}

// Lines a level of `gdal_contour -i 50 -a elev data/jacksboro_403x344.asc`, counted with ogrinfo.
const std::map<double, int> kGdalContourLines = {
    {250, 12}, {300, 41}, {350, 86}, {400, 115}, {450, 89}, {500, 66}, {550, 63}, {600, 68}, {650, 53},
    {700, 49}, {750, 32}, {800, 29}, {850, 15}, {900, 28}, {950, 23}, {1000, 8}, {1050, 1}};

TEST(Contours, SampleHasTheLinesOfGdalContour) {
  const mesh_test::GridValue grid = Sample();
  ContourSet set;
  ASSERT_TRUE(MakeContours(grid, 50, &set).ok());
  std::map<double, int> lines;
  for (const ContourLine& line : set.lines) ++lines[line.level];
  EXPECT_EQ(lines, kGdalContourLines);
  EXPECT_EQ(set.interval, 50);
}

// Grid points stand for their cells' centres: a vertex lies on an edge between two
// neighbouring points, where the straight line between their heights meets the level (GDAL
// carries lines on to the grid's outer edge, half a cell out, at the place of the edge's
// last point). And every edge that a level crosses has a vertex of that level.
TEST(Contours, VerticesLieWhereTheHeightsMeetTheLevel) {
  std::mt19937 rng(11);
  for (int round = 0; round < 30; ++round) {
    const int rows = 2 + rng() % 12, cols = 2 + rng() % 12;
    std::uniform_int_distribution<int> height(-300, 700);
    mesh_test::GridValue grid(rows, cols, [&](int, int) { return height(rng); });
    const double interval = 10 + rng() % 90;
    ContourSet set;
    ASSERT_TRUE(MakeContours(grid, interval, &set).ok());
    const auto h = [&](int c, int r) { return static_cast<double>(grid.Grid().values[r][c]); };
    std::set<std::tuple<double, int, int, bool>> crossed;  // level, column, row, along a row
    for (const ContourLine& line : set.lines) {
      ASSERT_EQ(std::fmod(line.level, interval), 0);
      for (GridPosition p : line.points) {
        p.column = std::clamp(p.column, 0.0, cols - 1.0);
        p.row = std::clamp(p.row, 0.0, rows - 1.0);
        const bool on_column = std::abs(p.column - std::round(p.column)) < 1e-6;
        const bool on_row = std::abs(p.row - std::round(p.row)) < 1e-6;
        ASSERT_TRUE(on_column || on_row) << p.column << " " << p.row;
        const bool along_row = on_row && !(on_column && p.row != std::round(p.row));
        const int c = along_row ? std::min<int>(p.column, cols - 2) : std::lround(p.column);
        const int r = along_row ? std::lround(p.row) : std::min<int>(p.row, rows - 2);
        const double t = along_row ? p.column - c : p.row - r;
        const double a = h(c, r), b = along_row ? h(c + 1, r) : h(c, r + 1);
        EXPECT_NEAR(a + t * (b - a), line.level, 1e-6 * std::max(1.0, std::abs(b - a)))
            << "round " << round << " at " << p.column << ", " << p.row;
        crossed.insert({line.level, c, r, along_row});
      }
    }
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c)
        for (const bool along_row : {true, false}) {
          if (along_row ? c + 1 >= cols : r + 1 >= rows) continue;
          const double a = h(c, r), b = along_row ? h(c + 1, r) : h(c, r + 1);
          for (double level = std::ceil(std::min(a, b) / interval) * interval; level < std::max(a, b); level += interval)
            if (level > std::min(a, b)) {
              EXPECT_TRUE(crossed.count({level, c, r, along_row})) << level;
            }
        }
  }
}

// A hole of NODATA 9999 m deep in a slope from 0 to 400 m has no lines below the slope.
// A slope of 10 m a column has a line every 5 columns at 50 m: the mean spacing is the
// grid's area over the lines' length, 40 x 20 cells over 8 lines 21 rows long (GDAL's lines
// reach half a cell past the outer points, to the raster's edge).
TEST(Contours, MeanSpacingIsTheAreaOverTheLength) {
  mesh_test::GridValue grid(21, 41, [](int, int c) { return 10 * c + 25; });
  ContourSet set;
  ASSERT_TRUE(MakeContours(grid, 50, &set).ok());
  ASSERT_EQ(set.lines.size(), 8u);  // 50 to 400 m
  EXPECT_NEAR(set.mean_spacing, 40.0 * 20 / (8 * 21), 1e-9);
}

TEST(Contours, NoDataCellsAreLeftOut) {
  mesh_test::GridValue grid(5, 5, [](int r, int c) { return r == 2 && c == 2 ? -9999 : 100 * r; });
  grid.SetNoData(-9999);
  ContourSet set;
  ASSERT_TRUE(MakeContours(grid, 150, &set).ok());
  std::set<double> levels;
  for (const ContourLine& line : set.lines) levels.insert(line.level);
  EXPECT_EQ(levels, (std::set<double>{150, 300}));
}

TEST(Contours, SupersededWorkFails) {
  const mesh_test::GridValue grid = Sample();
  ContourSet set;
  set.interval = 7;
  EXPECT_FALSE(MakeContours(grid, 50, &set, [] { return true; }).ok());
  EXPECT_EQ(set.interval, 7);
}

class ContourFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / ("contour_file_" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  size_t Entries() const { return std::distance(fs::directory_iterator(dir_), fs::directory_iterator()); }

  fs::path dir_;
};

// Two rows 1 and 99 m: the 50 m line runs half-way between them, a cell below the top edge.
mesh_test::GridValue TwoRows() {
  return mesh_test::GridValue(2, 4, [](int r, int) { return 1 + r * 98; });
}

struct ReadBack {
  int features = 0;
  std::set<double> elevs;
  std::vector<std::pair<double, double>> points;
  std::string srs_wkt;
  bool has_srs = false;
};

ReadBack Read(const std::string& path) {
  ReadBack out;
  GDALDatasetH ds = GDALOpenEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
  EXPECT_NE(ds, nullptr);
  if (ds == nullptr) return out;
  OGRLayerH layer = GDALDatasetGetLayerByName(ds, "contour");
  EXPECT_NE(layer, nullptr);
  if (OGRSpatialReferenceH srs = OGR_L_GetSpatialRef(layer)) {
    out.has_srs = true;
    char* wkt = nullptr;
    OSRExportToWkt(srs, &wkt);
    out.srs_wkt = wkt;
    CPLFree(wkt);
  }
  const int elev = OGR_FD_GetFieldIndex(OGR_L_GetLayerDefn(layer), "elev");
  EXPECT_EQ(OGR_Fld_GetType(OGR_FD_GetFieldDefn(OGR_L_GetLayerDefn(layer), elev)), OFTReal);
  while (OGRFeatureH f = OGR_L_GetNextFeature(layer)) {
    ++out.features;
    out.elevs.insert(OGR_F_GetFieldAsDouble(f, elev));
    OGRGeometryH g = OGR_F_GetGeometryRef(f);
    for (int i = 0; i < OGR_G_GetPointCount(g); ++i) out.points.push_back({OGR_G_GetX(g, i), OGR_G_GetY(g, i)});
    OGR_F_Destroy(f);
  }
  GDALClose(ds);
  return out;
}

TEST_F(ContourFileTest, ProjectedGridInFeetReadsBackInFeet) {
  mesh_test::GridValue grid = TwoRows();
  OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
  ASSERT_EQ(OSRImportFromEPSG(srs, 2227), OGRERR_NONE);  // California zone 3, US survey feet
  char* wkt = nullptr;
  OSRExportToWkt(srs, &wkt);
  const double foot = 1200.0 / 3937;
  data& g = const_cast<data&>(grid.Grid());
  g.place = GridPlace{true, false, 6000000 * foot, 2000000 * foot, 30 * foot, 20 * foot, wkt};
  CPLFree(wkt);
  ContourFileCounts counts;
  ASSERT_TRUE(WriteContourFile(grid, 50, Path("c.geojson"), &counts).ok());
  EXPECT_EQ(counts.lines, 1);
  EXPECT_EQ(counts.levels, 1);
  const ReadBack back = Read(Path("c.geojson"));
  EXPECT_EQ(back.features, 1);
  EXPECT_EQ(back.elevs, std::set<double>{50});
  ASSERT_TRUE(back.has_srs);
  OGRSpatialReferenceH read = OSRNewSpatialReference(back.srs_wkt.c_str());
  EXPECT_TRUE(OSRIsSame(read, srs));
  OSRDestroySpatialReference(read);
  OSRDestroySpatialReference(srs);
  // Top edge 2000040 ft; the line one cell (20 ft) below it, from the west edge to the east.
  ASSERT_FALSE(back.points.empty());
  double west = 1e300, east = -1e300;
  for (auto [x, y] : back.points) {
    EXPECT_NEAR(y, 2000020, 1e-3);
    west = std::min(west, x), east = std::max(east, x);
  }
  EXPECT_NEAR(west, 6000000, 1e-3);
  EXPECT_NEAR(east, 6000120, 1e-3);
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(ContourFileTest, GridWithoutCoordinateSystemHasNone) {
  mesh_test::GridValue grid = TwoRows();
  const_cast<data&>(grid.Grid()).place = GridPlace{true, true, -84.5, 36.25, 0.25, 0.125};
  ContourFileCounts counts;
  ASSERT_TRUE(WriteContourFile(grid, 25, Path("c.gpkg"), &counts).ok());
  EXPECT_EQ(counts.lines, 3);
  EXPECT_EQ(counts.levels, 3);
  const ReadBack back = Read(Path("c.gpkg"));
  EXPECT_EQ(back.elevs, (std::set<double>{25, 50, 75}));
  // A GeoPackage marks a layer without one by its "Undefined" system.
  EXPECT_TRUE(!back.has_srs || back.srs_wkt.rfind("GEOGCS[\"Undefined", 0) == 0) << back.srs_wkt;
  for (auto [x, y] : back.points) EXPECT_TRUE(std::abs(y - 36.375) < 0.0626) << y;
  EXPECT_TRUE(std::count_if(back.points.begin(), back.points.end(), [](auto p) { return std::abs(p.second - 36.375) < 1e-6; }) > 0);
}

TEST_F(ContourFileTest, SampleFileHasTheLinesOfGdalContour) {
  ContourFileCounts counts;
  ASSERT_TRUE(WriteContourFile(Sample(), 50, Path("c.gpkg"), &counts).ok());
  EXPECT_EQ(counts.lines, 778);
  EXPECT_EQ(counts.levels, 17);
  EXPECT_EQ(Read(Path("c.gpkg")).features, 778);
}

TEST_F(ContourFileTest, RefusalsLeaveNothingBehind) {
  const mesh_test::GridValue grid = Sample();
  const std::string there = Path("there.gpkg");
  std::ofstream(there) << "mine";
  ContourFileCounts counts;
  const Status exists = WriteContourFile(grid, 50, there, &counts);
  EXPECT_FALSE(exists.ok());
  EXPECT_NE(exists.reason().find("exists already"), std::string::npos) << exists.reason();
  std::string kept;
  std::ifstream(there) >> kept;
  EXPECT_EQ(kept, "mine");
  // A folder that is a file, and work that fails half-way (no interval).
  EXPECT_FALSE(WriteContourFile(grid, 50, there + "/c.gpkg", &counts).ok());
  EXPECT_FALSE(WriteContourFile(grid, 0, Path("c.gpkg"), &counts).ok());
  EXPECT_FALSE(WriteContourFile(grid, 50, Path("c.shp"), &counts).ok());
  EXPECT_EQ(Entries(), 1u);
}

}  // namespace
