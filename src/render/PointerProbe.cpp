// The height under the pointer, and the profile path's clicks: the depth buffer gives the
// drawn point under a window pixel, and gluUnProject takes that back through the camera
// and the model turns. Both run right after the 3-D view is drawn, while its matrices and
// depth are current.
#include <GL/gl.h>
#include <GL/glu.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <vector>

#include "Brackenholmer.h"
#include "CurrentDrawScales.h"
#include "Probe.h"
#include "ProfilePath.h"

int pointer_x = -1, pointer_y = -1;

namespace {

struct PathClick {
  int x, y;
  bool add;  // else: take the last corner away
};
std::vector<PathClick> path_clicks;

// The grid position drawn at window pixel (px, py); false over the sky, the panel or
// beside the grid.
bool GridPositionUnder(int px, int py, GridPosition& at) {
  if (px < 0 || py < 0 || px >= width || py >= height || input.values == nullptr) return false;
  if (py >= panel_top) return false;  // over the panel
  const int gl_y = height - 1 - py;   // GL counts rows from the bottom
  // As a whole number: a float holds too few digits of the depths close to 1 that far
  // terrain has.
  GLuint depth_bits = UINT_MAX;
  glReadPixels(px, gl_y, 1, 1, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, &depth_bits);
  if (depth_bits == UINT_MAX) return false;  // the sky
  const double depth = depth_bits / static_cast<double>(UINT_MAX);
  // The modelview holds the model turns alone here; the centring is undone below.
  GLdouble model[16], projection[16], x, y, z;
  GLint view[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, view);
  if (gluUnProject(px + 0.5, gl_y + 0.5, depth, model, projection, view, &x, &y, &z) != GL_TRUE) return false;
  return GridPositionAt(x, z, input.rows, input.cols, CurrentDrawScales(), at);
}

// The console's line for a corner added: where, how high, and the path's length so far.
void ReportProfilePoint(GridPosition at) {
  double metres = 0;
  char height_text[32] = "NODATA";
  if (HeightAt(input, at, &metres)) std::snprintf(height_text, sizeof height_text, "%.2f m", metres);
  printf("\tProfile point %zu at column %.4f, row %.4f: %s; the path is %.1f m long.\n", ProfilePath().size(),
         at.column, at.row, height_text, CurrentProfile().horizontal_length);
  fflush(stdout);
}

}  // namespace

void ProbePointer() {
  probe_text.clear();
  if (left_button || right_button) return;
  GridPosition at;
  if (!GridPositionUnder(pointer_x, pointer_y, at)) return;
  const GridSpot spot{static_cast<int>(std::lround(at.row)), static_cast<int>(std::lround(at.column))};
  // The mesh's height is looked up once per grid point and mesh, not every frame.
  static GridSpot last_spot{-1, -1};
  static unsigned long last_mesh = 0;
  static double mesh_height = 0;
  static bool mesh_known = false;
  if (spot.row != last_spot.row || spot.column != last_spot.column || Viewer.DrawnMeshVersion() != last_mesh) {
    last_spot = spot;
    last_mesh = Viewer.DrawnMeshVersion();
    mesh_known = MeshHeightAt(Viewer.DrawnMesh(), spot, mesh_height);
  }
  probe_text = ProbeText(spot, mesh_known, mesh_height);
}

void ClickProfilePath(int x, int y, bool add) {
  path_clicks.push_back({x, y, add});
}

bool TakeProfilePathClicks() {
  bool changed = false;
  for (const PathClick& click : path_clicks) {
    GridPosition at;
    if (!click.add) {
      if (ProfilePath().empty()) continue;
      RemoveLastProfilePoint();
      changed = true;
      printf("\tProfile point %zu taken away; the path is %.1f m long.\n", ProfilePath().size() + 1,
             CurrentProfile().horizontal_length);
      fflush(stdout);
    } else if (GridPositionUnder(click.x, click.y, at)) {
      AddProfilePoint(at);
      changed = true;
      ReportProfilePoint(at);
    }
  }
  path_clicks.clear();
  return changed;
}
