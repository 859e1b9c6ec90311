// A GDAL raster's cell size, in degrees or in metres: from its coordinate system, or, for
// a raster without one, from its axes' units or its extent.
#pragma once

#include <gdal.h>

#include "TerrainLoader.h"

namespace raster {

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
bool AxesInDegrees(GDALDatasetH dataset);

// The cell size in degrees (a geographic system) or metres (a projected one). Without a
// coordinate system, a grid whose axes are in degrees or whose extent fits longitude and
// latitude (within half a cell, for grids whose outer points lie on the poles) is taken
// to be in degrees. `units` other than kGuess decide instead.
Spacing CellSpacing(GDALDatasetH dataset, const double (&gt)[6], bool georeferenced, int rows, int cols,
                    CellUnits units);

}  // namespace raster
