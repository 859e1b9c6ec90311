// A GDAL band's cells as the grid's heights: read a few rows at a time, straight
// into the grid's rows where the band's type fits 32 bits, and rounded there to whole
// units.
#pragma once

#include <gdal.h>

#include <climits>

namespace raster {

struct Converted {
  bool read = true;
  bool in_range = true;
  long long bad_cell = 0;  // the first height out of the int range
  int least = INT_MAX, greatest = INT_MIN;
  long long marks = 0;  // NODATA cells waiting for the stand-in height
  bool fractions = false;  // a height has a fraction of a metre
};

// The NODATA value as a height at `per_metre` units a metre, when it is a whole one.
bool WholeNoData(bool has_nodata, double nodata, double per_metre, int& whole);

// Reads band 1's `rows` x `cols` cells into `values` at `per_metre` units a metre (halves
// rounded away from zero, as the ASCII reader rounds); NaN and NODATA cells take the
// whole NODATA height or kNoDataMark. A file stored south up (`south_up`) or east to west
// (`east_to_west`) is turned, so that values[0][0] is always the north-west corner. Besides
// the grid, at most 512 KB of rows as doubles are held, for bands wider than 32 bits.
Converted ReadAndConvert(GDALRasterBandH band, int rows, int cols, int** values, bool has_nodata, double nodata,
                         double per_metre, bool south_up, bool east_to_west);

}  // namespace raster
