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
  bool floats_kept = false;  // the grid holds the band's floats, measured but not converted
};

// The NODATA value as a height at `per_metre` units a metre, when it is a whole one.
bool WholeNoData(bool has_nodata, double nodata, double per_metre, int& whole);

// Reads band 1's `rows` x `cols` cells into `values` at `per_metre` units a metre (halves
// rounded away from zero, as the ASCII reader rounds); NaN and NODATA cells take the
// whole NODATA height or kNoDataMark. A file stored south up (`south_up`) or east to west
// (`east_to_west`) is turned, so that values[0][0] is always the north-west corner. Besides
// the grid, at most 512 KB of rows as doubles are held, for bands wider than 32 bits.
// With `keep_floats`, a Float32 band is read into the grid as floats (turned) and only
// measured: the result is what converting would give, `floats_kept` is set, and
// ConvertKeptFloats makes the heights once the units are chosen, without a second read.
Converted ReadAndConvert(GDALRasterBandH band, int rows, int cols, int** values, bool has_nodata, double nodata,
                         double per_metre, bool south_up, bool east_to_west, bool keep_floats = false);

// Turns the floats that ReadAndConvert kept in `values` into heights, as ReadAndConvert
// would have read them at `per_metre` units a metre.
Converted ConvertKeptFloats(int rows, int cols, int** values, bool has_nodata, double nodata, double per_metre,
                            bool south_up, bool east_to_west);

}  // namespace raster
