// Contour lines written through OGR: a GeoPackage (.gpkg) or GeoJSON (.geojson) file of
// line strings with their heights, in the grid's coordinate system.
#pragma once

#include <functional>
#include <string>

#include "Status.h"
#include "TerrainLoader.h"

struct ContourFileCounts {
  long long lines = 0;
  int levels = 0;
};

// Writes the contours of `grid` every `interval` metres to `path`, whose extension picks
// the format; an existing file is left alone and refused, and a failure leaves nothing.
// The reason of a failure reads after "Cannot write PATH: ". `progress` hears the share done.
Status WriteContourFile(const data& grid, double interval, const std::string& path, ContourFileCounts* counts,
                        const std::function<void(double done)>& progress = {});
