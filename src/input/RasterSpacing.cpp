#include "RasterSpacing.h"

#include <ogr_srs_api.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "GridPlace.h"

namespace raster {

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
    s.degrees = AxesInDegrees(dataset) || ExtentFitsDegrees(left, bottom, top, slack_x, slack_y);
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

}  // namespace raster
