// A contour level as its label reads: "450 m", or "12.5 m" with as many decimals as the
// interval between levels has (up to three).
#pragma once

#include <string>

std::string LevelLabel(double level, double interval);
