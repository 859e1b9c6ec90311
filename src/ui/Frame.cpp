// One frame: camera, floodlight symbol, model rotation and spin, terrain, frame rate,
// overlay text, the control panel and the help card.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

#include "Brackenholmer.h"
#include "ControlPanel.h"
#include "FrameStats.h"

void RenderScene() {
  Viewer.FlyingCamera();
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (light) glEnable(GL_LIGHTING);

  // The symbol is drawn before the model rotations, so it stays put while the terrain turns.
  glPushMatrix();
  if (light) Viewer.RenderFloodLight();
  glPopMatrix();

  if (animation) angle_y = Brackenholmer::ModRotd(rotation_speed + angle_y);
  glRotated(angle_x, 1, 0, 0);
  glRotated(angle_y, 0, 1, 0);
  glRotated(angle_z, 0, 0, 1);

  glPushMatrix();
  Viewer.RenderTriangles();
  glPopMatrix();
}

namespace {

// After a change the window draws a few frames more, so that the panel, which reacts to an
// event over a frame or two, settles, and goes on until the frame-rate figure has been
// renewed from frames drawn since the change; then it stops until the next change.
constexpr int kSettleFrames = 3;
int frames_to_settle = 0;
bool figure_pending = false;
bool mesh_watch_armed = false;

bool DrawingOn() { return animation || frames_to_settle > 0 || figure_pending; }

// Looks for a finished mesh between frames while a build is under way.
void WatchMeshBuild(int) {
  mesh_watch_armed = false;
  if (Viewer.UpdateMesh()) RequestRedraw();
  if (MeshBuildPending()) {
    mesh_watch_armed = true;
    glutTimerFunc(kMeshWatchMs, WatchMeshBuild, 0);
  }
}

}  // namespace

void RequestRedraw() {
  // Time spent idle is no frame time: the measurement starts again with the change.
  if (!DrawingOn()) {
    frames = 0;
    timebase = static_cast<float>(glutGet(GLUT_ELAPSED_TIME));
  }
  frames_to_settle = kSettleFrames;
  figure_pending = true;
  glutPostRedisplay();
}

void GlutDisplay() {
  RenderScene();
  SaveRequestedSnapshot();
  ProbePointer();

  const int now_ms = glutGet(GLUT_ELAPSED_TIME);
  UpdateFrameRate(now_ms);
  if (frames == 0) figure_pending = false;  // just renewed
  ExpireOverlayNotice(now_ms);
  ComposeOverlayText();

  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  Viewer.RenderText(text_buffer, 1);
  RenderControlPanel();
  if (show_help) RenderHelpCard();

  glutSwapBuffers();
  glFlush();

  // Nothing is drawn while nothing changes: the spin, the frames after a change, and the
  // watch over a mesh build are what ask for the next frame.
  if (DrawingOn()) {
    if (frames_to_settle > 0) --frames_to_settle;
    glutPostRedisplay();
  }
  if (MeshBuildPending() && !mesh_watch_armed) {
    mesh_watch_armed = true;
    glutTimerFunc(kMeshWatchMs, WatchMeshBuild, 0);
  }
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

// Writes each newline-separated piece of text on its own row from the top-left corner,
// in a 100 x 100 window space. Overwrites the newlines of text.
void Brackenholmer::RenderText(char* text, int /*position*/) {
  // The whole window, not the 3-D view above the panel: the text keeps its place.
  glViewport(0, 0, width, height);
  glDisable(GL_LIGHTING);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0, 100, 0, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColor3f(1, 1, 1);

  int top = 95;
  char* saved = nullptr;
  for (char* piece = strtok_r(text, "\n", &saved); piece != nullptr;
       piece = strtok_r(nullptr, "\n", &saved)) {
    glRasterPos2i(2, top);
    for (const char* c = piece; *c != '\0'; ++c) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_10, *c);
    top -= 3;
  }

  if (light) glEnable(GL_LIGHTING);
}
