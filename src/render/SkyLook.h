// The figures of the sky and the haze, free of GL: the colour of the sky at an elevation,
// the elevation of the view ray through a screen row, and how far the haze reaches.
#pragma once

#include "TerrainColor.h"

namespace sky_look {

// Pale hazy blue-white at and below the horizon, clear blue straight up.
constexpr RGBColor kHorizon{0.86, 0.90, 0.95};
constexpr RGBColor kZenith{0.22, 0.42, 0.78};

// The sky's colour `elevation_degrees` above the horizon: the horizon's at and below it,
// the zenith's at 90 and beyond, deepening quickest just above the horizon as a clear sky
// does. Every channel falls steadily from the horizon to the zenith.
RGBColor SkyColour(double elevation_degrees);

// The elevation, in degrees, of the view ray through the middle column of the view at
// height `ndc_y` (-1 the bottom row's edge, 1 the top's), for a camera tilted
// `tilt_degrees` from straight up (90 level) with the view's vertical field of view.
double RayElevation(double tilt_degrees, double ndc_y);
// The height in the view (as for RayElevation) of the horizon; outside -1..1 when the
// view does not show it.
double HorizonHeight(double tilt_degrees);

// The haze's reach from the camera, in drawn units, for a terrain whose drawn footprint is
// `terrain_side` on its longer side: none up to `start`, all at `end`, linear between.
// From the start camera the near edge stays clear and the far edge is about half faded.
struct HazeRange {
  double start, end;
};
HazeRange HazeRangeFor(double terrain_side);

}  // namespace sky_look
