#include "GLTestState.h"

#include <GL/freeglut.h>

#include "Brackenholmer.h"
#include "ControlPanel.h"
#include "../support/ViewerStartState.h"

void ResetViewerState() {
  DestroyControlPanel();
  panel_control_callback = GluiControl;

  viewer_test::RestoreViewerStartState();
  terrain_border_1 = {0, 0, 0};
  terrain_border_2 = {input.cols, 0, input.rows};
  terrain_size = input.rows > input.cols ? input.rows : input.cols;
  Viewer.cam_x_angle = 120;
  glutSetWindow(main_window);
  width = 1024;
  height = 768;
  glViewport(0, 0, width, height);
  for (GLenum mode : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW}) {
    glMatrixMode(mode);
    glLoadIdentity();
  }
  for (GLenum cap : {GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_COLOR_MATERIAL, GL_NORMALIZE,
                     GL_DEPTH_TEST, GL_CULL_FACE, GL_TEXTURE_2D, GL_BLEND, GL_SCISSOR_TEST,
                     GL_ALPHA_TEST, GL_FOG}) {
    glDisable(cap);
  }
  glDepthMask(GL_TRUE);
  glCullFace(GL_BACK);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glShadeModel(GL_SMOOTH);
  glColor3f(1, 1, 1);
  glClearColor(0, 0, 0, 0);
  glBindTexture(GL_TEXTURE_2D, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  texture_id = 0;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
