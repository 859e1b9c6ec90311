// A place on the grid between its points: fractional columns and rows, grid point (0, 0)
// being the first value of the first row (the north-west corner).
#pragma once

struct GridPosition {
  double column = 0, row = 0;
  bool operator==(const GridPosition&) const = default;
};
