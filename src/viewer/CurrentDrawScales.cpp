#include "CurrentDrawScales.h"

#include "Brackenholmer.h"

double DrawnColumnRatio() { return square_cells ? 1.0 : GridColumnRatio(); }

DrawScales CurrentDrawScales() {
  DrawScales s = ScalesFor(input.grid_space, DrawnColumnRatio(), y_multiplier, xz_multiplier);
  // The normals light height differences in metres over grid steps, whatever the units.
  s.normal_x /= static_cast<float>(input.units_per_metre);
  s.normal_z /= static_cast<float>(input.units_per_metre);
  return s;
}
