#include "TerrainColor.h"

namespace {

struct Stop {
  int height;
  RGBColor color;
};

// Colour stops from 100 upwards; between two stops the colour runs linearly.
constexpr Stop kStops[] = {
    {100, {0.18, 0.37, 0.25}},  {200, {0.18, 0.47, 0.31}},  {400, {0.51, 0.62, 0.36}},
    {750, {0.88, 0.80, 0.47}},  {1000, {0.75, 0.54, 0.23}}, {1500, {0.61, 0.27, 0.00}},
    {2200, {0.51, 0.14, 0.00}}, {2800, {0.60, 0.60, 0.60}}, {4800, {1.0, 1.0, 1.0}},
};

constexpr RGBColor kWater = {0.64, 0.75, 0.94};
constexpr RGBColor kLowland = {0.18, 0.37, 0.25};
constexpr RGBColor kSnow = {1.0, 1.0, 1.0};

double Mix(double lo, double hi, double t) { return lo + (hi - lo) * t; }

}  // namespace

RGBColor TerrainColor(double height) {
  if (height <= 0) return kWater;  // no-data values such as -9999 land here too
  if (height <= kStops[0].height) return kLowland;
  for (int i = 1; i < static_cast<int>(sizeof kStops / sizeof kStops[0]); ++i) {
    const Stop& lo = kStops[i - 1];
    const Stop& hi = kStops[i];
    if (height <= hi.height) {
      const double t = (height - lo.height) / (hi.height - lo.height);
      return {Mix(lo.color.r, hi.color.r, t), Mix(lo.color.g, hi.color.g, t),
              Mix(lo.color.b, hi.color.b, t)};
    }
  }
  return kSnow;
}
