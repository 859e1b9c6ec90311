// Elevation rasters that are no strict ARC/INFO ASCII grid, read through GDAL: GeoTIFF,
// SRTM HGT, ASCII grids with other headers and every other raster GDAL knows.
#pragma once

#include <cstddef>

#include "Report.h"
#include "TerrainLoader.h"

namespace raster {

enum class Result {
  kLoaded,     // `grid` holds the raster
  kNoRaster,   // GDAL does not take the file for a raster: another reader may report on it
  kRefused,    // a raster that cannot be viewed; `msg` (and `reason`) say why
};

// Reads band 1 into `grid`: heights rounded to whole units as the ASCII reader rounds
// them, NODATA (and NaN) cells kept as the grid's NODATA, the spacing from the cell size
// (degrees of a geographic system as 30 units an arc-second, projected units in metres).
// Rows stored south up and columns stored east to west are turned: values[0][0] is the
// north-west corner. `units` other than kGuess override the guess of degrees or metres.
// `grid` is written only on kLoaded. On kNoRaster, `msg` and `reason` hold GDAL's own
// reason when a driver took the file for its own but could not read it.
Result LoadWithGdal(const char* path, data& grid, const ReportLines& out, CellUnits units = CellUnits::kGuess);

}  // namespace raster
