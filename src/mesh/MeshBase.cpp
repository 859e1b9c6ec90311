#include "MeshBase.h"

#include <algorithm>
#include <cmath>

namespace mesh_export {

namespace {

// True when `c` lies strictly on the inner side of every outline edge, seen from above: the
// outline is then one loop around it, and a fan from it covers the inside once.
bool SeesEveryEdgeFromInside(const std::vector<Corner>& corners, const std::vector<OutlineEdge>& outline,
                             const Corner& c) {
  for (const auto& [from, to] : outline) {
    const Corner& a = corners[from];
    const Corner& b = corners[to];
    // The upward part of (b - a) x (c - a): the surface's triangles turn counter-clockwise.
    const double up = static_cast<double>(b.z - a.z) * (c.x - a.x) - static_cast<double>(b.x - a.x) * (c.z - a.z);
    if (!(up > 0)) return false;
  }
  return !outline.empty();
}

}  // namespace

double BaseHeight(double lowest, double highest) {
  return std::floor(lowest - std::max(1.0, (highest - lowest) / 10));
}

Base BaseUnder(const std::vector<Corner>& corners, const std::vector<uint32_t>& indices) {
  Base base;
  float lowest = 0, highest = 0;
  for (size_t i = 0; i < corners.size(); ++i) {
    lowest = i == 0 ? corners[i].y : std::min(lowest, corners[i].y);
    highest = i == 0 ? corners[i].y : std::max(highest, corners[i].y);
  }
  base.bottom = static_cast<float>(BaseHeight(lowest, highest));
  base.outline = OutlineEdges(indices, corners.size());
  float x0 = 0, x1 = 0, z0 = 0, z1 = 0;
  for (size_t k = 0; k < base.outline.size(); ++k) {
    const Corner& c = corners[base.outline[k].first];
    x0 = k == 0 ? c.x : std::min(x0, c.x), x1 = k == 0 ? c.x : std::max(x1, c.x);
    z0 = k == 0 ? c.z : std::min(z0, c.z), z1 = k == 0 ? c.z : std::max(z1, c.z);
  }
  base.centre = Corner{(x0 + x1) / 2, base.bottom, (z0 + z1) / 2};
  base.fan = SeesEveryEdgeFromInside(corners, base.outline, base.centre);
  return base;
}

}  // namespace mesh_export
