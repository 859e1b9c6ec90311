#include "SkyDrawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

#include "SkyLook.h"

namespace {

// Enough that the gradient's curve shows no steps.
constexpr int kBands = 48;

void SkyVertex(double tilt_degrees, double y) {
  const RGBColor c = sky_look::SkyColour(sky_look::RayElevation(tilt_degrees, y));
  glColor3f(static_cast<GLfloat>(c.r), static_cast<GLfloat>(c.g), static_cast<GLfloat>(c.b));
  glVertex2f(-1, static_cast<GLfloat>(y));
  glVertex2f(1, static_cast<GLfloat>(y));
}

}  // namespace

void DrawSky(double tilt_degrees) {
  glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_POLYGON_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT);
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);
  glDisable(GL_FOG);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glShadeModel(GL_SMOOTH);
  // Identity matrices: an orthographic projection straight onto the view, -1..1 each way.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  // Band edges at even heights, and one on the horizon so the gradient's kink sits there.
  std::vector<double> edges;
  for (int i = 0; i <= kBands; ++i) edges.push_back(-1.0 + 2.0 * i / kBands);
  const double horizon = sky_look::HorizonHeight(tilt_degrees);
  if (horizon > -1 && horizon < 1) edges.push_back(horizon);
  std::sort(edges.begin(), edges.end());
  glBegin(GL_QUAD_STRIP);
  for (double y : edges) SkyVertex(tilt_degrees, y);
  glEnd();

  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}
