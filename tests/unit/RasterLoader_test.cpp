// Elevation files other than strict ASCII grids, made here with GDAL's own API: GeoTIFFs in
// degrees and metres, an SRTM HGT tile, rotated grids, and ASCII grids in other forms.
//
//   RasterLoaderTest        - GeoTIFF and netCDF writers, the cells read back
//   formats and units       - degrees, metres, fractions, HGT, other ASCII forms
//   orientation, guesses    - south-up and east-to-west files; degrees without a system
//   refusals                - GDAL's reasons, the poles, NODATA, words in ASCII grids
#include <cpl_conv.h>
#include <gdal.h>
#include <gtest/gtest.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "TerrainLoaderFixture.h"

namespace {

class RasterLoaderTest : public TerrainLoaderTest {
 protected:
  static void SetUpTestSuite() { GDALAllRegister(); }

  // A one-band GeoTIFF of `type` holding `heights` (row after row) with the given cell
  // sizes, EPSG coordinate system (0: none) and NODATA value.
  std::string GeoTiff(const std::string& name, GDALDataType type, int rows, int cols, const std::vector<double>& heights,
                      double cell_x, double cell_y, int epsg, const double* nodata = nullptr, double rotation = 0) {
    const std::string path = (dir_ / name).string();
    GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), cols, rows, 1, type, nullptr);
    double gt[6] = {epsg == 4326 ? -84.4 : 500000.0, cell_x, rotation, epsg == 4326 ? 36.5 : 4100000.0, 0, -cell_y};
    GDALSetGeoTransform(ds, gt);
    if (epsg != 0) {
      OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
      OSRImportFromEPSG(srs, epsg);
      char* wkt = nullptr;
      OSRExportToWkt(srs, &wkt);
      GDALSetProjection(ds, wkt);
      CPLFree(wkt);
      OSRDestroySpatialReference(srs);
    }
    GDALRasterBandH band = GDALGetRasterBand(ds, 1);
    if (nodata != nullptr) GDALSetRasterNoDataValue(band, *nodata);
    std::vector<double> copy = heights;
    EXPECT_EQ(GDALRasterIO(band, GF_Write, 0, 0, cols, rows, copy.data(), cols, rows, GDT_Float64, 0, 0), CE_None);
    GDALClose(ds);
    return path;
  }

  // `heights` (row after row, as stored) with the geotransform `gt` and no coordinate system
  // unless `epsg`, written by `driver` (a copy of an in-memory raster, as netCDF needs).
  std::string Copy(const char* driver, const std::string& name, int rows, int cols, std::vector<double> heights,
                   const double (&gt)[6], int epsg = 0) {
    GDALDatasetH mem = GDALCreate(GDALGetDriverByName("MEM"), "", cols, rows, 1, GDT_Int32, nullptr);
    double transform[6];
    std::copy(gt, gt + 6, transform);
    GDALSetGeoTransform(mem, transform);
    if (epsg != 0) {
      OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
      OSRImportFromEPSG(srs, epsg);
      GDALSetSpatialRef(mem, srs);
      OSRDestroySpatialReference(srs);
    }
    EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(mem, 1), GF_Write, 0, 0, cols, rows, heights.data(), cols, rows,
                           GDT_Float64, 0, 0), CE_None);
    const std::string path = (dir_ / name).string();
    GDALClose(GDALCreateCopy(GDALGetDriverByName(driver), path.c_str(), mem, FALSE, nullptr, nullptr, nullptr));
    GDALClose(mem);
    return path;
  }

  static std::vector<int> Cells() {
    std::vector<int> cells;
    for (int r = 0; r < input.rows; ++r) cells.insert(cells.end(), input.values[r], input.values[r] + input.cols);
    return cells;
  }

  bool LoadAny(const std::string& path) {
    ReleaseGrid();
    return loader.LoadTerrainFile(path.c_str());
  }
  std::string Note() const { return loader.note; }
};

const std::vector<double> kHeights = {236, 240, 251, 260, 255, 249, -32768, 270, 281, 290, 300, 1076};
constexpr double kArcSeconds3 = 0.000833333333333333;

