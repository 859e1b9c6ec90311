// Start-up state, reshape and idle of the main window, read back from real GL.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "Brackenholmer.h"
#include "GLTestState.h"
#include "TestGrid.h"

namespace {

struct Vec4 {
  GLfloat v[4];
};

Vec4 Light(GLenum pname) {
  Vec4 out{{0, 0, 0, 0}};
  glGetLightfv(GL_LIGHT1, pname, out.v);
  return out;
}

// Runs GlutInit the way OpenViewer does: in a fresh context whose modelview is the identity.
std::string RunGlutInit(const char* texture) {
  char program[] = "brackenholmer";
  char grid[] = "grid.asc";
  std::string texture_arg = texture ? texture : "";
  char* argv[] = {program, grid, texture ? texture_arg.data() : nullptr, nullptr};
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  texture_id = 0;
  testing::internal::CaptureStdout();
  GlutInit(texture ? 3 : 2, argv);
  return testing::internal::GetCapturedStdout();
}

// Row lengths of the upper-left 3 x 3 of the projection matrix: the view in it is a
// rotation, so rows 0 and 1 have the lengths f / aspect and f of the perspective.
void ProjectionScales(double& row0, double& row1) {
  GLdouble m[16];
  glGetDoublev(GL_PROJECTION_MATRIX, m);
  // Column-major: element (row, col) is m[col * 4 + row].
  row0 = std::sqrt(m[0] * m[0] + m[4] * m[4] + m[8] * m[8]);
  row1 = std::sqrt(m[1] * m[1] + m[5] * m[5] + m[9] * m[9]);
}

class WindowTest : public GLStateTest {
 protected:
  void TearDown() override {
    // Leave the shared window as the other tests expect it.
    GlutReshape(1024, 768);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
};

}  // namespace

TEST_F(WindowTest, GlutInitSetsBordersCameraLightAndMaterial) {
  MakeFlatGrid(100, 120, 90, 50);
  EXPECT_EQ(RunGlutInit(nullptr), "");
  EXPECT_EQ(texture_id, 0u);

  // The mesh covers the whole grid; its size is the longer side.
  EXPECT_EQ(terrain_border_1.x, 0);
  EXPECT_EQ(terrain_border_1.z, 0);
  EXPECT_EQ(terrain_border_2.x, 120);
  EXPECT_EQ(terrain_border_2.z, 100);
  EXPECT_EQ(terrain_size, 120);

  EXPECT_EQ(Viewer.cam_x_angle, 120.0);
  EXPECT_EQ(Viewer.cam_y_angle, 0.0);
  EXPECT_EQ(Viewer.cam_x, 0.0);
  EXPECT_EQ(Viewer.cam_y, 9000.0);
  EXPECT_EQ(Viewer.cam_z, 13500.0);
  EXPECT_EQ(Viewer.air_speed, 900.0f);

  // Normals were made for the grid, and point up on flat ground.
  ASSERT_NE(normales, nullptr);
  EXPECT_GT(normales[50][60].y, 0.0f);
  EXPECT_EQ(normales[50][60].x, 0.0f);
  EXPECT_EQ(normales[99][119].z, 0.0f);

  const Vec4 position = Light(GL_POSITION);
  EXPECT_FLOAT_EQ(position.v[0], 9000.0f);
  EXPECT_FLOAT_EQ(position.v[1], 4500.0f);
  EXPECT_FLOAT_EQ(position.v[2], 0.0f);
  EXPECT_FLOAT_EQ(position.v[3], 0.0f);
  const Vec4 direction = Light(GL_SPOT_DIRECTION);
  EXPECT_FLOAT_EQ(direction.v[0], -1.0f);
  EXPECT_FLOAT_EQ(direction.v[1], -0.5f);
  EXPECT_FLOAT_EQ(direction.v[2], 0.0f);
  EXPECT_FLOAT_EQ(Light(GL_AMBIENT).v[0], 0.3f);
  EXPECT_FLOAT_EQ(Light(GL_DIFFUSE).v[1], 1.0f);
  EXPECT_FLOAT_EQ(Light(GL_SPECULAR).v[2], 0.8f);
  EXPECT_FLOAT_EQ(Light(GL_SPECULAR).v[3], 1.0f);
  EXPECT_FLOAT_EQ(Light(GL_SPOT_CUTOFF).v[0], 45.0f);
  EXPECT_FLOAT_EQ(Light(GL_SPOT_EXPONENT).v[0], 2.0f);

  // Ambient and diffuse follow the current colour through colour material; specular and
  // shininess stay as given, on both faces.
  for (GLenum face : {GL_FRONT, GL_BACK}) {
    GLfloat specular[4], shininess = 0;
    glGetMaterialfv(face, GL_SPECULAR, specular);
    glGetMaterialfv(face, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(specular[0], 0.4f);
    EXPECT_FLOAT_EQ(specular[3], 1.0f);
    EXPECT_FLOAT_EQ(shininess, 50.0f);
  }

  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
  EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  GLint cull = 0, shade = 0;
  GLboolean depth_mask = GL_FALSE;
  GLfloat clear[4] = {1, 1, 1, 1};
  glGetIntegerv(GL_CULL_FACE_MODE, &cull);
  glGetIntegerv(GL_SHADE_MODEL, &shade);
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depth_mask);
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(cull, GL_BACK);
  EXPECT_EQ(shade, GL_SMOOTH);
  EXPECT_EQ(depth_mask, GL_TRUE);
  EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);
}

