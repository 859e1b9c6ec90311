#include "GridPlace.h"

#include <algorithm>
#include <cmath>

double CentreLatitude(const GridPlace& place, int rows) { return place.bottom + 0.5 * rows * place.cell_y; }

double ColumnRatio(const GridPlace& place, int rows) {
  if (!place.known || !place.degrees || !(place.cell_x > 0) || !(place.cell_y > 0)) return 1.0;
  const double ratio = std::cos(CentreLatitude(place, rows) * M_PI / 180.0) * place.cell_x / place.cell_y;
  return std::isfinite(ratio) ? std::max(ratio, 0.01) : 1.0;
}

bool ReachesPastPole(double bottom, double top, double slack) { return bottom < -90 - slack || top > 90 + slack; }

bool ExtentFitsDegrees(double left, double bottom, double top, double slack_x, double slack_y) {
  return std::fabs(left) <= 360 + slack_x && bottom >= -90 - slack_y && top <= 90 + slack_y;
}

bool CornerFitsDegrees(double corner_x, double corner_y, long long rows, double cell) {
  return std::fabs(corner_x) <= 360 && !ReachesPastPole(corner_y, corner_y + static_cast<double>(rows) * cell, 0);
}
