#include "ProfilePlot.h"

#include <algorithm>
#include <cstdio>

std::vector<float> EvenlySpacedHeights(const Profile& p, int count) {
  if (count < 2 || p.lowest < 0 || p.samples.empty()) return {};
  const double floor = p.samples[p.lowest].height;
  const double length = p.samples.back().distance;
  std::vector<float> out(count);
  size_t s = 0;
  for (int i = 0; i < count; ++i) {
    const double d = length * i / (count - 1);
    while (s + 2 < p.samples.size() && p.samples[s + 1].distance < d) ++s;
    const ProfileSample& a = p.samples[s];
    const ProfileSample& b = p.samples[std::min(s + 1, p.samples.size() - 1)];
    double h = floor;
    if (a.known && b.known) {
      const double span = b.distance - a.distance;
      const double t = span > 0 ? std::clamp((d - a.distance) / span, 0.0, 1.0) : 0.0;
      h = a.height + t * (b.height - a.height);
    } else if (a.known && d <= a.distance) {
      h = a.height;
    } else if (b.known && d >= b.distance) {
      h = b.height;
    }
    out[i] = static_cast<float>(h);
  }
  return out;
}

std::string DistanceText(double metres) {
  char text[48];
  if (metres < 10000)
    std::snprintf(text, sizeof text, "%.0f m", metres);
  else
    std::snprintf(text, sizeof text, "%.2f km", metres / 1000);
  return text;
}

std::vector<std::string> ProfileFigures(const Profile& p) {
  std::vector<std::string> lines;
  char text[160];
  std::snprintf(text, sizeof text, "Length %s, along the ground %s", DistanceText(p.horizontal_length).c_str(),
                DistanceText(p.ground_length).c_str());
  lines.push_back(text);
  std::snprintf(text, sizeof text, "Climb %.1f m, descent %.1f m", p.climb, p.descent);
  lines.push_back(text);
  if (p.highest >= 0 && p.lowest >= 0) {
    const ProfileSample& high = p.samples[p.highest];
    const ProfileSample& low = p.samples[p.lowest];
    std::snprintf(text, sizeof text, "Highest %.1f m at %s, lowest %.1f m at %s", high.height,
                  DistanceText(high.distance).c_str(), low.height, DistanceText(low.distance).c_str());
    lines.push_back(text);
  } else {
    lines.push_back("No heights along the path (NODATA)");
  }
  return lines;
}