TEST_F(RasterLoaderTest, GeoTiffInDegreesEqualsTheAsciiGridOfTheSameHeights) {
  const double nodata = -32768;
  const std::string tif = GeoTiff("dem.tif", GDT_Int16, 3, 4, kHeights, kArcSeconds3, kArcSeconds3, 4326, &nodata);
  std::string text = Header("4", "3", "0.000833333333333333", "-32768");
  for (double h : kHeights) text += std::to_string(static_cast<int>(h)) + " ";
  ASSERT_TRUE(Load(Write("dem.asc", text))) << Msg();
  const std::vector<int> ascii = Cells();
  const data ascii_grid = input;

  ASSERT_TRUE(LoadAny(tif)) << Msg();
  EXPECT_EQ(Msg(), "The file " + tif + " was loaded succesfully (GeoTIFF, 4 x 3, spacing 90).");
  EXPECT_EQ(Cells(), ascii);
  EXPECT_EQ(input.grid_space, 90);
  EXPECT_EQ(input.grid_space, ascii_grid.grid_space);
  EXPECT_EQ(input.y_min, -32768);
  EXPECT_EQ(input.y_max, 1076);
  EXPECT_TRUE(input.has_nodata);
  EXPECT_EQ(input.nodata, -32768);
  EXPECT_EQ(Note(), "");
  // Three rows down from 36.5 degrees: the centre lies 1.5 cells below it.
  EXPECT_TRUE(input.place.known && input.place.degrees);
  EXPECT_DOUBLE_EQ(input.place.left, -84.4);
  EXPECT_NEAR(GridColumnRatio(), std::cos((36.5 - 1.5 * kArcSeconds3) * M_PI / 180), 1e-12);
}

// Float heights with fractions are kept in centimetres, rounded as the ASCII reader rounds
// (7.49 as a float is 7.48999977); GDAL's Float32 NODATA default has no int form and lies
// one unit below the terrain.
TEST_F(RasterLoaderTest, Float32GeoTiffKeepsCentimetresAndItsNoData) {
  const double nodata = -3.4028234663852886e+38;
  const std::string tif = GeoTiff("f.tif", GDT_Float32, 2, 3, {10.5, -2.5, nodata, 7.49, 100, nodata},
                                  kArcSeconds3, kArcSeconds3, 4326, &nodata);
  ASSERT_TRUE(LoadAny(tif)) << Msg();
  EXPECT_EQ(input.units_per_metre, 100);
  EXPECT_EQ(input.grid_space, 9000);
  EXPECT_EQ(Cells(), (std::vector<int>{1050, -250, -251, 749, 10000, -251}));
  EXPECT_EQ(input.nodata, -251);
  EXPECT_EQ(input.y_min, -251);
  EXPECT_EQ(Msg(), "The file " + tif + " was loaded succesfully (GeoTIFF, 3 x 2, spacing 90).");
  EXPECT_EQ(Note(), "The grid is drawn at 100 units a metre to keep its fractions; the Max. Approx. Error counts in "
                    "centimetres.");
}

// A lidar-like tile: half-metre cells in metres, heights to the millimetre; the spacing
// is exact and the heights are within half a centimetre.
TEST_F(RasterLoaderTest, HalfMetreFloatTileKeepsItsSpacingAndHeights) {
  std::vector<double> heights;
  for (int i = 0; i < 12; ++i) heights.push_back(2094.25 + 0.137 * i);
  ASSERT_TRUE(LoadAny(GeoTiff("lidar.tif", GDT_Float32, 3, 4, heights, 0.5, 0.5, 32617))) << Msg();
  EXPECT_EQ(input.units_per_metre, 100);
  EXPECT_EQ(input.grid_space, 50);
  for (int i = 0; i < 12; ++i) EXPECT_NEAR(input.values[i / 4][i % 4] / 100.0, static_cast<float>(heights[i]), 0.005) << i;
  EXPECT_NE(Msg().find("spacing 0.5)"), std::string::npos) << Msg();
}

TEST_F(RasterLoaderTest, ProjectedGridsAreInMetresAndRotatedOnesAreRefused) {
  const std::string utm = GeoTiff("utm.tif", GDT_Int16, 3, 4, kHeights, 30, 30, 32617);
  ASSERT_TRUE(LoadAny(utm)) << Msg();
  EXPECT_EQ(input.grid_space, 30);
  EXPECT_FALSE(input.has_nodata);
  EXPECT_TRUE(input.place.known);
  EXPECT_FALSE(input.place.degrees);
  EXPECT_DOUBLE_EQ(input.place.bottom, 4100000.0 - 90);
  EXPECT_NE(input.place.coordinate_system.find("AUTHORITY[\"EPSG\",\"32617\"]"), std::string::npos)
      << input.place.coordinate_system;
  EXPECT_EQ(GridColumnRatio(), 1.0);

  const std::string wide = GeoTiff("wide.tif", GDT_Int16, 3, 4, kHeights, 20, 10, 32617);
  ASSERT_TRUE(LoadAny(wide)) << Msg();
  EXPECT_EQ(input.grid_space, 15);
  EXPECT_EQ(Note(), "The cells are not square (20 x 10 metres): the grid is drawn with their mean.");

  const std::string rotated = GeoTiff("rot.tif", GDT_Int16, 3, 4, kHeights, 30, 30, 32617, nullptr, 5);
  EXPECT_FALSE(LoadAny(rotated));
  EXPECT_EQ(Msg(), "The file " + rotated + " is rotated or sheared; only north-up grids can be drawn (gdalwarp makes one).");
  EXPECT_TRUE(InputUntouched());
}

