// The grid's heights in metres as a GDAL in-memory raster, and GDAL's contour generator run
// over it into an OGR layer: what the viewer's contours and the written files share.
#pragma once

#include <cpl_error.h>
#include <gdal.h>

#include <functional>
#include <memory>
#include <string>

#include "Status.h"
#include "TerrainLoader.h"

namespace contours {

struct DatasetCloser {
  void operator()(void* dataset) const {
    if (dataset != nullptr) GDALClose(dataset);
  }
};
using Dataset = std::unique_ptr<void, DatasetCloser>;

// GDAL's messages kept off the console while one lives (on this thread): the work reports
// through its Status instead.
class QuietErrors {
 public:
  QuietErrors() { CPLPushErrorHandler(CPLQuietErrorHandler); }
  ~QuietErrors() { CPLPopErrorHandler(); }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;
};

// GDAL's last message, without its closing full stop, or `otherwise` when it gave none.
std::string LastGdalReason(const char* otherwise);

// Registers GDAL's drivers (again only while none of the callers has yet).
void RegisterDrivers();

// A raster of grid.cols x grid.rows heights in metres (NODATA kept) whose geotransform is
// `geotransform`; GDAL takes a pixel's value at its centre. Null when memory is short.
Dataset HeightRaster(const data& grid, const double geotransform[6]);

// Which fields of `layer` get the line's number and height (-1: none).
struct ContourFields {
  int id = -1;
  int elev = -1;
};

// Lines every `interval` metres at its whole multiples from `raster` (made by HeightRaster
// of `grid`) into `layer`. `go_on` hears the share done (0 to 1) and stops the work,
// a failure, when it answers false.
Status GenerateContours(GDALDatasetH raster, const data& grid, OGRLayerH layer, double interval,
                        ContourFields fields, const std::function<bool(double done)>& go_on);

}  // namespace contours
