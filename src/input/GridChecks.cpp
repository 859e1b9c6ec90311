#include "GridChecks.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "GridPlace.h"

namespace {

__attribute__((format(printf, 1, 2))) Status Refusal(const char* format, ...) {
  char reason[160];
  va_list args;
  va_start(args, format);
  vsnprintf(reason, sizeof reason, format, args);
  va_end(args);
  return Status::Failure(reason);
}

}  // namespace

Status CheckGridSize(long long rows, long long cols) {
  if (rows >= 2 && cols >= 2) return Status::Ok();
  return Refusal("has %lld rows and %lld columns; at least 2 of each are needed.", rows, cols);
}

Status CheckCellSize(double cell) {
  if (cell > 0 && std::isfinite(cell)) return Status::Ok();
  return Refusal("has a cell size that is not a positive number.");
}

double CoarsestSpacing(double spacing_metres) { return std::max(1.0, std::round(spacing_metres)); }

bool TooWideToDraw(long long widest, double spacing_metres) {
  return 20.0 * static_cast<double>(widest) * CoarsestSpacing(spacing_metres) > 2147483647.0;
}

Status CheckDrawableWidth(long long rows, long long cols, double spacing_metres) {
  if (!TooWideToDraw(std::max(rows, cols), spacing_metres)) return Status::Ok();
  return Refusal("has %lld rows and %lld columns, too many to draw at a spacing of %g.", rows, cols, spacing_metres);
}

Status CheckWithinPoles(double bottom, double top, double slack) {
  if (!ReachesPastPole(bottom, top, slack)) return Status::Ok();
  return Refusal("reaches past a pole (latitudes %g to %g): a grid in degrees lies within -90 and 90.", bottom, top);
}

NoDataHeight ScaleNoDataValue(double value, double per_metre) {
  const double scaled = value * per_metre;
  const double rounded = std::round(scaled);
  NoDataHeight height;
  if (rounded >= -2147483648.0 && rounded <= 2147483647.0) {
    height.rounded = static_cast<int>(rounded);
    height.integral = rounded == scaled;
  }
  return height;
}
