// The fixed hypsometric colour scale: water blue at or below 0, greens, yellows and browns
// upwards, grey and then white above 2800.
#pragma once

struct RGBColor {
  double r, g, b;
};

// The colour of a height in metres. Each band excludes its lower bound and
// includes its upper bound, and is linear between the colours at its two stops.
RGBColor TerrainColor(double height);