TEST_F(WindowTest, ProductsOfGridSizeAndSpacingLeaveTheIntRangeSafely) {
  // 3 rows of a spacing of 10^9 make 3 * 10^9, beyond any int.
  MakeFlatGrid(3, 3, 1000000000, 0);
  RunGlutInit(nullptr);
  EXPECT_EQ(Viewer.cam_y, 3e9);
  EXPECT_EQ(Viewer.cam_z, 4.5e9);
  EXPECT_FLOAT_EQ(Viewer.air_speed, 1e10f);
  const Vec4 position = Light(GL_POSITION);
  EXPECT_FLOAT_EQ(position.v[0], 3e9f);
  EXPECT_FLOAT_EQ(position.v[1], 1.5e9f);
}

TEST_F(WindowTest, TextureArgumentIsLoadedAndReported) {
  MakeFlatGrid(16, 16, 90, 100);
  const std::string path = std::string(REPO_DATA_DIR) + "/jacksboro_403x344.bmp";
  const std::string out = RunGlutInit(path.c_str());
  EXPECT_EQ(out, "\tLoading the texture file " + path + " ..\n\n\tThe file " + path +
                     " was loaded succesfully.\n\n");
  ASSERT_NE(texture_id, 0u);
  EXPECT_TRUE(glIsTexture(texture_id));
  GLint w = 0;
  glBindTexture(GL_TEXTURE_2D, texture_id);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  EXPECT_EQ(w, 403);
  glDeleteTextures(1, &texture_id);
  texture_id = 0;
}

TEST_F(WindowTest, MissingTextureIsReportedAndStartUpGoesOn) {
  MakeFlatGrid(16, 16, 90, 100);
  const std::string path = testing::TempDir() + "no_such_texture.bmp";
  std::remove(path.c_str());
  const std::string out = RunGlutInit(path.c_str());
  EXPECT_EQ(out, "\tLoading the texture file " + path + " ..\n\n\tCould not open the file " + path +
                     "\n\n\tNo such file or directory\n\n");
  EXPECT_EQ(texture_id, 0u);
  // The rest of the start-up still ran.
  EXPECT_EQ(Viewer.cam_y, 1440.0);
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
}

TEST_F(WindowTest, ReshapeStoresTheSizeAndSetsViewportAndAspectAtOnce) {
  MakeFlatGrid(100, 100, 90, 0);
  RunGlutInit(nullptr);
  GlutReshape(800, 600);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 800);
  EXPECT_EQ(viewport[3], 600);
  double row0 = 0, row1 = 0;
  ProjectionScales(row0, row1);
  const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
  EXPECT_NEAR(row1, f, 1e-6);  // GL keeps its matrices in float
  EXPECT_NEAR(row1 / row0, 800.0 / 600.0, 1e-6);
}

TEST_F(WindowTest, ZeroHeightWindowKeepsTheLastProjection) {
  MakeFlatGrid(100, 100, 90, 0);
  RunGlutInit(nullptr);
  GlutReshape(1024, 768);
  GLdouble before[16], after[16];
  glGetDoublev(GL_PROJECTION_MATRIX, before);
  GlutReshape(1024, 0);
  EXPECT_EQ(width, 1024);
  EXPECT_EQ(height, 0);
  glGetDoublev(GL_PROJECTION_MATRIX, after);
  for (int i = 0; i < 16; ++i) {
    EXPECT_TRUE(std::isfinite(after[i])) << i;
    EXPECT_DOUBLE_EQ(after[i], before[i]) << i;
  }
}
