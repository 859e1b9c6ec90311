#include "PixelView.h"

#include <GL/gl.h>
#include <GL/glu.h>

bool BeginPixelView(int* view_width, int* view_height) {
  GLint view[4];
  glGetIntegerv(GL_VIEWPORT, view);
  if (view[2] <= 0 || view[3] <= 0) return false;
  *view_width = view[2];
  *view_height = view[3];
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);
  glDisable(GL_FOG);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluOrtho2D(0, view[2], 0, view[3]);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  return true;
}

void EndPixelView() {
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}
