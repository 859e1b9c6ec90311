// The height grid and its ARC/INFO ASCII reader.
#pragma once

#include <cstddef>
#include <string>

// Where a grid lies, when its file says: the outer edges of its lower-left cell and the
// cell size, in degrees for a geographic grid, in map units for a projected one.
struct GridPlace {
  bool known = false;
  bool degrees = false;
  double left = 0, bottom = 0;
  double cell_x = 0, cell_y = 0;
};

// How much closer than rows the columns of a grid at `place` lie on the ground: for a grid
// in degrees, cos(latitude of its centre) times its cells' width over their height, not
// below 0.01 near the poles; 1 for projected grids and grids without a place.
double ColumnRatio(const GridPlace& place, int rows);
double CentreLatitude(const GridPlace& place, int rows);

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

// Shared by the grid readers: one array of row pointers, then one array of ints per row,
// or null when memory runs out; and its release.
int** AllocateGrid(int rows, int cols);
// The heights of an ASCII grid whose header another reader takes (GDAL's forms), checked
// as this reader checks them: `text` is the whole file, its heights start at `heights_at`,
// `nodata` points at the NODATA value as written (null: none). False, with the report in
// the loader's `msg`, at the first word that is no height nor the NODATA value, or a height
// out of range; a text too short is left to the other reader.
bool CheckAsciiHeights(const char* path, std::string& text, size_t heights_at, long long rows, long long cols,
                       const char* nodata, char* msg);
void FreeGrid(int** values, int rows);

// While a grid is read, cells holding a NODATA value with no int form (NaN, -3.4e38) hold
// this mark; FinishGrid gives them their height.
constexpr int kNoDataMark = -2147483647 - 1;

// The grid as the readers leave it in `input`. `least` and `greatest` are the real heights'
// extremes (INT_MAX and INT_MIN when there are none); y_min and y_max start from 100000 and
// -100000. A whole NODATA value is kept as it is; one with no int form is stored, like
// its marked cells, one unit below the least real height (-9999 in a grid without any).
data FinishGrid(int rows, int cols, int spacing, int** values, int least, int greatest, long long marks,
                bool has_nodata, bool nodata_integral, int whole_nodata);