// An SRTM tile: big-endian 16-bit heights, 1201 x 1201, placed by its name.
TEST_F(RasterLoaderTest, SrtmHgtTileLoadsWithThreeArcSecondSpacing) {
  const std::string path = (dir_ / "N36W085.hgt").string();
  std::vector<unsigned char> bytes(1201 * 1201 * 2);
  auto height = [](int r, int c) { return (r * 7 + c * 3) % 2000 - 100; };
  for (int r = 0; r < 1201; ++r)
    for (int c = 0; c < 1201; ++c) {
      const uint16_t v = static_cast<uint16_t>(height(r, c));
      bytes[2 * (r * 1201 + c)] = v >> 8;
      bytes[2 * (r * 1201 + c) + 1] = v & 0xff;
    }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  ASSERT_TRUE(LoadAny(path)) << Msg();
  EXPECT_EQ(Msg(), "The file " + path + " was loaded succesfully (SRTM HGT, 1201 x 1201, spacing 90).");
  EXPECT_EQ(input.grid_space, 90);
  EXPECT_EQ(input.values[0][0], height(0, 0));
  EXPECT_EQ(input.values[1200][17], height(1200, 17));
  EXPECT_EQ(input.values[345][1200], height(345, 1200));
  EXPECT_NEAR(GridColumnRatio(), std::cos(36.5 * M_PI / 180), 1e-9);  // the tile spans 36 to 37 N
}

// Headers the ASCII reader refuses go to GDAL, which says so; files neither reader takes
// keep the ASCII reader's report.
TEST_F(RasterLoaderTest, AsciiGridsInOtherFormsGoToGdal) {
  const std::string body = "1 2 3 4\n5 6 7 8\n9 10 11 12\n";
  const std::string strict = Write("strict.asc", Header("4", "3") + body);
  ASSERT_TRUE(LoadAny(strict)) << Msg();
  const std::vector<int> expected = Cells();
  for (const std::string& header :
       {std::string("NCOLS 4\nNROWS 3\nXLLCORNER -84.4\nYLLCORNER 36.4\nCELLSIZE 0.000833333333\nNODATA_VALUE -9999\n"),
        std::string("ncols 4\nnrows 3\nxllcenter -84.4\nyllcenter 36.4\ncellsize 0.000833333333\n")}) {
    const std::string path = Write("other.asc", header + body);
    ASSERT_TRUE(LoadAny(path)) << header << Msg();
    EXPECT_EQ(Note(), "The file " + path + " has a header the ASCII reader does not take; GDAL reads it.");
    EXPECT_EQ(Msg(), "The file " + path + " was loaded succesfully (ARC/INFO ASCII grid, 4 x 3, spacing 90).");
    EXPECT_EQ(Cells(), expected);
    EXPECT_EQ(input.grid_space, 90);
  }
  const std::string garbage = Write("notes.txt", "NCOLS four\nheights of the garden\n");
  EXPECT_FALSE(LoadAny(garbage));
  EXPECT_EQ(Msg(), "The file " + garbage + " is no valid ARC|Info ASCII file.");
  EXPECT_EQ(Reason(), "line 1: expected 'ncols', found 'NCOLS'");
  EXPECT_EQ(Note(), "");
}

