// Hillshade as gdaldem hillshade -compute_edges makes it, row bands on the build threads.
#include <cmath>
#include <limits>

#include "HillshadeLight.h"
#include "ReliefWork.h"

namespace relief {
namespace {

constexpr int kBandRows = 16;
constexpr double kHole = std::numeric_limits<double>::quiet_NaN();

struct Window {
  double w[9];  // north-west to south-east, row by row
};

class WindowMaker {
 public:
  explicit WindowMaker(const Heights& h) : h_(h) {}

  // The 3 x 3 window around (r, c) with gdaldem's -compute_edges rules: beyond the first
  // and last rows a neighbour is extrapolated across rows (2 * edge - inner) with the
  // columns clamped; beyond the first and last columns, across columns. Extrapolating from
  // a NODATA hole gives a hole; holes then take the centre's height.
  Window Around(int r, int c) const {
    const int last_r = h_.rows() - 1, last_c = h_.cols() - 1;
    Window win;
    double* w = win.w;
    if (last_r < 1 || last_c < 1) {  // too thin to extrapolate: clamp
      for (int i = 0; i < 9; ++i) w[i] = Z(std::clamp(r + i / 3 - 1, 0, last_r), std::clamp(c + i % 3 - 1, 0, last_c));
    } else if (r == 0 || r == last_r) {
      const int cols[3] = {c == 0 ? c : c - 1, c, c == last_c ? c : c + 1};
      const int inner = r == 0 ? 1 : last_r - 1;
      const int outside = r == 0 ? 0 : 6, edge = 3, in = r == 0 ? 6 : 0;
      for (int k = 0; k < 3; ++k) {
        const double e = Z(r, cols[k]), i = Z(inner, cols[k]);
        w[edge + k] = e;
        w[in + k] = i;
        w[outside + k] = 2 * e - i;
      }
    } else {
      for (int k = 0; k < 3; ++k) {
        double* row = w + 3 * k;
        const int rr = r + k - 1;
        if (c == 0) {
          row[1] = Z(rr, 0), row[2] = Z(rr, 1), row[0] = 2 * row[1] - row[2];
        } else if (c == last_c) {
          row[0] = Z(rr, c - 1), row[1] = Z(rr, c), row[2] = 2 * row[1] - row[0];
        } else {
          row[0] = Z(rr, c - 1), row[1] = Z(rr, c), row[2] = Z(rr, c + 1);
        }
      }
    }
    for (double& v : win.w)
      if (std::isnan(v)) v = w[4];
    return win;
  }

 private:
  double Z(int r, int c) const { return h_.IsHole(r, c) ? kHole : h_.Raw(r, c); }
  const Heights& h_;
};

uint8_t Byte(double grey) { return static_cast<uint8_t>(std::min(255.0, grey + 0.5)); }

}  // namespace

bool Hillshade(const ReliefGrid& g, const Sun& sun, uint8_t* out, const Stop& stop) {
  const Heights h(g);
  const int rows = h.rows(), cols = h.cols();
  const HillshadeLight light(sun, g.z_factor);
  const double inv_ew = 1 / g.column_spacing, inv_ns = 1 / g.row_spacing;
  const WindowMaker windows(h);
  auto shade_window = [&](const Window& win) {
    const double* w = win.w;
    const double x = ((w[0] + 2 * w[3] + w[6]) - (w[2] + 2 * w[5] + w[8])) * inv_ew;
    const double y = ((w[0] + 2 * w[1] + w[2]) - (w[6] + 2 * w[7] + w[8])) * inv_ns;
    return Byte(light.Grey(x, y));
  };
  auto shade_edge = [&](int r, int c) { return h.IsHole(r, c) ? uint8_t{0} : shade_window(windows.Around(r, c)); };
  auto band = [&](int b) {
    const int r_end = std::min(rows, (b + 1) * kBandRows);
    for (int r = b * kBandRows; r < r_end; ++r) {
      uint8_t* o = out + static_cast<size_t>(r) * cols;
      if (r == 0 || r == rows - 1 || cols < 3) {
        for (int c = 0; c < cols; ++c) o[c] = shade_edge(r, c);
        continue;
      }
      o[0] = shade_edge(r, 0);
      o[cols - 1] = shade_edge(r, cols - 1);
      const int *n = h.Row(r - 1), *m = h.Row(r), *s = h.Row(r + 1);
      for (int c = 1; c < cols - 1; ++c) {
        if (h.holes() && (h.IsHoleValue(n[c - 1]) || h.IsHoleValue(n[c]) || h.IsHoleValue(n[c + 1]) ||
                          h.IsHoleValue(m[c - 1]) || h.IsHoleValue(m[c]) || h.IsHoleValue(m[c + 1]) ||
                          h.IsHoleValue(s[c - 1]) || h.IsHoleValue(s[c]) || h.IsHoleValue(s[c + 1]))) {
          o[c] = shade_edge(r, c);
          continue;
        }
        // Integer sums are exact, as gdaldem's float ones are for heights this size.
        const double x = (static_cast<double>(n[c - 1]) + 2.0 * m[c - 1] + s[c - 1] - n[c + 1] - 2.0 * m[c + 1] - s[c + 1]) * inv_ew;
        const double y = (static_cast<double>(n[c - 1]) + 2.0 * n[c] + n[c + 1] - s[c - 1] - 2.0 * s[c] - s[c + 1]) * inv_ns;
        o[c] = Byte(light.Grey(x, y));
      }
    }
  };
  return RunSteps((rows + kBandRows - 1) / kBandRows, g, stop, band);
}

}  // namespace relief
