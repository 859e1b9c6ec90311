// What the meshers that follow the view share: the first, coarse mesh a window shows while
// a grid's error hierarchy is made, and the start and end of every build.
#pragma once

#include <algorithm>
#include <atomic>

#include "MeshBuild.h"
#include "ScreenView.h"

namespace mesh {

// The plain uniform mesh at the precision asked for (at most 7 levels: it is shown for
// moments), marked coarse.
template <class Builder>
int BuildCoarseFirst(const data& grid, const Settings& s, Builder& out) {
  Settings plain = s;
  plain.screen = ScreenSettings{};
  plain.adaptive = false;
  plain.strict = false;
  plain.precision = std::min(s.precision, 7);
  const int level = BuildMesh(grid, plain, out);
  ScreenResult result;
  result.on = true;
  result.coarse = true;
  result.bound_px = s.screen.bound_px;
  out.Screen(result);
  return level;
}

// The view moves a little between builds: the last mesh's size is a good guess of the next.
inline std::atomic<long long> last_screen_mesh_size{0};

// Room in `out` for as many triangles as the last view's mesh held.
template <class Builder>
void ReserveAsLastScreenMesh(Builder& out) {
  out.Reserve(last_screen_mesh_size.load());
}

// Hands `out` what the build achieved (and no limit line: the cap only raises the bound);
// the level reached is the one asked for.
template <class Builder>
int FinishScreenMesh(const Settings& s, const ScreenResult& result, Builder& out) {
  last_screen_mesh_size = out.Count();
  out.Screen(result);
  out.Report("");
  return std::max(s.precision, 0);
}

}  // namespace mesh
