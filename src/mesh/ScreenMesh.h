// What the meshers that follow the view share: the first, coarse mesh a window shows while
// a grid's error hierarchy is made.
#pragma once

#include <algorithm>

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

}  // namespace mesh
