// Shadows cast by the terrain, in one sweep along the sun's rays: every point carries the
// height of the shadow surface above it, s = max(z, s upstream - drop), the upstream value
// taken between the two points of the previous line that the ray comes from.
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "ReliefWork.h"

namespace relief {
namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();
constexpr int kStopLines = 16;

// A ray's way from one line of the sweep to the next: it moves `shift` positions along
// the line (|shift| <= 1) and sinks `drop` height units.
struct Ray {
  int floor_offset;  // floor(-shift)
  double t;          // -shift - floor(-shift)
  double drop;
};

double Upstream(const double* prev, int n, int p, const Ray& ray) {
  const int i = p + ray.floor_offset;
  if (ray.t == 0) return i >= 0 && i < n ? prev[i] : kNone;
  if (i < 0 || i + 1 >= n) return kNone;
  return prev[i] + ray.t * (prev[i + 1] - prev[i]);
}

// Sweeps lines (rows, or columns when kByColumns) in the rays' order. Columns go in blocks,
// a row at a time across the block, so that memory is read along rows.
template <bool kByColumns>
bool Sweep(const Heights& h, bool forward, double shift, double drop, uint8_t* out, const Stop& stop) {
  const int lines = kByColumns ? h.cols() : h.rows(), positions = kByColumns ? h.rows() : h.cols();
  const int block = kByColumns ? 16 : 1;
  if (std::abs(shift - std::round(shift)) < 1e-9) shift = std::round(shift);  // sin(180) is not 0
  const double f = std::floor(-shift);
  const Ray ray{static_cast<int>(f), -shift - f, drop};
  std::vector<std::vector<double>> s(block + 1, std::vector<double>(positions, kNone));
  const size_t cols = static_cast<size_t>(h.cols());
  for (int done = 0; done < lines; done += block) {
    if (done % kStopLines == 0 && stop && stop()) return false;
    const int n = std::min(block, lines - done);
    for (int k = 0; k < positions; ++k) {
      const int p = shift >= 0 ? k : positions - 1 - k;  // upstream positions first
      for (int j = 1; j <= n; ++j) {
        const int line = forward ? done + j - 1 : lines - done - j;
        const int r = kByColumns ? p : line, c = kByColumns ? line : p;
        const double up = Upstream(s[j - 1].data(), positions, p, ray) - ray.drop;
        uint8_t& o = out[r * cols + c];
        if (h.IsHole(r, c)) {
          s[j][p] = up;
          o = 0;
          continue;
        }
        const double z = h.At(r, c);
        const bool shadowed = up - z > 1e-6 + 1e-12 * std::abs(z);  // not a lit slope's rounding
        s[j][p] = shadowed ? up : z;
        o = shadowed ? 0 : 255;
      }
    }
    std::swap(s[0], s[n]);
  }
  return true;
}

}  // namespace

bool CastShadows(const ReliefGrid& g, const Sun& sun, uint8_t* out, const Stop& stop) {
  const Heights h(g);
  const size_t points = static_cast<size_t>(h.rows()) * h.cols();
  if (sun.altitude >= 90 || sun.altitude < 0) {
    if (stop && stop()) return false;
    std::memset(out, sun.altitude < 0 ? 0 : 255, points);
    for (int r = 0; r < h.rows(); ++r)
      for (int c = 0; c < h.cols(); ++c)
        if (h.IsHole(r, c)) out[r * static_cast<size_t>(h.cols()) + c] = 0;
    return true;
  }
  constexpr double kRadians = 3.14159265358979323846 / 180;
  // The rays' way in grid cells a unit of ground: away from the azimuth, rows southward.
  const double dc = -std::sin(sun.azimuth * kRadians) / g.column_spacing;
  const double dr = std::cos(sun.azimuth * kRadians) / g.row_spacing;
  const double tan_alt = std::tan(sun.altitude * kRadians);
  if (std::abs(dr) >= std::abs(dc))
    return Sweep<false>(h, dr > 0, dc / std::abs(dr), tan_alt / std::abs(dr), out, stop);
  return Sweep<true>(h, dc > 0, dr / std::abs(dc), tan_alt / std::abs(dc), out, stop);
}

}  // namespace relief
