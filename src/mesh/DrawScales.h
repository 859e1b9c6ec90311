// How the grid is laid out in the drawing: the spacing of columns and rows, the height
// scale, and what they do to the normals. Free of GL.
#pragma once

struct DrawScales {
  // The spacings are kept in float, as the drawing has always rounded them.
  float column = 1;   // drawn x per column
  float row = 1;      // drawn z per row
  double height = 1;  // drawn y per height unit
  // Factors on the grid normals' x and z that make them the normals of the surface as
  // drawn: the height scale over the horizontal one. Both 1 at multipliers 1 with square
  // cells, so that the grid normals then go out unchanged.
  float normal_x = 1, normal_z = 1;

  bool operator==(const DrawScales&) const = default;
};

// Half the drawn footprint of a grid along x and along z: the drawing centres the grid on
// the origin, so a grid point is drawn at (x * column - x, ..., z * row - z).
struct DrawnHalf {
  double x, z;
};
DrawnHalf DrawnHalfOf(int rows, int cols, int grid_space, float xz_multiplier, double column_ratio);

// The scales for a grid of `grid_space` height units between points whose columns lie
// `column_ratio` times as far apart as its rows, at the panel's multipliers.
DrawScales ScalesFor(int grid_space, double column_ratio, float y_multiplier, float xz_multiplier);
