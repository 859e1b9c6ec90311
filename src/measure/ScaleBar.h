// A scale bar's length: the longest round length (1, 2 or 5 times a power of ten metres)
// that fits on screen, and its label.
#pragma once

#include <string>

struct ScaleBarLength {
  double metres = 0;
  double pixels = 0;
  std::string label;  // "500 m", "2 km", "0.5 m"
};

// For a view of `metres_per_pixel` at the screen centre and a bar of at most `max_pixels`;
// metres 0 when nothing fits.
ScaleBarLength ChooseScaleBar(double metres_per_pixel, double max_pixels);
