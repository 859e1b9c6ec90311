// The pixel bound a view's mesh is built to when the mesh at the bound asked for holds more
// triangles than the cap: the least larger bound (within 2%) whose mesh does not.
#pragma once

#include <cmath>

namespace mesh {

// count(bound, limit) gives the triangles of the mesh at `bound`, or some number above
// `limit` when there are more; it never grows as the bound grows.
template <class Count>
double RaisedScreenBound(double bound, long long cap, Count count) {
  double lo = bound, hi = bound * 2;
  // Forced splits alone may hold more than the cap: then the coarsest view mesh is taken.
  for (int doubling = 0; count(hi, cap) > cap; ++doubling) {
    lo = hi;
    hi *= 2;
    if (doubling > 40) return hi;
  }
  while (hi > lo * 1.02) {
    const double mid = std::sqrt(lo * hi);
    (count(mid, cap) <= cap ? hi : lo) = mid;
  }
  return hi;
}

}  // namespace mesh