// Corners that cannot be longitude and latitude put the cell size in metres.
TEST_F(RasterLoaderTest, ProjectedAsciiGridIsInMetres) {
  std::string body;
  for (int i = 0; i < 90 * 90; ++i) body += std::to_string(200 + i % 90) + " ";
  const std::string projected = "ncols 90\nnrows 90\nxllcorner 500000\nyllcorner 4100000\ncellsize 10\nNODATA_value -9999\n";
  const std::string path = Write("utm.asc", projected + body);
  ASSERT_TRUE(LoadAny(path)) << Msg();
  EXPECT_EQ(input.place.coordinate_system, "");
  // The .prj beside it, in ESRI's words, names the system.
  Write("utm.prj", "PROJCS[\"WGS_1984_UTM_Zone_17N\",GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID["
        "\"WGS_1984\",6378137.0,298.257223563]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]],"
        "PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"False_Easting\",500000.0],PARAMETER[\"False_Northing\",0.0],"
        "PARAMETER[\"Central_Meridian\",-81.0],PARAMETER[\"Scale_Factor\",0.9996],PARAMETER[\"Latitude_Of_Origin\",0.0],"
        "UNIT[\"Meter\",1.0]]");
  ASSERT_TRUE(LoadAny(path)) << Msg();
  EXPECT_NE(input.place.coordinate_system.find("UTM zone 17N"), std::string::npos) << input.place.coordinate_system;
  EXPECT_EQ(input.grid_space, 10);
  EXPECT_EQ(Note(), "The cell size of " + path +
                        ", 10, is taken as metres: its corner (500000, 4100000) cannot be a longitude and latitude.");
  // A top edge past the pole says the same.
  ASSERT_TRUE(LoadAny(Write("top.asc", Header("90", "90", "2.4") + body))) << Msg();
  EXPECT_EQ(input.grid_space, 240);
  EXPECT_EQ(input.units_per_metre, 100);
  EXPECT_EQ(input.values[0][1], 20100);
}

// A raster stored south up or east to west is turned as it is read: the north-west
// corner's height comes first, and the place is that of the north-up grid.
class FlippedRasterTest : public RasterLoaderTest, public ::testing::WithParamInterface<std::pair<bool, bool>> {};

