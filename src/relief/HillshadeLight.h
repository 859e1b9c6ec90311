// gdaldem's hillshade of one point from Horn's sums over its 3 x 3 window: x is the west
// column's weighted sum minus the east one's over the column spacing, y the north row's
// minus the south row's over the row spacing (eight times the slope each way).
#pragma once

#include <algorithm>
#include <cmath>

#include "ReliefShade.h"

namespace relief {

class HillshadeLight {
 public:
  HillshadeLight(const Sun& sun, double z_factor) : multi_(sun.multidirectional) {
    constexpr double kRadians = 3.14159265358979323846 / 180;
    const double alt = sun.altitude * kRadians, az = sun.azimuth * kRadians;
    const double z8 = z_factor / 8;
    sin_alt_ = std::sin(alt);
    cos_alt_z8_ = std::cos(alt) * z8;
    square_z8_ = z8 * z8;
    cos_az_ = std::cos(az);
    sin_az_ = std::sin(az);
    diagonal_ = -std::sqrt(0.5) * cos_alt_z8_;  // cos 225 degrees
  }

  // The grey level before rounding, 1..255.
  double Grey(double x, double y) const {
    const double xx_yy = x * x + y * y;
    if (!multi_) {
      const double cang = (sin_alt_ - cos_alt_z8_ * (y * cos_az_ - x * sin_az_)) / std::sqrt(1 + square_z8_ * xx_yy);
      return cang <= 0 ? 1 : 1 + 254 * cang;
    }
    if (xx_yy == 0) return 1 + 254 * sin_alt_;
    // Lights from 225, 270, 315 and 360 degrees, each weighted by the squared cosine of
    // the angle between it and the slope's aspect (the weights add up to 2).
    const double lit225 = std::max(0.0, sin_alt_ + (x - y) * diagonal_);
    const double lit270 = std::max(0.0, sin_alt_ - x * cos_alt_z8_);
    const double lit315 = std::max(0.0, sin_alt_ + (x + y) * diagonal_);
    const double lit360 = std::max(0.0, sin_alt_ - y * cos_alt_z8_);
    const double w225 = 0.5 * xx_yy - x * y, w315 = xx_yy - w225;
    const double sum = w225 * lit225 + x * x * lit270 + w315 * lit315 + y * y * lit360;
    return 1 + 127 * sum / xx_yy / std::sqrt(1 + square_z8_ * xx_yy);
  }

 private:
  bool multi_;
  double sin_alt_, cos_alt_z8_, square_z8_, cos_az_, sin_az_, diagonal_;
};

}  // namespace relief
