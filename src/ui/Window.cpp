// The main window: start-up order, and the reshape and idle callbacks.
#include <X11/Xlib.h>

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Brackenholmer.h"
#include "ControlPanel.h"

namespace {

// glutInit ends the process with a library error when there is no display; say so in the
// program's own words instead. The connection stays open until GLUT has its own: a fresh
// server with no other client would otherwise reset when it closes, and GLUT's own
// connection would then be refused.
Display* OpenDisplayProbe() {
  const char* name = getenv("DISPLAY");
  if (name == nullptr || name[0] == 0) {
    printf("\t%s\n\n", "No display found: Brackenholmer needs a graphical desktop (DISPLAY is not set).");
    return nullptr;
  }
  Display* display = XOpenDisplay(name);
  if (display == nullptr) {
    printf("\tNo display found: Brackenholmer needs a graphical desktop (cannot open the display %s).\n\n",
           name);
  }
  return display;
}

}  // namespace

int OpenViewer(int argc, char** argv) {
  Display* probe = OpenDisplayProbe();
  if (probe == nullptr) {
    fflush(stdout);
    return 1;
  }

  glutInit(&argc, argv);
  XCloseDisplay(probe);
  // Closing the window leaves the main loop, so the process ends normally with status 0.
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowPosition(50, 50);
  // The size the command line gave, else 1024 x 768.
  glutInitWindowSize(width > 0 ? width : 1024, height > 0 ? height : 768);
  main_window = glutCreateWindow("Brackenholmer");

  GlutInit(argc, argv);
  if (NormalTableMissing()) {
    const double megabytes = static_cast<double>(input.rows) * input.cols * sizeof(Normal) / (1 << 20);
    printf("\tNot enough memory for the normals of the %d x %d grid (%.0f MB).\n\n", input.rows, input.cols,
           megabytes);
    fflush(stdout);
    glutDestroyWindow(main_window);
    return 1;
  }

  glutDisplayFunc(GlutDisplay);
  InstallPanelCallbacks();
  CreateControlPanel();
  mesh_builds_in_background = true;

  // The console lines of the start-up must be out before the loop takes over.
  fflush(stdout);
  glutMainLoop();
  return 0;
}

void GlutInit(int argc, char** argv) { SetUpScene(argc, argv); }

void GlutReshape(int w, int h) {
  width = w;
  height = h;
  // A zero height is handled by the camera, which then keeps the old projection.
  Viewer.FlyingCamera();
  RequestRedraw();
}