TEST_P(FlippedRasterTest, IsReadNorthUpAndWestToEast) {
  const auto [south_up, east_to_west] = GetParam();
  const int rows = 3, cols = 4;
  const double cell = kArcSeconds3, left = -84.4, top = 36.5;
  std::vector<double> stored(rows * cols);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      stored[r * cols + c] = kHeights[(south_up ? rows - 1 - r : r) * cols + (east_to_west ? cols - 1 - c : c)];
  const double gt[6] = {east_to_west ? left + cols * cell : left, east_to_west ? -cell : cell, 0,
                        south_up ? top - rows * cell : top, 0, south_up ? cell : -cell};
  ASSERT_TRUE(LoadAny(Copy("GTiff", "flipped.tif", rows, cols, stored, gt, 4326))) << Msg();
  EXPECT_EQ(Cells(), std::vector<int>(kHeights.begin(), kHeights.end()));
  EXPECT_EQ(input.values[0][0], 236);
  EXPECT_NEAR(input.place.left, left, 1e-9);
  EXPECT_NEAR(input.place.bottom, top - rows * cell, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Orientations, FlippedRasterTest,
                         ::testing::Values(std::pair{false, false}, std::pair{true, false}, std::pair{false, true},
                                           std::pair{true, true}));

// A world grid without a coordinate system whose outer points lie on the poles, as the
// 5-arc-minute world relief ships in netCDF (here at 15 degrees: 24 x 13 points), is read
// in degrees and says so; --metres and --degrees override the guess for any grid.
TEST_F(RasterLoaderTest, WorldGridWithoutCoordinateSystemIsInDegreesUnlessTold) {
  std::vector<double> world(13 * 24);
  for (size_t i = 0; i < world.size(); ++i) world[i] = static_cast<double>(i);  // north-west first
  const double gt[6] = {-7.5, 15, 0, 97.5, 0, -15};
  const std::string nc = Copy("netCDF", "world.nc", 13, 24, world, gt);
  const std::string tif = Copy("GTiff", "world.tif", 13, 24, world, gt);
  for (const std::string& path : {nc, tif}) {
    ASSERT_TRUE(LoadAny(path)) << Msg();
    EXPECT_EQ(input.grid_space, 15 * 3600 * 30) << path;
    EXPECT_EQ(input.values[0][0], 0);
    EXPECT_EQ(input.values[12][23], 13 * 24 - 1);
    EXPECT_EQ(input.place.coordinate_system, "") << path;
    EXPECT_NE(Note().find("its cells are read in degrees"), std::string::npos) << Note();
  }
  EXPECT_NE(Note().find("its extent fits"), std::string::npos) << Note();  // the GeoTIFF has no axis units
  loader.units = CellUnits::kMetres;
  ASSERT_TRUE(LoadAny(nc)) << Msg();
  EXPECT_EQ(input.grid_space, 15);
  EXPECT_EQ(Note(), "");
  // An ASCII grid whose corner fits degrees, in metres and back.
  const std::string ascii = Write("small.asc", Header("2", "2", "2") + "1 2\n3 4\n");
  ASSERT_TRUE(LoadAny(ascii)) << Msg();
  EXPECT_EQ(input.grid_space, 2);
  EXPECT_EQ(Note(), "The cell size of " + ascii + ", 2, is taken as metres, as --metres says.");
  loader.units = CellUnits::kDegrees;
  ASSERT_TRUE(LoadAny(ascii)) << Msg();
  EXPECT_EQ(input.grid_space, 2 * 3600 * 30);
  const std::string utm = GeoTiff("utm.tif", GDT_Int16, 3, 4, kHeights, 0.5, 0.5, 32617);
  EXPECT_FALSE(LoadAny(utm));  // its corner at 4100000 is no latitude
  EXPECT_NE(Msg().find("reaches past a pole"), std::string::npos) << Msg();
}

// What goes wrong is said in the reader's own words: GDAL's reason for a file it knows but
// cannot read, and the ASCII reader's refusal of words that are no heights.
TEST_F(RasterLoaderTest, GdalFailuresGiveGdalsReason) {
  const std::string tif = Write("broken.tif", std::string("II*\0\x08\0\0\0garbage, not a directory", 32));
  EXPECT_FALSE(LoadAny(tif));
  EXPECT_EQ(Msg(), "Could not read the file " + tif);
  EXPECT_NE(Reason().find("TIFFReadDirectory"), std::string::npos) << Reason();
  EXPECT_TRUE(InputUntouched());
  // A geographic grid whose top edge is at latitude 95.
  const double gt[6] = {10, 1, 0, 95, 0, -1};
  const std::string pole = Copy("GTiff", "pole.tif", 3, 4, kHeights, gt, 4326);
  EXPECT_FALSE(LoadAny(pole));
  EXPECT_EQ(Msg(), "The file " + pole +
                       " reaches past a pole (latitudes 92 to 95): a grid in degrees lies within -90 and 90.");
}

// One-degree cells of a geographic grid: its edge may stand half a cell (and a little)
// past a pole, as for points on the pole itself, and no further.
TEST_F(RasterLoaderTest, GeographicGridsEndAtThePoles) {
  struct Edge {
    double top;
    bool loads;
  } edges[] = {{90, true}, {90.5, true}, {91, false}};
  for (const Edge& edge : edges) {
    const double gt[6] = {10, 1, 0, edge.top, 0, -1};
    const std::string north = Copy("GTiff", "north.tif", 3, 4, kHeights, gt, 4326);
    EXPECT_EQ(LoadAny(north), edge.loads) << edge.top << ": " << Msg();
    const double flipped[6] = {10, 1, 0, -edge.top, 0, 1};  // south up, its bottom edge at -top
    const std::string south = Copy("GTiff", "south.tif", 3, 4, kHeights, flipped, 4326);
    EXPECT_EQ(LoadAny(south), edge.loads) << -edge.top << ": " << Msg();
  }
}

// A NODATA value with a fraction never equals a cell of an integer grid; it is stored one
// below the least height, so that a real height equal to its whole part stays a height.
TEST_F(RasterLoaderTest, FractionalNoDataOnAnIntegerGridMarksNoCell) {
  const double nodata = -9999.5;
  const std::string tif = GeoTiff("frac.tif", GDT_Int16, 2, 2, {-10000, -9999, 6, 7}, 30, 30, 32617, &nodata);
  ASSERT_TRUE(LoadAny(tif)) << Msg();
  EXPECT_EQ(Cells(), (std::vector<int>{-10000, -9999, 6, 7}));
  EXPECT_TRUE(input.has_nodata);
  EXPECT_EQ(input.nodata, -10001);
  EXPECT_FALSE(IsNoData(input.values[0][0]) || IsNoData(input.values[0][1]));
}

class WordInGdalAsciiGridTest : public RasterLoaderTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(WordInGdalAsciiGridTest, IsRefusedWithItsRowAndColumn) {
  const std::string path = Write("upper.asc", "NCOLS 3\nNROWS 2\nXLLCORNER 10\nYLLCORNER 20\nCELLSIZE 0.01\n"
                                              "1 2 3\n4 5 " + std::string(GetParam()) + "\n");
  EXPECT_FALSE(LoadAny(path));
  EXPECT_EQ(Msg(), "The file " + path + " has no valid height at row 2, column 3 (line 7).");
  EXPECT_TRUE(InputUntouched());
}

INSTANTIATE_TEST_SUITE_P(Words, WordInGdalAsciiGridTest, ::testing::Values("abc", "x6", "nan"));

}  // namespace
