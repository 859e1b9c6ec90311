#include "Contours.h"

#include <algorithm>

#include "RoundNumbers.h"

double AutomaticContourInterval(const data& grid) {
  const double range = Metres(grid.y_max) - Metres(grid.y_min);
  return std::max(0.01, RoundDown125(range / 10));
}

Status MakeContours(const data&, double, ContourSet*, const std::function<bool()>&) {
  return Status::Failure("contours are not made yet");
}
