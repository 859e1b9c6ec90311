#include "MarksOnTerrain.h"

#include <GL/gl.h>

#include "Brackenholmer.h"
#include "CurrentDrawScales.h"

DrawnPoint DrawnAt(GridPosition p, double metres, const DrawScales& scales) {
  return {static_cast<float>(p.column * scales.column),
          static_cast<float>(metres * input.units_per_metre * scales.height),
          static_cast<float>(p.row * scales.row)};
}

void BeginMarksOnTerrain() {
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_POLYGON_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_FOG);
  glDisable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  // The view sits in the projection: scaling about the camera's place in the world is
  // scaling the eye coordinates.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glTranslated(Viewer.cam_x, Viewer.cam_y, Viewer.cam_z);
  glScaled(kTowardsEye, kTowardsEye, kTowardsEye);
  glTranslated(-Viewer.cam_x, -Viewer.cam_y, -Viewer.cam_z);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  const DrawnHalf half = DrawnHalfOf(input.rows, input.cols, input.grid_space, xz_multiplier, DrawnColumnRatio());
  glTranslatef(static_cast<GLfloat>(-half.x), 0, static_cast<GLfloat>(-half.z));  // as the terrain
}

void EndMarksOnTerrain() {
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}
