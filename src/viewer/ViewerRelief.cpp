#include "ViewerRelief.h"

#include <cmath>

#include "Brackenholmer.h"
#include "CurrentColourRamp.h"
#include "CurrentDrawScales.h"
#include "GridCache.h"
#include "LatestWorker.h"
#include "LookGlobals.h"
#include "ParallelIndices.h"
#include "ReliefShade.h"

int relief_texture_limit = 1 << 30;  // until a context tells

namespace {

// Everything the shading depends on; a change asks for new shading.
struct ReliefKey {
  mesh::QuickGridKey grid{};  // a grid loaded in the place of another tells itself by its heights
  bool coloured = false;  // the colour ramp baked in, for "Color" shading
  unsigned long ramp_version = 0;
  relief::ShadeOptions shade;
  double column_spacing = 1, row_spacing = 1, z_factor = 1;
  bool nodata_holes = true;
  int limit = 0;

  bool operator==(const ReliefKey&) const = default;
};

struct ReliefOrder {
  ReliefKey key;
  std::function<RGBColor(double metres)> ramp;
};

ReliefKey CurrentKey() {
  ReliefKey k;
  k.grid = mesh::QuickKeyOfGrid(input);
  k.coloured = rendering_mode == 0;
  k.ramp_version = k.coloured ? ColourRampVersion() : 0;
  k.shade.sun.azimuth = sun_azimuth;
  k.shade.sun.altitude = sun_altitude;
  k.shade.sun.multidirectional = multidirectional != 0;
  k.shade.shadows = cast_shadows != 0;
  k.shade.ambient_occlusion = ambient_occlusion != 0;
  const DrawScales s = CurrentDrawScales();
  k.column_spacing = s.column;
  k.row_spacing = s.row;
  k.z_factor = s.height;
  k.nodata_holes = input.has_nodata && show_nodata == 0;
  k.limit = relief_texture_limit;
  return k;
}

// The colour of each point times its shade, three bytes a point.
std::vector<uint8_t> BakeColours(const std::vector<uint8_t>& shade, const ReliefOrder& o,
                                 const std::function<bool()>& superseded) {
  const data& g = input;
  std::vector<uint8_t> rgb(shade.size() * 3);
  const auto row = [&](int r) {
    for (int c = 0; c < g.cols; ++c) {
      const size_t i = static_cast<size_t>(r) * g.cols + c;
      const RGBColor colour = o.ramp(Metres(g.values[r][c]));
      const double s = shade[i];
      rgb[3 * i] = static_cast<uint8_t>(std::lround(std::clamp(colour.r, 0.0, 1.0) * s));
      rgb[3 * i + 1] = static_cast<uint8_t>(std::lround(std::clamp(colour.g, 0.0, 1.0) * s));
      rgb[3 * i + 2] = static_cast<uint8_t>(std::lround(std::clamp(colour.b, 0.0, 1.0) * s));
    }
  };
  mesh::ForEachIndex(g.rows, mesh::BuildThreads(static_cast<long long>(g.rows) * g.cols),
                     [&] {
                       if (superseded()) throw mesh::Superseded{};
                     },
                     row);
  return rgb;
}

ReliefImage BuildRelief(const ReliefOrder& o, const std::function<bool()>& superseded) {
  const ReliefKey& k = o.key;
  relief::ReliefGrid g;
  g.grid = &input;
  g.column_spacing = k.column_spacing;
  g.row_spacing = k.row_spacing;
  g.z_factor = k.z_factor;
  g.nodata_holes = k.nodata_holes;
  std::optional<std::vector<uint8_t>> shade = relief::MakeShade(g, k.shade, superseded);
  if (!shade) throw mesh::Superseded{};
  if (!k.coloured) return TileReliefImage(std::move(*shade), input.cols, input.rows, 1, k.limit);
  std::vector<uint8_t> rgb = BakeColours(*shade, o, superseded);
  shade.reset();
  return TileReliefImage(std::move(rgb), input.cols, input.rows, 3, k.limit);
}

// Destroyed at exit, which stops the work in progress and joins the thread.
LatestWorker<ReliefOrder, ReliefImage>& Worker() {
  static LatestWorker<ReliefOrder, ReliefImage> worker(BuildRelief);
  return worker;
}

std::optional<ReliefKey> asked;  // the key of the last request

}  // namespace

bool ReliefWanted() {
  return relief_shading != 0 && input.values != nullptr && xz_multiplier > 0 && input.rows > 0 && input.cols > 0;
}

std::optional<ReliefImage> UpdateRelief() {
  if (ReliefWanted()) {
    const ReliefKey key = CurrentKey();
    if (!asked || !(*asked == key)) {
      asked = key;
      const ReliefOrder order{key, CurrentRampCopy()};
      if (!mesh_builds_in_background) return BuildRelief(order, [] { return false; });
      Worker().Request(order);
    }
  }
  return Worker().Take();
}

bool ReliefPending() { return Worker().Pending(); }

bool ReliefReady() { return Worker().Ready(); }

void ForgetRelief() { asked.reset(); }
