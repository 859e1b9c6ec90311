// The raster reader's heights against GDAL's own read of the band into doubles, converted
// here: tiled GeoTIFFs of 150 x 1003 cells in 16 x 16 blocks, read 65 rows at a time, so
// that reads and the grid end inside blocks, with NODATA cells, of each way a band is read (ints and floats in the grid's
// rows, doubles through a buffer), stored north up or turned.
#include <gdal.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "TerrainLoaderFixture.h"

namespace {

constexpr int kRows = 150, kCols = 1003;

struct Case {
  GDALDataType type;
  double cell;  // metres; half a metre puts whole heights into centimetres too
  bool turned;  // stored south up and east to west
  int per_metre;
  double deepest = 0;  // one cell's height, when not 0: -25000 km leaves room for decimetres only
};

class RasterHeightsTest : public TerrainLoaderTest, public ::testing::WithParamInterface<Case> {};

TEST_P(RasterHeightsTest, EqualGdalsOwnReadRounded) {
  const Case k = GetParam();
  const bool whole = k.type != GDT_Float32 && k.type != GDT_Float64;
  const double nodata = whole ? -9999 : -3.4028234663852886e+38;
  const bool fractions = !whole && k.per_metre != 1;
  std::vector<double> stored(kRows * kCols);
  unsigned seed = 7;
  for (double& h : stored) {
    seed = seed * 1664525u + 1013904223u;
    h = seed % 17 == 0 ? nodata : static_cast<int>(seed >> 20) % 3500 - 400 + (fractions ? (seed >> 8) % 1000 / 200.0 : 0);
  }
  if (k.deepest != 0) stored[70 * kCols + 500] = k.deepest;
  GDALAllRegister();
  const std::string path = (dir_ / "tiles.tif").string();
  const char* options[] = {"TILED=YES", "BLOCKXSIZE=16", "BLOCKYSIZE=16", nullptr};
  GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), kCols, kRows, 1, k.type,
                               const_cast<char**>(options));
  double gt[6] = {500000, k.cell, 0, 4100000, 0, -k.cell};
  if (k.turned) gt[1] = -gt[1], gt[5] = -gt[5];
  GDALSetGeoTransform(ds, gt);
  GDALSetProjection(ds, "EPSG:32617");
  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  GDALSetRasterNoDataValue(band, nodata);
  ASSERT_EQ(GDALRasterIO(band, GF_Write, 0, 0, kCols, kRows, stored.data(), kCols, kRows, GDT_Float64, 0, 0), CE_None);
  ASSERT_EQ(GDALRasterIO(band, GF_Read, 0, 0, kCols, kRows, stored.data(), kCols, kRows, GDT_Float64, 0, 0), CE_None);
  GDALClose(ds);

  ASSERT_TRUE(loader.LoadTerrainFile(path.c_str())) << Msg();
  ASSERT_EQ(input.units_per_metre, k.per_metre);
  std::vector<int> expected;
  for (double v : stored)
    if (v != nodata) expected.push_back(static_cast<int>(std::round(v * k.per_metre)));
  // A NODATA value with no int form lies one unit below the least real height.
  const int stand_in = whole ? -9999 * k.per_metre : *std::min_element(expected.begin(), expected.end()) - 1;
  EXPECT_EQ(input.nodata, stand_in);
  size_t real = 0;
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kCols; ++c) {
      const int want = stored[r * kCols + c] == nodata ? stand_in : expected[real++];
      const int row = k.turned ? kRows - 1 - r : r, col = k.turned ? kCols - 1 - c : c;
      ASSERT_EQ(input.values[row][col], want) << "stored row " << r << ", column " << c;
    }
}

INSTANTIATE_TEST_SUITE_P(Types, RasterHeightsTest,
                         ::testing::Values(Case{GDT_Int16, 30, false, 1}, Case{GDT_Int16, 0.5, true, 100},
                                           Case{GDT_UInt16, 30, true, 1}, Case{GDT_Int32, 0.5, false, 100},
                                           Case{GDT_Float32, 30, false, 100}, Case{GDT_Float32, 30, true, 100},
                                           Case{GDT_Float32, 30, true, 1}, Case{GDT_Float32, 30, false, 10, -2.5e7},
                                           Case{GDT_Float64, 30, false, 100}, Case{GDT_Float64, 0.5, true, 100}));

}  // namespace
