// The haze over the terrain: fixed-function fog. The camera's view lives in the projection
// matrix, so the eye space fog measures in is the world's; here the camera's position moves
// from the projection to the modelview for the terrain alone, and the fog takes the radial
// distance, which is then the distance from the camera. A translation changes nothing of
// the lighting: the light is directional and the normals do not move.
#include "HazeDrawing.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Brackenholmer.h"
#include "CurrentDrawScales.h"
#include "SkyLook.h"

namespace {

bool HasRadialFog() {
  const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  return extensions != nullptr && std::strstr(extensions, "GL_NV_fog_distance") != nullptr;
}

// The longer side of the terrain's drawn footprint.
double DrawnSide() {
  const DrawnHalf half = DrawnHalfOf(input.rows, input.cols, input.grid_space, xz_multiplier, DrawnColumnRatio());
  return 2 * std::max(std::fabs(half.x), std::fabs(half.z));
}

}  // namespace

void BeginHaze() {
  const double cx = Viewer.cam_x, cy = Viewer.cam_y, cz = Viewer.cam_z;
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glTranslated(cx, cy, cz);
  glMatrixMode(GL_MODELVIEW);
  GLdouble model[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glPushMatrix();
  glLoadIdentity();
  glTranslated(-cx, -cy, -cz);
  glMultMatrixd(model);

  const RGBColor c = sky_look::SkyColour(0);
  const GLfloat colour[4] = {static_cast<GLfloat>(c.r), static_cast<GLfloat>(c.g), static_cast<GLfloat>(c.b), 1};
  const sky_look::HazeRange range = sky_look::HazeRangeFor(DrawnSide());
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogf(GL_FOG_START, static_cast<GLfloat>(range.start));
  glFogf(GL_FOG_END, static_cast<GLfloat>(range.end));
  glFogfv(GL_FOG_COLOR, colour);
  if (HasRadialFog()) glFogi(GL_FOG_DISTANCE_MODE_NV, GL_EYE_RADIAL_NV);
  glHint(GL_FOG_HINT, GL_NICEST);
  glEnable(GL_FOG);
}

void EndHaze() {
  glDisable(GL_FOG);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}
