// What a view needs before its first frame, in a window or off screen: the normals, the
// texture, the start camera, and the one-time OpenGL state of light and material.
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

#include "Brackenholmer.h"
#include "ReliefTextures.h"
#include "ViewerRelief.h"
#include "Snapshot.h"
#include "TextureLoader.h"

void SetUpScene(int /*argc*/, char** argv) {
  TextureLoader texture_loader;

  MeshWholeGrid();

  if (!screen_error) Viewer.CalcNormales();
  if (NormalTableMissing()) return;  // OpenViewer refuses the grid
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

  // Relief shading is made afresh for this context, in tiles it takes.
  relief_texture_limit = std::min(relief_texture_limit, ContextTextureLimit());
  ForgetRelief();

  glClearColor(0, 0, 0, 0);
  glShadeModel(GL_SMOOTH);

  // Colour material makes ambient and diffuse the current colour, but Mesa applies it only
  // when the colour changes: they start as the current colour, white, so that the first
  // terrain drawn in white looks as every later one.
  const GLfloat mat_ambient[] = {1.0f, 1.0f, 1.0f, 1.0f};
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
