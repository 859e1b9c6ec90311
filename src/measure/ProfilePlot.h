// A profile for a plot: heights at evenly spaced distances, and the figures beside it.
#pragma once

#include <string>
#include <vector>

#include "Profile.h"

// `count` heights (metres) at distances 0, L/(count-1), ..., L along the profile, linear
// between its samples; a stretch without known heights takes the lowest known height, so
// that it shows as the plot's floor. Empty for a profile without known heights or count < 2.
std::vector<float> EvenlySpacedHeights(const Profile& profile, int count);

// "1234 m" below 10 km, "12.35 km" from there: a distance for people to read.
std::string DistanceText(double metres);

// The figures under the plot, one line each: the lengths, the climb and descent, the highest
// and lowest points with where they lie along the path.
std::vector<std::string> ProfileFigures(const Profile& profile);
