#include "SkyLook.h"

#include <algorithm>
#include <cmath>

#include "CameraMath.h"

namespace sky_look {

RGBColor SkyColour(double elevation_degrees) {
  const double e = std::clamp(elevation_degrees, 0.0, 90.0) / 90.0;
  // 1 - (1 - e)^2: a quick change over the lowest degrees, a slow one overhead.
  const double t = 1.0 - (1.0 - e) * (1.0 - e);
  return RGBColor{kHorizon.r + t * (kZenith.r - kHorizon.r), kHorizon.g + t * (kZenith.g - kHorizon.g),
                  kHorizon.b + t * (kZenith.b - kHorizon.b)};
}

namespace {
double HalfFieldTangent() { return std::tan(camera_math::ToRadians(0.5 * camera_math::kFieldOfView)); }
}  // namespace

double RayElevation(double tilt_degrees, double ndc_y) {
  const double off_axis = std::atan(ndc_y * HalfFieldTangent()) * 180.0 / camera_math::kPi;
  return 90.0 - tilt_degrees + off_axis;
}

double HorizonHeight(double tilt_degrees) {
  return std::tan(camera_math::ToRadians(tilt_degrees - 90.0)) / HalfFieldTangent();
}

HazeRange HazeRangeFor(double terrain_side) {
  // The start camera sees the near edge 1.41 sides away and the far edge 2.24 sides away.
  return HazeRange{1.4 * terrain_side, 3.1 * terrain_side};
}

}  // namespace sky_look
