#include "Contours.h"

#include <ogr_api.h>

#include <algorithm>
#include <cmath>

#include "ContourRaster.h"
#include "RoundNumbers.h"

double AutomaticContourInterval(const data& grid) {
  // In the grid's own units, not the loaded grid's (Metres), which may be another.
  const double range = (static_cast<double>(grid.y_max) - grid.y_min) / std::max(1, grid.units_per_metre);
  return std::max(0.01, RoundDown125(range / 10));
}

namespace {

// Pixel (i, j)'s centre lies at i + 0.5, j + 0.5 in GDAL's raster space, so half a pixel
// less makes the generator's coordinates grid positions: column right, row down.
constexpr double kGridPositions[6] = {-0.5, 1, 0, -0.5, 0, 1};

void AddLines(OGRGeometryH geometry, double level, std::vector<ContourLine>* lines) {
  if (geometry == nullptr) return;
  if (const int parts = OGR_G_GetGeometryCount(geometry); parts > 0) {
    for (int i = 0; i < parts; ++i) AddLines(OGR_G_GetGeometryRef(geometry, i), level, lines);
    return;
  }
  ContourLine line;
  line.level = level;
  const int count = OGR_G_GetPointCount(geometry);
  line.points.resize(count);
  for (int i = 0; i < count; ++i) {
    line.points[i].column = OGR_G_GetX(geometry, i);
    line.points[i].row = OGR_G_GetY(geometry, i);
  }
  if (count > 1) lines->push_back(std::move(line));
}

double MeanSpacing(const std::vector<ContourLine>& lines, const data& grid) {
  double length = 0;
  for (const ContourLine& line : lines)
    for (size_t i = 1; i < line.points.size(); ++i)
      length += std::hypot(line.points[i].column - line.points[i - 1].column, line.points[i].row - line.points[i - 1].row);
  const double area = std::max(0, grid.cols - 1) * static_cast<double>(std::max(0, grid.rows - 1));
  return length > 0 ? area / length : 0;
}

}  // namespace

Status MakeContours(const data& grid, double interval, ContourSet* out,
                    const std::function<bool()>& superseded) {
  contours::QuietErrors quiet;
  const contours::Dataset raster = contours::HeightRaster(grid, kGridPositions);
  if (!raster) return Status::Failure("not enough memory for the grid's heights");
  contours::Dataset store(GDALCreate(GDALGetDriverByName("Memory"), "", 0, 0, 0, GDT_Unknown, nullptr));
  if (!store) return Status::Failure("GDAL's in-memory vector store is missing");
  OGRLayerH layer = GDALDatasetCreateLayer(store.get(), "contour", nullptr, wkbLineString, nullptr);
  OGRFieldDefnH elev = OGR_Fld_Create("elev", OFTReal);
  const bool field_made = layer != nullptr && OGR_L_CreateField(layer, elev, TRUE) == OGRERR_NONE;
  OGR_Fld_Destroy(elev);
  if (!field_made) return Status::Failure("cannot make an in-memory layer");

  const auto go_on = [&](double) { return !superseded || !superseded(); };
  if (Status made = contours::GenerateContours(raster.get(), grid, layer, interval, {-1, 0}, go_on); !made.ok())
    return made;

  ContourSet set;
  set.interval = interval;
  set.lines.reserve(static_cast<size_t>(OGR_L_GetFeatureCount(layer, TRUE)));
  OGR_L_ResetReading(layer);
  while (OGRFeatureH feature = OGR_L_GetNextFeature(layer)) {
    AddLines(OGR_F_GetGeometryRef(feature), OGR_F_GetFieldAsDouble(feature, 0), &set.lines);
    OGR_F_Destroy(feature);
  }
  set.mean_spacing = MeanSpacing(set.lines, grid);
  *out = std::move(set);
  return Status::Ok();
}
