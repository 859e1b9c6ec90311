// One frame as the window composes it: the 3-D view, the overlay text, the control panel
// and the help card; and when the window draws the next one.
#include <GL/freeglut.h>
#include <GL/gl.h>

#include "Brackenholmer.h"
#include "ControlPanel.h"
#include "FrameStats.h"
#include "Legend.h"
#include "LookGlobals.h"
#include "ViewerContours.h"
#include "ViewerRelief.h"

namespace {

// After a change the window draws a few frames more, so that the panel, which reacts to an
// event over a frame or two, settles, and goes on until the frame-rate figure has been
// renewed from frames drawn since the change; then it stops until the next change.
constexpr int kSettleFrames = 3;
int frames_to_settle = 0;
bool figure_pending = false;
bool mesh_watch_armed = false;

bool DrawingOn() { return animation || frames_to_settle > 0 || figure_pending; }

bool WorkPending() { return MeshBuildPending() || ReliefPending() || ContoursPending(); }

// Looks for a finished mesh or relief shading between frames while either is under way.
void WatchMeshBuild(int) {
  mesh_watch_armed = false;
  if (Viewer.UpdateMesh() || ReliefReady() || ContoursReady()) RequestRedraw();
  if (WorkPending()) {
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
  RenderScene(SnapshotRequested() ? SceneUse::kPicture : SceneUse::kWindow);
  const bool legend_drawn = SaveRequestedSnapshot();
  if (!legend_drawn && LegendShown(show_legend)) DrawLegend();
  if (TakeProfilePathClicks()) RequestRedraw();
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
  if (WorkPending() && !mesh_watch_armed) {
    mesh_watch_armed = true;
    glutTimerFunc(kMeshWatchMs, WatchMeshBuild, 0);
  }
}
