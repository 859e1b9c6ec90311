// The height grid of the process and the loader that fills it from a file: the front of the
// grid readers (the ASCII reader in AsciiGridReader, GDAL's in RasterLoader).
#pragma once

#include <cstddef>
#include <string>

#include "GridMemory.h"
#include "GridPlace.h"

// The loaded height grid: values[row][column], row 0 being the first data row of the file.
struct data {
  int rows;
  int cols;
  int grid_space;  // distance between neighbouring grid points, in height units
  int y_min;
  int y_max;
  int** values;
  // The value that marks cells without a height, when the file names one. A file's
  // NODATA value that is no whole number in the int range (NaN, -3.4e38, -9999.5) is
  // stored as one unit below the least real height, so those cells lie flat under the
  // terrain rather than as pits thousands of kilometres deep.
  int nodata;
  bool has_nodata;
  GridPlace place;
  // Height units a metre: 1 for grids of whole metres, 100 or more where heights or the
  // spacing have fractions. Heights and grid_space are in these units.
  int units_per_metre = 1;
};

// The one grid of the process; all zero until a load succeeds, never freed.
extern data input;

// A distance or height of the loaded grid's units in metres, for what the user reads.
inline double Metres(double units) { return units / input.units_per_metre; }

// The column ratio of the loaded grid.
inline double GridColumnRatio() { return ColumnRatio(input.place, input.rows); }

// True for a height that marks a cell of the loaded grid as NODATA.
inline bool IsNoData(int height) { return input.has_nodata && height == input.nodata; }

// False when every cell of the loaded grid is NODATA: there is no terrain to draw.
bool GridHoldsHeights();

// What a grid's cell size is measured in: the readers' guess (a coordinate system, or a
// place that fits longitudes and latitudes), or the user's word over it.
enum class CellUnits { kGuess, kDegrees, kMetres };

class TerrainLoader {
 public:
  TerrainLoader() {}
  // Reads an ARC/INFO ASCII grid into `input`. On failure `input` is left untouched.
  // Either way `msg` holds a one-line report, and `reason` a second line that says what
  // to mend (or, after a load, a warning), or nothing.
  bool LoadArcASCIIFile(const char* filename);

  // Reads any elevation file: ARC/INFO ASCII grids through the reader above, every other
  // raster (GeoTIFF, SRTM HGT, ...) and ASCII grids whose header that reader refuses
  // through GDAL. Reports as LoadArcASCIIFile, with `note` for what the user should know
  // before the report (lines separated by newlines), or nothing.
  bool LoadTerrainFile(const char* filename);

  char msg[255];
  char reason[255];
  char note[255];
  // Both readers obey this over their own guess (--degrees, --metres).
  CellUnits units = CellUnits::kGuess;

 private:
  bool header_refused_ = false;  // the last ASCII load failed in its header
};
