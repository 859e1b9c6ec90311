// The open sky above each point. For each direction, the grid is walked along parallel
// lines against that direction; each line keeps the upper convex hull of the profile
// walked so far on a stack, and the hull's tangent from a new point is its horizon there
// (amortised O(1) a point). Lines run through the grid at fractional offsets: a line's
// heights are interpolated between the two grid points it passes, and each grid point takes
// the horizon of the line that passes nearest it.
#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "ReliefWork.h"

namespace relief {
namespace {

// Lines a step: along rows, enough to read long runs of a row; along columns, few enough
// that the rows they cross stay in cache.
constexpr int kRowGroup = 256, kColumnGroup = 64;

struct HullPoint {
  double u, z;  // distance along the line, height
};

// How the lines of one direction cross the grid: `major` is the axis they advance along a
// point at a time (rows or columns), `minor` the other, moved by `slope` a step.
struct Lines {
  bool by_rows;   // major axis rows: the direction is closer to north-south
  bool forward;   // major index rising along the walk
  double slope;   // minor cells a major step, |slope| <= 1
  double step;    // ground distance a major step
  int majors, minors;
};

Lines LinesFor(const ReliefGrid& g, double look_azimuth) {
  // The walk goes against the look: points ahead in the look come first.
  const double wc = -std::sin(look_azimuth) / g.column_spacing, wr = std::cos(look_azimuth) / g.row_spacing;
  Lines l;
  l.by_rows = std::abs(wr) > std::abs(wc);
  const double major = l.by_rows ? wr : wc, minor = l.by_rows ? wc : wr;
  l.forward = major > 0;
  l.slope = minor / std::abs(major);
  if (std::abs(l.slope - std::round(l.slope)) < 1e-12) l.slope = std::round(l.slope);
  l.step = 1 / std::abs(major);
  l.majors = l.by_rows ? g.grid->rows : g.grid->cols;
  l.minors = l.by_rows ? g.grid->cols : g.grid->rows;
  return l;
}

// sin(atan(dz / du)) in steps of 1 / unit, from the approximate reciprocal square root
// (12 bits, ample for steps of 1/4096 at 16 directions).
inline uint16_t ClosedSky(float dz, float du, float unit) {
  const float d2 = dz * dz + du * du;
#if defined(__SSE__)
  const float inv = _mm_cvtss_f32(_mm_rsqrt_ss(_mm_set_ss(d2)));
#else
  const float inv = 1 / std::sqrt(d2);
#endif
  return static_cast<uint16_t>(std::min(unit, unit * dz * inv + 0.5f));
}

// One line's hull: points past `size` are stale.
struct Hull {
  std::vector<HullPoint> points;
  size_t size = 0;
  void Push(HullPoint p) {
    if (size == points.size()) points.push_back(p);
    else points[size] = p;
    ++size;
  }
};

// Walks lines [first, first + count) of one direction, adding each point's closed sky,
// sin(max(horizon, 0)) times `unit`, to its sum. kByRows: see Lines::by_rows.
template <bool kByRows>
void WalkLines(const Heights& h, const Lines& l, int first, int count, int unit, uint16_t* sums) {
  std::vector<Hull> hulls(count);
  const size_t cols = static_cast<size_t>(h.cols());
  const float unit_f = static_cast<float>(unit);
  const double zf = h.z_factor();
  const bool holes = h.holes();
  // The height at major a, minor b as a double, NaN at holes.
  auto height = [&](int a, int b) {
    const int v = kByRows ? h.Row(a)[b] : h.Row(b)[a];
    return holes && h.IsHoleValue(v) ? std::nan("") : v * zf;
  };
  for (int j = 0; j < l.majors; ++j) {
    const int a = l.forward ? j : l.majors - 1 - j;
    const double at = j * l.slope, below = std::floor(at), t = at - below;
    const int low = static_cast<int>(below), nearest = low + (t >= 0.5);
    const double u = j * l.step;
    const int from = std::max(first, -nearest), to = std::min(first + count, l.minors - nearest);
    // Interpolate where both points a line passes lie in the grid.
    const int lerp_from = t > 0 ? std::max(from, -low) : to, lerp_to = t > 0 ? std::min(to, l.minors - 1 - low) : to;
    for (int line = from; line < to; ++line) {
      const int b = line + nearest;
      double z;
      if (line >= lerp_from && line < lerp_to) {
        const double z0 = height(a, line + low), z1 = height(a, line + low + 1);
        z = z0 + t * (z1 - z0);
        if (std::isnan(z)) z = b == line + low ? z0 : z1;  // by a hole: the nearest point's own
      } else {
        z = height(a, b);
      }
      if (std::isnan(z)) continue;
      Hull& hull = hulls[line - first];
      const HullPoint* p = hull.points.data();
      size_t n = hull.size;
      // Drop hull points that the one below hides from here: they hide nothing later. The
      // first two tests go without branches, whose outcome no predictor could guess.
      auto hidden = [&](size_t top) {
        return (p[top - 1].z - z) * (u - p[top - 2].u) <= (p[top - 2].z - z) * (u - p[top - 1].u);
      };
      if (n >= 2) {
        n -= hidden(n);
        n -= (n >= 2) & hidden(std::max<size_t>(n, 2));  // the points stay allocated
        while (n >= 2 && hidden(n)) --n;
      }
      if (n > 0) {
        const float dz = static_cast<float>(std::max(0.0, p[n - 1].z - z)), du = static_cast<float>(u - p[n - 1].u);
        sums[(kByRows ? a * cols + b : b * cols + a)] += ClosedSky(dz, du, unit_f);
      }
      hull.size = n;
      hull.Push({u, z});
    }
  }
}

}  // namespace

bool SkyView(const ReliefGrid& g, int directions, uint8_t* out, const Stop& stop) {
  const Heights h(g);
  const size_t points = static_cast<size_t>(h.rows()) * h.cols();
  directions = std::max(directions, 1);
  // Closed sky summed over the directions in 16 bits: each adds up to 65535 / directions.
  const int unit = 65535 / directions;
  std::vector<uint16_t> sums(points, 0);
  for (int k = 0; k < directions; ++k) {
    const Lines l = LinesFor(g, 2 * 3.14159265358979323846 * k / directions);
    const int last = static_cast<int>(std::floor((l.majors - 1) * l.slope + 0.5));
    const int first = -std::max(0, last), count = l.minors + std::abs(last);
    const int group = l.by_rows ? kRowGroup : kColumnGroup;
    if (!RunSteps((count + group - 1) / group, g, stop, [&](int step) {
          const int from = first + step * group, n = std::min(group, count - step * group);
          if (l.by_rows) WalkLines<true>(h, l, from, n, unit, sums.data());
          else WalkLines<false>(h, l, from, n, unit, sums.data());
        }))
      return false;
  }
  const double scale = 255.0 / (static_cast<double>(unit) * directions);
  for (int r = 0; r < h.rows(); ++r)
    for (int c = 0; c < h.cols(); ++c) {
      const size_t i = static_cast<size_t>(r) * h.cols() + c;
      out[i] = h.IsHole(r, c) ? 0 : static_cast<uint8_t>(255.5 - sums[i] * scale);
    }
  return true;
}

}  // namespace relief
