// The checks both grid readers make on what a file claims, before its heights are read:
// the size, the cell size, the reach of a grid in degrees, and the NODATA value as a
// height. A refusal's reason follows "The file PATH " in the report.
#pragma once

#include "Status.h"

// Normals need a 2 x 2 grid at least.
Status CheckGridSize(long long rows, long long cols);

Status CheckCellSize(double cell);

// Whole metres are the coarsest units a grid is drawn in: the spacing they give, at least 1.
double CoarsestSpacing(double spacing_metres);

// Drawing forms 20 (the largest width scale) x cells x spacing in int arithmetic; whole
// metres are the coarsest units, so a grid too wide for them is too wide for any.
bool TooWideToDraw(long long widest, double spacing_metres);
Status CheckDrawableWidth(long long rows, long long cols, double spacing_metres);

// A grid in degrees lies within -90 and 90, give or take `slack` degrees.
Status CheckWithinPoles(double bottom, double top, double slack);

// A NODATA value as a height at `per_metre` units a metre: rounded (halves away from zero,
// as heights round) when that is in the int range, else 0; integral when it is a whole
// number there, so that its cells keep it as their height.
struct NoDataHeight {
  bool integral = false;
  int rounded = 0;
};
NoDataHeight ScaleNoDataValue(double value, double per_metre);
