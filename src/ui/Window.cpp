// The main window: start-up order, the one-time OpenGL state (normals, texture, camera,
// light and material), and the reshape and idle callbacks.
#include <GL/freeglut.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Brackenholmer.h"
#include "ControlPanel.h"
#include "Snapshot.h"
#include "TextureLoader.h"

// Last: Xlib defines Status as a macro, which would break the Status of Snapshot.h.
#include <X11/Xlib.h>

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
  if (normales == nullptr) {
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

void GlutInit(int /*argc*/, char** argv) {
  TextureLoader texture_loader;

  MeshWholeGrid();

  Viewer.CalcNormales();
  if (normales == nullptr) return;  // OpenViewer refuses the grid
  if (argv[1] != nullptr) {
    snapshot_stem = snapshot::NameStem(argv[1], input.cols, input.rows);
    grid_file = argv[1];
  }

  if (argv[1] != nullptr && argv[2] != nullptr) {
    printf("\t%s %s %s\n\n", "Loading the texture file", argv[2], "..");
    fflush(stdout);
    texture_id = texture_loader.LoadBMPTexture(argv[2]);
    if (texture_id != 0) texture_file = argv[2];
    printf("\t%s\n\n", texture_loader.msg);
    if (texture_loader.reason[0] != 0) printf("\t%s\n\n", texture_loader.reason);
    fflush(stdout);
  }

  // Products of grid size and spacing in double: large grids leave the int range.
  const double r = static_cast<double>(input.rows) * input.grid_space;
  const double g = input.grid_space;
  ResetView();
  Viewer.air_speed = static_cast<GLfloat>(g * 10.0);

  glClearColor(0, 0, 0, 0);
  glShadeModel(GL_SMOOTH);

  const GLfloat mat_ambient[] = {0.3f, 0.3f, 0.3f, 1.0f};
  const GLfloat mat_diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
  const GLfloat mat_specular[] = {0.4f, 0.4f, 0.4f, 1.0f};
  const GLfloat mat_shininess[] = {50.0f};
  const GLfloat light1_ambient[] = {0.3f, 0.3f, 0.3f, 1.0f};
  const GLfloat light1_diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
  const GLfloat light1_specular[] = {0.8f, 0.8f, 0.8f, 1.0f};
  // w = 0: a directional light from the floodlight's place, fixed in the world because the
  // modelview matrix is still the identity here.
  const GLfloat light1_position[] = {static_cast<GLfloat>(r), static_cast<GLfloat>(r * 0.5), 0.0f, 0.0f};
  const GLfloat spot_direction[] = {-1.0f, -0.5f, 0.0f};

  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, mat_ambient);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, mat_diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, mat_specular);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SHININESS, mat_shininess);
  glLightfv(GL_LIGHT1, GL_AMBIENT, light1_ambient);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, light1_diffuse);
  glLightfv(GL_LIGHT1, GL_SPECULAR, light1_specular);
  glLightfv(GL_LIGHT1, GL_POSITION, light1_position);
  glLightf(GL_LIGHT1, GL_SPOT_CUTOFF, 45.0f);
  glLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, spot_direction);
  glLightf(GL_LIGHT1, GL_SPOT_EXPONENT, 2.0f);

  glEnable(GL_LIGHT1);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_NORMALIZE);
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
}

void GlutReshape(int w, int h) {
  width = w;
  height = h;
  // A zero height is handled by the camera, which then keeps the old projection.
  Viewer.FlyingCamera();
  RequestRedraw();
}
