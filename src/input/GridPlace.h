// Where a grid lies on the earth, and what follows from it: whether its figures can be
// longitudes and latitudes, whether it stays between the poles, and how much closer than
// rows its columns lie on the ground.
#pragma once

#include <string>

// Where a grid lies, when its file says: the outer edges of its lower-left cell and the
// cell size, in degrees for a geographic grid, in map units for a projected one.
struct GridPlace {
  bool known = false;
  bool degrees = false;
  double left = 0, bottom = 0;
  double cell_x = 0, cell_y = 0;
  // The file's coordinate system as WKT; empty when it names none.
  std::string coordinate_system = {};
};

// How much closer than rows the columns of a grid at `place` lie on the ground: for a grid
// in degrees, cos(latitude of its centre) times its cells' width over their height, not
// below 0.01 near the poles; 1 for projected grids and grids without a place.
double ColumnRatio(const GridPlace& place, int rows);
double CentreLatitude(const GridPlace& place, int rows);

// Grids whose points stand for their cells' centres reach half a cell past the poles and
// the date line; a little more allows for the rounding of their corner's figures. In cells.
constexpr double kPoleSlack = 0.501;

// Whether a grid in degrees whose edges lie at latitudes `bottom` and `top` reaches past a
// pole by more than `slack` degrees.
bool ReachesPastPole(double bottom, double top, double slack);

// Whether an extent fits longitudes and latitudes, within `slack_x` and `slack_y` degrees:
// the guess of degrees for a raster without a coordinate system.
bool ExtentFitsDegrees(double left, double bottom, double top, double slack_x, double slack_y);

// Whether the corner of an ASCII grid (`corner_x`, `corner_y`) with `rows` cells of `cell`
// can be a longitude and latitude; one that cannot puts the grid in a projected system.
bool CornerFitsDegrees(double corner_x, double corner_y, long long rows, double cell);
