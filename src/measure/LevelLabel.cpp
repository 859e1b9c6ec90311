#include "LevelLabel.h"

#include <cmath>
#include <algorithm>
#include <cstdio>

std::string LevelLabel(double level, double interval) {
  int decimals = 0;
  double scaled = std::fabs(interval);
  while (decimals < 3 && std::fabs(scaled - std::round(scaled)) > 1e-6 * std::max(1.0, scaled)) {
    scaled *= 10;
    ++decimals;
  }
  const double shown = std::round(level * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
  char text[40];
  std::snprintf(text, sizeof text, "%.*f m", decimals, shown == 0 ? 0.0 : shown);  // no "-0 m"
  return text;
}
