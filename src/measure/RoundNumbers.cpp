#include "RoundNumbers.h"

#include <cmath>
#include <initializer_list>

double RoundDown125(double limit) {
  if (!(limit > 0) || !std::isfinite(limit)) return 0;
  double power = std::pow(10.0, std::floor(std::log10(limit)));
  // log10 can land a hair off for exact powers of ten.
  if (power > limit) power /= 10;
  if (power * 10 <= limit) power *= 10;
  for (double step : {5.0, 2.0, 1.0})
    if (step * power <= limit) return step * power;
  return power;
}
