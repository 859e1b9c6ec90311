// The 3-D view of a frame: camera, sky, floodlight symbol, model rotation and spin, terrain
// and its haze, the marks on it (contours, the profile path) and the map's marks over it.
#include <GL/gl.h>

#include "Brackenholmer.h"
#include "ContourDrawing.h"
#include "HazeDrawing.h"
#include "LookGlobals.h"
#include "MapMarks.h"
#include "MeasureGlobals.h"
#include "ProfilePathDrawing.h"
#include "SkyDrawing.h"

void RenderScene(SceneUse use) {
  Viewer.FlyingCamera();
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (sky) DrawSky(Viewer.cam_x_angle);
  if (light) glEnable(GL_LIGHTING);

  // The symbol is drawn before the model rotations, so it stays put while the terrain turns.
  // It marks the light for whoever flies the view; a picture shows it only when asked.
  glPushMatrix();
  if (light && (use == SceneUse::kWindow || marker_in_pictures)) Viewer.RenderFloodLight();
  glPopMatrix();

  if (animation) angle_y = Brackenholmer::ModRotd(rotation_speed + angle_y);
  glRotated(angle_x, 1, 0, 0);
  glRotated(angle_y, 0, 1, 0);
  glRotated(angle_z, 0, 0, 1);

  glPushMatrix();
  if (haze) BeginHaze();
  Viewer.RenderTriangles();
  if (haze) EndHaze();
  glPopMatrix();
  DrawContours();
  DrawProfilePath();

  // Over the finished view; the depth buffer still holds the terrain's.
  if (use == SceneUse::kPicture) DrawContourLabels();
  if (show_scale_bar) DrawScaleBar();
  if (show_north_arrow) DrawNorthArrow();
}

// A wire pyramid whose apex sits at the light's position (S, S/2, 0), S being the terrain's
// side in height units, pointing down towards the terrain's centre.
void Brackenholmer::RenderFloodLight() {
  const double s = static_cast<double>(input.rows) * input.grid_space;

  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  glTranslatef(static_cast<GLfloat>(s), static_cast<GLfloat>(0.5 * s), 0);
  glRotatef(116, 0, 0, 1);
  glScalef(static_cast<GLfloat>(s / 40), static_cast<GLfloat>(3 * s / 40),
           static_cast<GLfloat>(s / 40));
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);

  glColor3f(0.8f, 0.8f, 0.8f);
  static const GLfloat kCorners[4][3] = {{1, 1, 1}, {1, 1, -1}, {-1, 1, -1}, {-1, 1, 1}};
  for (const auto& corner : kCorners) {
    glBegin(GL_LINES);
    glVertex3f(0, 0, 0);
    glVertex3f(corner[0], corner[1], corner[2]);
    glEnd();
  }

  glColor3f(0.8f, 0.8f, 0);
  glBegin(GL_QUADS);
  glVertex3f(-1, 1, -1);
  glVertex3f(1, 1, -1);
  glVertex3f(1, 1, 1);
  glVertex3f(-1, 1, 1);
  glEnd();

  glEnable(GL_CULL_FACE);
  glEnable(GL_LIGHTING);
}
