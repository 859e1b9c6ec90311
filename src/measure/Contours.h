// Contour lines of the grid's heights, made by GDAL's contour generator, in grid positions.
#pragma once

#include <functional>
#include <vector>

#include "GridPosition.h"
#include "Status.h"
#include "TerrainLoader.h"

struct ContourLine {
  double level = 0;  // metres
  std::vector<GridPosition> points;
};

struct ContourSet {
  double interval = 0;  // metres
  std::vector<ContourLine> lines;
  // Grid cells between neighbouring lines, on average: the grid's area over the lines'
  // length (0 without lines). How close they come on screen follows from it.
  double mean_spacing = 0;
};

// A round interval (1, 2 or 5 times a power of ten, in metres) that gives about ten levels
// between the grid's lowest and highest heights.
double AutomaticContourInterval(const data& grid);

// The contours of `grid` every `interval` metres (levels at whole multiples of it);
// NODATA cells are left out. `superseded`, when given, is asked now and then and ends the
// work early (a failure) when it answers true.
Status MakeContours(const data& grid, double interval, ContourSet* out,
                    const std::function<bool()>& superseded = {});
