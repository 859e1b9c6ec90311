// Reads band 1 of any raster GDAL opens into the height grid, with the same checks
// (GridChecks) and one-line reports as the ASCII reader.
//
//   Reports        - GDAL kept quiet, its last message as the reason
//   LoadWithGdal
#include "RasterLoader.h"

#include <cpl_error.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <climits>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <iterator>
#include <new>
#include <string>
#include <strings.h>
#include <sys/stat.h>

#include "GridChecks.h"
#include "GridFinish.h"
#include "GridPlace.h"
#include "GridUnits.h"
#include "RasterHeights.h"
#include "RasterSpacing.h"
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


// The format as users know it.
const char* FormatName(GDALDriverH driver) {
  const char* name = GDALGetDriverShortName(driver);
  if (strcmp(name, "GTiff") == 0) return "GeoTIFF";
  if (strcmp(name, "SRTMHGT") == 0) return "SRTM HGT";
  if (strcmp(name, "AAIGrid") == 0) return "ARC/INFO ASCII grid";
  return GDALGetDriverLongName(driver);
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
    ReportFileFault(out.msg, out.size, path, "holds no raster band.");
    return Result::kRefused;
  }
  const int cols = GDALGetRasterXSize(ds);
  const int rows = GDALGetRasterYSize(ds);
  const char* format = FormatName(GDALGetDatasetDriver(ds));
  if (const Status size = CheckGridSize(rows, cols); !size.ok()) {
    ReportRefusal(out.msg, out.size, path, size);
    return Result::kRefused;
  }

  double gt[6] = {0, 1, 0, 0, 0, 1};
  const bool georeferenced = GDALGetGeoTransform(ds, gt) == CE_None;
  if (gt[2] != 0 || gt[4] != 0) {
    ReportFileFault(out.msg, out.size, path,
                    "is rotated or sheared; only north-up grids can be drawn (gdalwarp makes one).");
    return Result::kRefused;
  }
  const Spacing cell = CellSpacing(ds, gt, georeferenced, rows, cols, units);
  if (const Status size = CheckCellSize(cell.cell); !size.ok()) {
    ReportRefusal(out.msg, out.size, path, size);
    return Result::kRefused;
  }
  if (!georeferenced)
    AddNote(out, "The file has no georeferencing: its cells are taken as 1 %s apart.",
            cell.degrees ? "degree" : "unit");
  const double bottom = std::min(gt[3], gt[3] + rows * gt[5]) * cell.unit;
  const double top = std::max(gt[3], gt[3] + rows * gt[5]) * cell.unit;
  if (georeferenced && cell.degrees) {
    if (const Status poles = CheckWithinPoles(bottom, top, kPoleSlack * cell.cell_y); !poles.ok()) {
      ReportRefusal(out.msg, out.size, path, poles);
      return Result::kRefused;
    }
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
  if (const Status width = CheckDrawableWidth(rows, cols, spacing_metres); !width.ok()) {
    ReportRefusal(out.msg, out.size, path, width);
    return Result::kRefused;
  }

  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  int has_nodata = 0;
  const double nodata = GDALGetRasterNoDataValue(band, &has_nodata);

  int** values = AllocateGridFor(path, rows, cols, out.msg, out.size);
  if (values == nullptr) return Result::kRefused;
  const bool south_up = georeferenced && gt[5] > 0, east_to_west = gt[1] < 0;
  Converted converted =
      ReadAndConvert(band, rows, cols, values, has_nodata, nodata, 1.0, south_up, east_to_west, true);
  // Whole metres measured, the units are chosen; fractions of a metre are read once more
  // in the finer units, or, for floats kept in the grid, converted there.
  GridUnits grid_units{1, static_cast<int>(CoarsestSpacing(spacing_metres))};
  if (converted.read && converted.in_range) {
    const bool any_height = converted.least <= converted.greatest;
    grid_units = ChooseGridUnits(spacing_metres, !converted.fractions, any_height ? converted.least : 0,
                                 any_height ? converted.greatest : 0, std::max(rows, cols));
    if (grid_units.per_metre == 0) {
      FreeGrid(values, rows);
      ReportFileFault(out.msg, out.size, path, "has a cell size of %g%s, too fine to draw.", cell.cell,
                      cell.degrees ? " degrees" : "");
      return Result::kRefused;
    }
    NoteUnits(out, grid_units.per_metre, !converted.fractions);
    if (converted.floats_kept)
      converted = ConvertKeptFloats(rows, cols, values, has_nodata, nodata, grid_units.per_metre, south_up,
                                    east_to_west);
    else if (grid_units.per_metre != 1)
      converted = ReadAndConvert(band, rows, cols, values, has_nodata, nodata, grid_units.per_metre, south_up,
                                 east_to_west);
  }
  if (!converted.read || !converted.in_range) {
    FreeGrid(values, rows);
    if (converted.read) {
      ReportFileFault(out.msg, out.size, path, "has a height out of range at row %lld, column %lld.",
                      converted.bad_cell / cols + 1, converted.bad_cell % cols + 1);
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
    const char* wkt = GDALGetProjectionRef(ds);
    grid.place.coordinate_system = wkt != nullptr ? wkt : "";
  }
  char suffix[96];
  snprintf(suffix, sizeof suffix, " was loaded succesfully (%s, %d x %d, spacing %s).", format, cols, rows,
           SpacingText(grid_units).c_str());
  WriteReport(out.msg, out.size, "The file ", path, suffix);
  return Result::kLoaded;
}

}  // namespace raster

