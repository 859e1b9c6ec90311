// The height under the pointer: the depth buffer gives the drawn point under it, and
// gluUnProject takes that back through the camera and the model turns.
#include <GL/gl.h>
#include <GL/glu.h>

#include <climits>

#include "Brackenholmer.h"
#include "CurrentDrawScales.h"
#include "Probe.h"

int pointer_x = -1, pointer_y = -1;

void ProbePointer() {
  probe_text.clear();
  if (pointer_x < 0 || pointer_y < 0 || pointer_x >= width || pointer_y >= height) return;
  if (left_button || right_button || input.values == nullptr) return;
  if (pointer_y >= panel_top) return;  // over the panel
  const int gl_y = height - 1 - pointer_y;  // GL counts rows from the bottom
  // As a whole number: a float holds too few digits of the depths close to 1 that far
  // terrain has.
  GLuint depth_bits = UINT_MAX;
  glReadPixels(pointer_x, gl_y, 1, 1, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, &depth_bits);
  if (depth_bits == UINT_MAX) return;  // the sky
  const double depth = depth_bits / static_cast<double>(UINT_MAX);
  // The modelview holds the model turns alone here; the centring is undone below.
  GLdouble model[16], projection[16], x, y, z;
  GLint view[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, view);
  if (gluUnProject(pointer_x + 0.5, gl_y + 0.5, depth, model, projection, view, &x, &y, &z) != GL_TRUE) return;
  const DrawScales scales = CurrentDrawScales();
  GridSpot spot;
  if (!GridSpotAt(x, z, input.rows, input.cols, scales, spot)) return;
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
