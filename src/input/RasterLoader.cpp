// Reads band 1 of any raster GDAL opens into the height grid, with the same checks and
// one-line reports as the ASCII reader.
//
//   Reports        - GDAL kept quiet, its last message as the reason
//   CellSpacing    - degrees or metres: the coordinate system, the axes' units or the extent
//   ReadAndConvert - rows north up and west to east, in the grid's units a metre
//   LoadWithGdal
//   LoadTerrainFile - which reader takes a file; words that are no heights in ASCII grids
#include "RasterLoader.h"

#include <cpl_error.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <climits>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <iterator>
#include <new>
#include <string>
#include <strings.h>
#include <sys/stat.h>

#include "GridUnits.h"
#include "MemoryBudget.h"
#include "Report.h"

namespace raster {

namespace {

// GDAL's own messages would go to stderr; the last one becomes the reason instead.
struct QuietGdal {
  QuietGdal() {
    static const bool registered = [] {
      GDALAllRegister();
      return true;
    }();
    (void)registered;
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
  }
  ~QuietGdal() { CPLPopErrorHandler(); }
};

struct DatasetCloser {
  void operator()(void* dataset) const { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<void, DatasetCloser>;

__attribute__((format(printf, 3, 4))) void Refuse(const ReportLines& out, const char* path, const char* format, ...) {
  char suffix[160];
  suffix[0] = ' ';
  va_list args;
  va_start(args, format);
  vsnprintf(suffix + 1, sizeof suffix - 1, format, args);
  va_end(args);
  WriteReport(out.msg, out.size, "The file ", path, suffix);
}

// The format as users know it.
const char* FormatName(GDALDriverH driver) {
  const char* name = GDALGetDriverShortName(driver);
  if (strcmp(name, "GTiff") == 0) return "GeoTIFF";
  if (strcmp(name, "SRTMHGT") == 0) return "SRTM HGT";
  if (strcmp(name, "AAIGrid") == 0) return "ARC/INFO ASCII grid";
  return GDALGetDriverLongName(driver);
}

struct Spacing {
  double cell = 0;  // along the grid, in degrees or in metres
  bool degrees = false;
  bool guessed_degrees = false;  // no coordinate system, but the extent or axis units say degrees
  bool square = true;
  double cell_x = 0, cell_y = 0;
  double unit = 1;  // degrees or metres per unit of the geotransform
};

// Whether the file's metadata give its axes in degrees, as netCDF's CF attributes do
// ("lon#units=degrees_east", "lat#units=degrees_north").
bool AxesInDegrees(GDALDatasetH dataset) {
  bool east = false, north = false;
  for (char** item = GDALGetMetadata(dataset, nullptr); item != nullptr && *item != nullptr; ++item) {
    const char* units = strstr(*item, "#units=");
    if (units == nullptr) continue;
    units += strlen("#units=");
    if (strncasecmp(units, "degree", 6) != 0) continue;
    units += 6;
    if (*units == 's' || *units == 'S') ++units;
    if (*units == '_') ++units;
    east = east || strcasecmp(units, "east") == 0 || strcasecmp(units, "e") == 0;
    north = north || strcasecmp(units, "north") == 0 || strcasecmp(units, "n") == 0;
  }
  return east && north;
}

// The cell size in degrees (a geographic system) or metres (a projected one). Without a
// coordinate system, a grid whose axes are in degrees or whose extent fits longitude and
// latitude (within half a cell, for grids whose outer points lie on the poles) is taken
// to be in degrees. `units` other than kGuess decide instead.
// Grids whose points stand for their cells' centres reach half a cell past the poles and
// the date line; a little more allows for the rounding of their corner's figures.
constexpr double kPoleSlack = 0.501;

Spacing CellSpacing(GDALDatasetH dataset, const double (&gt)[6], bool georeferenced, int rows, int cols,
                    CellUnits units) {
  Spacing s;
  s.cell_x = std::fabs(gt[1]);
  s.cell_y = std::fabs(gt[5]);
  OGRSpatialReferenceH srs = GDALGetSpatialRef(dataset);
  double scale = 1;
  if (srs != nullptr && OSRIsGeographic(srs)) {
    s.degrees = true;
    scale = OSRGetAngularUnits(srs, nullptr) * 180.0 / M_PI;  // radians per unit, to degrees
  } else if (srs != nullptr && OSRIsProjected(srs)) {
    scale = OSRGetLinearUnits(srs, nullptr);  // metres per unit
  } else if (georeferenced) {
    const double left = std::min(gt[0], gt[0] + cols * gt[1]), top = std::max(gt[3], gt[3] + rows * gt[5]);
    const double bottom = std::min(gt[3], gt[3] + rows * gt[5]);
    const double slack_x = kPoleSlack * s.cell_x, slack_y = kPoleSlack * s.cell_y;
    s.degrees = AxesInDegrees(dataset) ||
                (std::fabs(left) <= 360 + slack_x && bottom >= -90 - slack_y && top <= 90 + slack_y);
    s.guessed_degrees = s.degrees;
  }
  if (units != CellUnits::kGuess) {
    if (s.degrees != (units == CellUnits::kDegrees)) scale = 1;
    s.degrees = units == CellUnits::kDegrees;
    s.guessed_degrees = false;
  }
  s.unit = scale;
  s.cell_x *= scale;
  s.cell_y *= scale;
  s.square = std::fabs(s.cell_x - s.cell_y) <= 1e-9 * std::max(s.cell_x, s.cell_y);
  s.cell = s.square ? s.cell_x : 0.5 * (s.cell_x + s.cell_y);
  return s;
}

struct Converted {
  bool read = true;
  bool in_range = true;
  long long bad_cell = 0;  // the first height out of the int range
  int least = INT_MAX, greatest = INT_MIN;
  long long marks = 0;  // NODATA cells waiting for the stand-in height
  bool fractions = false;  // a height has a fraction of a metre
};

// The NODATA value as a height at `per_metre` units a metre, when it is a whole one.
bool WholeNoData(bool has_nodata, double nodata, double per_metre, int& whole) {
  const double scaled = nodata * per_metre;
  if (!has_nodata || std::round(scaled) != scaled || !(scaled >= -2147483648.0 && scaled <= 2147483647.0)) return false;
  whole = static_cast<int>(scaled);
  return true;
}

// Reads the band row by row into one row of doubles (exact for every integer and float
// band up to 32 bits) and rounds each row, at `per_metre` units a metre, into the grid:
// the grid is the only large allocation, and each row is converted while it is still in
// the cache. A file stored south up (`south_up`) or east to west (`east_to_west`) is
// turned, so that values[0][0] is always the north-west corner.
Converted ReadAndConvert(GDALRasterBandH band, int rows, int cols, int** values, bool has_nodata, double nodata,
                         double per_metre, bool south_up, bool east_to_west) {
  Converted out;
  std::unique_ptr<double[]> row(new (std::nothrow) double[cols]);
  if (!row) {
    out.read = false;
    return out;
  }
  int whole_nodata = 0;
  const bool nodata_integral = WholeNoData(has_nodata, nodata, per_metre, whole_nodata);
  for (int r = 0; r < rows; ++r) {
    if (GDALRasterIO(band, GF_Read, 0, r, cols, 1, row.get(), cols, 1, GDT_Float64, 0, 0) != CE_None) {
      out.read = false;
      return out;
    }
    int* to = values[south_up ? rows - 1 - r : r];
    if (east_to_west) std::reverse(row.get(), row.get() + cols);
    for (int c = 0; c < cols; ++c) {
      const double v = row[c];
      int h;
      if (std::isnan(v) || (has_nodata && v == nodata)) {
        if (!nodata_integral) {
          to[c] = kNoDataMark;
          ++out.marks;
          continue;
        }
        h = whole_nodata;
      } else {
        out.fractions = out.fractions || v != std::round(v);
        const double rounded = std::round(v * per_metre);  // halves away from zero, as the ASCII reader
        if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
          out.in_range = false;
          out.bad_cell = static_cast<long long>(r) * cols + (east_to_west ? cols - 1 - c : c);  // as stored
          return out;
        }
        h = static_cast<int>(rounded);
      }
      to[c] = h;
      out.least = std::min(out.least, h);
      out.greatest = std::max(out.greatest, h);
    }
  }
  return out;
}

}  // namespace

Result LoadWithGdal(const char* path, data& grid, const ReportLines& out, CellUnits units) {
  QuietGdal quiet;
  Dataset dataset(GDALOpenEx(path, GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
  if (!dataset) {
    // A driver that took the file for its own says why it could not read it.
    if (CPLGetLastErrorType() >= CE_Failure && CPLGetLastErrorMsg()[0] != '\0') {
      WriteReport(out.msg, out.size, "Could not read the file ", path, "");
      snprintf(out.reason, out.size, "%s", CPLGetLastErrorMsg());
    }
    return Result::kNoRaster;
  }
  GDALDatasetH ds = dataset.get();
  if (GDALGetRasterCount(ds) < 1) {
    Refuse(out, path, "holds no raster band.");
    return Result::kRefused;
  }
  const int cols = GDALGetRasterXSize(ds);
  const int rows = GDALGetRasterYSize(ds);
  const char* format = FormatName(GDALGetDatasetDriver(ds));
  if (rows < 2 || cols < 2) {
    Refuse(out, path, "has %d rows and %d columns; at least 2 of each are needed.", rows, cols);
    return Result::kRefused;
  }

  double gt[6] = {0, 1, 0, 0, 0, 1};
  const bool georeferenced = GDALGetGeoTransform(ds, gt) == CE_None;
  if (gt[2] != 0 || gt[4] != 0) {
    Refuse(out, path, "is rotated or sheared; only north-up grids can be drawn (gdalwarp makes one).");
    return Result::kRefused;
  }
  const Spacing cell = CellSpacing(ds, gt, georeferenced, rows, cols, units);
  if (!(cell.cell > 0) || !std::isfinite(cell.cell)) {
    Refuse(out, path, "has a cell size that is not a positive number.");
    return Result::kRefused;
  }
  if (!georeferenced)
    AddNote(out, "The file has no georeferencing: its cells are taken as 1 %s apart.",
            cell.degrees ? "degree" : "unit");
  const double bottom = std::min(gt[3], gt[3] + rows * gt[5]) * cell.unit;
  const double top = std::max(gt[3], gt[3] + rows * gt[5]) * cell.unit;
  if (georeferenced && cell.degrees && (bottom < -90 - kPoleSlack * cell.cell_y || top > 90 + kPoleSlack * cell.cell_y)) {
    Refuse(out, path, "reaches past a pole (latitudes %g to %g): a grid in degrees lies within -90 and 90.", bottom,
           top);
    return Result::kRefused;
  }
  // ASCII grids are read in degrees unless they say otherwise; other rasters say so.
  if (cell.guessed_degrees && strcmp(GDALGetDriverShortName(GDALGetDatasetDriver(ds)), "AAIGrid") != 0)
    AddNote(out,
            "The file has no coordinate system; its %s longitudes and latitudes, so its cells are read in degrees "
            "(--metres reads them as metres).",
            AxesInDegrees(ds) ? "axes' units fit" : "extent fits");
  if (!cell.square) {
    AddNote(out, "The cells are not square (%g x %g %s): the grid is drawn with their mean.", cell.cell_x,
            cell.cell_y, cell.degrees ? "degrees" : "metres");
  }
  // Degrees count 30 metres an arc-second, as in ASCII grids, whose cell size is read as
  // a float.
  const double spacing_metres =
      cell.degrees ? static_cast<double>(static_cast<float>(cell.cell)) * 3600.0 * 30.0 : cell.cell;
  // Drawing forms 20 (the largest width scale) x cells x spacing in int arithmetic; whole
  // metres are the coarsest units, so a grid too wide for them is too wide for any.
  const double coarsest = std::max(1.0, std::round(spacing_metres));
  if (20.0 * std::max(rows, cols) * coarsest > 2147483647.0) {
    Refuse(out, path, "has %d rows and %d columns, too many to draw at a spacing of %g.", rows, cols, spacing_metres);
    return Result::kRefused;
  }

  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  int has_nodata = 0;
  const double nodata = GDALGetRasterNoDataValue(band, &has_nodata);

  if (!memory::GridFits(rows, cols, path, out.msg, out.size)) return Result::kRefused;
  int** values = AllocateGrid(rows, cols);
  if (values == nullptr) {
    Refuse(out, path, "holds %d x %d heights, too many for the memory.", rows, cols);
    return Result::kRefused;
  }
  const bool south_up = georeferenced && gt[5] > 0, east_to_west = gt[1] < 0;
  Converted converted = ReadAndConvert(band, rows, cols, values, has_nodata, nodata, 1.0, south_up, east_to_west);
  // Whole metres read, the units are chosen; fractions of a metre are read once more in
  // the finer units.
  GridUnits grid_units{1, static_cast<int>(coarsest)};
  if (converted.read && converted.in_range) {
    const bool any_height = converted.least <= converted.greatest;
    grid_units = ChooseGridUnits(spacing_metres, !converted.fractions, any_height ? converted.least : 0,
                                 any_height ? converted.greatest : 0, std::max(rows, cols));
    if (grid_units.per_metre == 0) {
      FreeGrid(values, rows);
      Refuse(out, path, "has a cell size of %g%s, too fine to draw.", cell.cell, cell.degrees ? " degrees" : "");
      return Result::kRefused;
    }
    NoteUnits(out, grid_units.per_metre, !converted.fractions);
    if (grid_units.per_metre != 1)
      converted = ReadAndConvert(band, rows, cols, values, has_nodata, nodata, grid_units.per_metre, south_up,
                                 east_to_west);
  }
  if (!converted.read || !converted.in_range) {
    FreeGrid(values, rows);
    if (converted.read) {
      Refuse(out, path, "has a height out of range at row %lld, column %lld.", converted.bad_cell / cols + 1,
             converted.bad_cell % cols + 1);
    } else {
      WriteReport(out.msg, out.size, "Could not read the file ", path, "");
      snprintf(out.reason, out.size, "%s", CPLGetLastErrorMsg());
    }
    return Result::kRefused;
  }

  // NaN cells mark NODATA whether the file names a value or not.
  int whole_nodata = 0;
  const bool nodata_integral = WholeNoData(has_nodata, nodata, grid_units.per_metre, whole_nodata);
  grid = FinishGrid(rows, cols, grid_units.spacing, values, converted.least, converted.greatest, converted.marks,
                    has_nodata || converted.marks > 0, nodata_integral, whole_nodata);
  grid.units_per_metre = grid_units.per_metre;
  if (georeferenced) {
    const double left = std::min(gt[0], gt[0] + cols * gt[1]);
    grid.place = GridPlace{true, cell.degrees, left * cell.unit, bottom, cell.cell_x, cell.cell_y};
  }
  char suffix[96];
  snprintf(suffix, sizeof suffix, " was loaded succesfully (%s, %d x %d, spacing %s).", format, cols, rows,
           SpacingText(grid_units).c_str());
  WriteReport(out.msg, out.size, "The file ", path, suffix);
  return Result::kLoaded;
}

}  // namespace raster

// ---------------------------------------------------------------- LoadTerrainFile

namespace {

// Whether the file starts like an ASCII grid: its first word, in any case, is a header
// keyword. Binary rasters (GeoTIFF, HGT) never do.
bool LooksLikeAsciiGrid(const char* path) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return true;  // the ASCII reader reports on it
  char start[32] = {};
  const size_t got = fread(start, 1, sizeof start - 1, file);
  fclose(file);
  size_t i = 0;
  while (i < got && isspace(static_cast<unsigned char>(start[i]))) ++i;
  for (const char* keyword : {"ncols", "nrows"}) {
    if (strncasecmp(start + i, keyword, strlen(keyword)) == 0) return true;
  }
  return false;
}

// GDAL reads a word that is no number as 0. Before it reads an ASCII grid, its header is
// read for the size and NODATA value, and its heights are checked by the ASCII reader's
// scanner: false, with the report in `msg`, at the first word that is no height.
bool HeightsAreNumbers(const char* path, char* msg) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return true;  // GDAL reports on it
  std::string text;
  char chunk[1 << 16];
  for (size_t got; (got = fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, got);
  fclose(file);
  const char* p = text.c_str();
  const char* const end = p + text.size();
  long long cols = 0, rows = 0;
  const char* nodata = nullptr;
  // Header lines: a keyword and its value.
  for (;;) {
    const char* word = p;
    while (word < end && (*word == ' ' || *word == '\t')) ++word;
    const char* after = word;
    while (after < end && isalpha(static_cast<unsigned char>(*after))) ++after;
    if (after < end && *after == '_') after += strcspn(after, " \t\r\n");
    const std::string key(word, after);
    const char* const keys[] = {"ncols", "nrows", "xllcorner", "yllcorner", "xllcenter", "yllcenter",
                                "cellsize", "dx", "dy", "nodata_value"};
    if (std::none_of(std::begin(keys), std::end(keys), [&](const char* k) { return strcasecmp(k, key.c_str()) == 0; }))
      break;
    if (strcasecmp(key.c_str(), "ncols") == 0) cols = atoll(after);
    if (strcasecmp(key.c_str(), "nrows") == 0) rows = atoll(after);
    if (strcasecmp(key.c_str(), "nodata_value") == 0) nodata = after;
    p = static_cast<const char*>(memchr(after, '\n', end - after));
    if (p == nullptr) return true;
    ++p;
  }
  return CheckAsciiHeights(path, text, static_cast<size_t>(p - text.c_str()), rows, cols, nodata, msg);
}

}  // namespace

bool TerrainLoader::LoadTerrainFile(const char* filename) {
  const ReportLines out{msg, reason, note, sizeof msg};
  // Pipes, directories and missing files go to the ASCII reader: a look at a pipe's first
  // bytes would take them away from the reader, and its reports cover the rest.
  struct stat info;
  if (stat(filename, &info) != 0 || !S_ISREG(info.st_mode)) return LoadArcASCIIFile(filename);
  if (LooksLikeAsciiGrid(filename)) {
    // The fast reader first; GDAL takes the headers it refuses (upper case, xllcenter,
    // dx and dy, no NODATA line).
    const bool loaded = LoadArcASCIIFile(filename);
    if (loaded || !header_refused_) return loaded;
    char ascii_msg[sizeof msg], ascii_reason[sizeof msg];
    memcpy(ascii_msg, msg, sizeof msg);
    memcpy(ascii_reason, reason, sizeof msg);
    reason[0] = '\0';
    note[0] = '\0';
    WriteReport(note, sizeof msg, "The file ", filename, " has a header the ASCII reader does not take; GDAL reads it.");
    if (!HeightsAreNumbers(filename, msg)) return false;
    switch (raster::LoadWithGdal(filename, input, out, units)) {
      case raster::Result::kLoaded: return true;
      case raster::Result::kRefused: return false;
      case raster::Result::kNoRaster: break;
    }
    memcpy(msg, ascii_msg, sizeof msg);
    memcpy(reason, ascii_reason, sizeof msg);
    note[0] = '\0';
    return false;
  }
  reason[0] = '\0';
  note[0] = '\0';
  switch (raster::LoadWithGdal(filename, input, out, units)) {
    case raster::Result::kLoaded: return true;
    case raster::Result::kRefused: return false;
    case raster::Result::kNoRaster: break;
  }
  if (reason[0] != '\0') return false;  // GDAL knew the format and said why it failed
  // Neither reader takes it: the ASCII reader's report says what it expected.
  return LoadArcASCIIFile(filename);
}
