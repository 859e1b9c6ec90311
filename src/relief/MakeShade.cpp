// The final shade: the hillshade, halved in cast shadows and dimmed where the sky is
// closed. Each part takes one byte a point.
#include <cmath>

#include "ReliefShade.h"

namespace relief {

std::optional<std::vector<uint8_t>> MakeShade(const ReliefGrid& g, const ShadeOptions& o, const Stop& stop) {
  const size_t points = static_cast<size_t>(g.grid->rows) * g.grid->cols;
  std::vector<uint8_t> shade(points);
  if (!Hillshade(g, o.sun, shade.data(), stop)) return std::nullopt;
  std::vector<uint8_t> lit, open;
  if (o.shadows) {
    lit.resize(points);
    if (!CastShadows(g, o.sun, lit.data(), stop)) return std::nullopt;
  }
  if (o.ambient_occlusion) {
    open.resize(points);
    if (!SkyView(g, o.directions, open.data(), stop)) return std::nullopt;
  }
  if (!o.shadows && !o.ambient_occlusion) return shade;
  for (size_t i = 0; i < points; ++i) {
    double v = shade[i];
    if (o.shadows && lit[i] == 0) v *= 0.5;
    if (o.ambient_occlusion) v *= 0.35 + 0.65 * open[i] / 255;
    shade[i] = static_cast<uint8_t>(v + 0.5);  // NODATA holes stay 0
  }
  return shade;
}

}  // namespace relief
