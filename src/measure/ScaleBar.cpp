#include "ScaleBar.h"

#include <cmath>
#include <cstdio>

#include "RoundNumbers.h"

namespace {

std::string Label(double metres) {
  char text[32];
  // Kilometres from 1 km, metres down to half a metre, centimetres below.
  if (metres >= 1000)
    std::snprintf(text, sizeof text, "%g km", metres / 1000);
  else if (metres >= 0.5)
    std::snprintf(text, sizeof text, "%g m", metres);
  else
    std::snprintf(text, sizeof text, "%g cm", metres * 100);
  return text;
}

}  // namespace

ScaleBarLength ChooseScaleBar(double metres_per_pixel, double max_pixels) {
  ScaleBarLength bar;
  if (!(metres_per_pixel > 0) || !(max_pixels > 0) || !std::isfinite(metres_per_pixel)) return bar;
  bar.metres = RoundDown125(metres_per_pixel * max_pixels);
  if (!(bar.metres > 0)) return ScaleBarLength{};
  bar.pixels = bar.metres / metres_per_pixel;
  bar.label = Label(bar.metres);
  return bar;
}
