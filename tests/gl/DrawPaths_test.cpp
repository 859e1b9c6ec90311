// The terrain drawn from vertex arrays, with buffer objects and with client arrays, gives
// the very pixels of the same mesh drawn one triangle at a time in immediate mode, in
// every shading mode, lit and unlit, filled and wireframe, with the floodlight and the
// overlay text on top.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "ControlPanel.h"
#include "GLTestState.h"
#include "MeshBuild.h"
#include "TerrainColor.h"
#include "TerrainLoader.h"
#include "TestGrid.h"
#include "TextureLoader.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

GLint Truncate(double v) {
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<GLint>(v);
}

// The reference: the mesh list of the selected mesher, one glBegin/glEnd per triangle,
// unless NODATA cells are shown without the triangles that touch one, and after it the
// triangles that close the cracks of a triangle mesh.
void DrawTerrainOneByOne() {
  if (mesh_mode != 0)
    Viewer.CreateTSDTriangles();
  else
    Viewer.CreateQSDTriangles();
  // Columns of a grid in degrees lie closer than rows; the normals are those of the surface
  // so scaled, the grid's at unit steps with x and z times the height scale over the step.
  const double ratio = square_cells ? 1.0 : GridColumnRatio();
  const float fx = static_cast<float>(input.grid_space * static_cast<double>(xz_multiplier) * ratio);
  const float fz = static_cast<float>(input.grid_space * static_cast<double>(xz_multiplier));
  const float nx = static_cast<float>(y_multiplier / (xz_multiplier * ratio));
  const float nz = static_cast<float>(y_multiplier / static_cast<double>(xz_multiplier));
  glTranslatef(static_cast<GLfloat>(-(input.cols * input.grid_space * 0.5 * xz_multiplier * ratio)), 0,
               static_cast<GLfloat>(-(input.rows * input.grid_space * 0.5 * xz_multiplier)));
  glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
  glColor3f(1, 1, 1);
  glDisable(GL_TEXTURE_2D);
  const bool textured = rendering_mode == 1 && texture_id != 0;
  auto triangle = [&](std::initializer_list<Vertex> corners) {
    if (textured) {
      glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, texture_id);
    }
    glBegin(GL_TRIANGLES);
    for (const Vertex& v : corners) {
      const Normal& n = normales[v.z][v.x];
      glNormal3f(n.x * nx, n.y, n.z * nz);
      if (rendering_mode == 0) {
        const RGBColor c = TerrainColor(v.y);
        glColor3f(static_cast<GLfloat>(c.r), static_cast<GLfloat>(c.g), static_cast<GLfloat>(c.b));
      } else if (textured) {
        glTexCoord2f(static_cast<GLfloat>(v.x / static_cast<double>(input.cols)),
                     static_cast<GLfloat>(v.z / static_cast<double>(input.rows)));
      }
      glVertex3i(Truncate(v.x * static_cast<double>(fx)), Truncate(v.y * static_cast<double>(y_multiplier)),
                 Truncate(v.z * static_cast<double>(fz)));
    }
    glEnd();
  };
  for (const TriangleList* node = Viewer.TriangleHead(); node != nullptr; node = node->next) {
    if (!show_nodata && (IsNoData(node->t.a.y) || IsNoData(node->t.b.y) || IsNoData(node->t.c.y))) continue;
    triangle({node->t.a, node->t.c, node->t.b});
  }
  // Which cracks there are is the mesh tests' business; here they are drawn one by one.
  const IndexedMesh drawn = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
  auto corner = [&](size_t i) {
    const IndexedMesh::Point p = drawn.points[drawn.indices[i]];
    return Vertex{p.x, input.values[p.z][p.x], p.z};
  };
  for (size_t i = drawn.indices.size() - 3 * static_cast<size_t>(drawn.crack_fills); i < drawn.indices.size(); i += 3)
    triangle({corner(i), corner(i + 1), corner(i + 2)});
}

std::vector<unsigned char> ReadBack() {
  glFinish();
  std::vector<unsigned char> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return rgb;
}

// One frame as GlutDisplay draws it, without the panel and the swap, with either
// terrain drawing; returns its pixels.
std::vector<unsigned char> Frame(bool reference) {
  Viewer.FlyingCamera();
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (light) glEnable(GL_LIGHTING);
  glPushMatrix();
  if (light) Viewer.RenderFloodLight();
  glPopMatrix();
  glRotated(angle_x, 1, 0, 0);
  glRotated(angle_y, 0, 1, 0);
  glPushMatrix();
  if (reference)
    DrawTerrainOneByOne();
  else
    Viewer.RenderTriangles();
  glPopMatrix();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  char text[] = "Fps: 12.0000\nTriangles: 8192";
  Viewer.RenderText(text, 1);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  return ReadBack();
}

int DifferentPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  int n = 0;
  for (size_t i = 0; i < a.size(); i += 3) n += std::memcmp(&a[i], &b[i], 3) != 0 ? 1 : 0;
  return n;
}

int TerrainPixels(const std::vector<unsigned char>& a) {
  int n = 0;
  for (size_t i = 0; i < a.size(); i += 3) n += a[i] + a[i + 1] + a[i + 2] > 0 ? 1 : 0;
  return n;
}

class DrawPathsTest : public GLStateTest {
 protected:
  static void StartOnTheGrid(const char* texture = nullptr) {
    char program[] = "brackenholmer";
    char grid[] = "grid.asc";
    std::string image = texture != nullptr ? texture : "";
    char* argv[] = {program, grid, texture != nullptr ? image.data() : nullptr, nullptr};
    testing::internal::CaptureStdout();
    GlutInit(texture != nullptr ? 3 : 2, argv);
    testing::internal::GetCapturedStdout();
    GlutReshape(kWidth, kHeight);
    ReleaseTerrainArrays();
  }

  void TearDown() override {
    show_nodata = 0;
    terrain_vertex_buffers_allowed = true;
    if (texture_id != 0) glDeleteTextures(1, &texture_id);
    texture_id = 0;
    ReleaseTerrainArrays();
  }

  // Every mode of the settings, both array kinds against the reference.
  void ExpectSamePicturesInEveryMode(const char* what) {
    for (int mode : {0, 1, 2})
      for (int lit : {1, 0})
        for (int wire : {0, 1}) {
          rendering_mode = mode;
          light = lit;
          wireframe = wire;
          refresh_mesh = true;
          const std::vector<unsigned char> reference = Frame(true);
          if (wire == 0 && mode == 0) {
            EXPECT_GT(TerrainPixels(reference), kWidth * kHeight / 10) << what;
          }
          for (bool buffers : {true, false}) {
            terrain_vertex_buffers_allowed = buffers;
            const std::vector<unsigned char> drawn = Frame(false);
            EXPECT_EQ(DifferentPixels(drawn, reference), 0)
                << what << ": rendering_mode " << mode << ", light " << lit << ", wireframe " << wire
                << (buffers ? ", buffer objects" : ", client arrays");
          }
        }
  }
};

TEST_F(DrawPathsTest, SampleWithItsTextureInBothMeshers) {
  TerrainLoader loader;
  ASSERT_TRUE(loader.LoadArcASCIIFile(REPO_DATA_DIR "/jacksboro_403x344.asc"));
  StartOnTheGrid(REPO_DATA_DIR "/jacksboro_403x344.bmp");
  ASSERT_NE(texture_id, 0u);
  angle_x = 10;
  max_precision = 7;
  ExpectSamePicturesInEveryMode("quads, precision 7");
  mesh_mode = 1;
  mesh_simplification = 1;
  max_precision = 14;
  max_approx_error = 20;
  y_multiplier = 3;
  ExpectSamePicturesInEveryMode("adaptive triangles, error 20, height scale 3");
}

TEST_F(DrawPathsTest, WideGridTurnedAndScaled) {
  MakeTestGrid(60, 200, 90, [](int r, int c) { return 300 + (r * 37 + c * 53) % 400 - c * 2; });
  StartOnTheGrid();
  angle_y = 30;
  xz_multiplier = 0.7f;
  max_precision = 8;
  ExpectSamePicturesInEveryMode("wide grid");
}

// The sample with a NODATA lake of 40 x 80 cells.
void LoadSampleWithLake() {
  TerrainLoader loader;
  ASSERT_TRUE(loader.LoadArcASCIIFile(REPO_DATA_DIR "/jacksboro_403x344.asc"));
  ASSERT_TRUE(input.has_nodata);
  ASSERT_EQ(input.nodata, -9999);
  for (int r = 100; r < 140; ++r)
    for (int c = 150; c < 230; ++c) input.values[r][c] = -9999;
}

// NODATA drawn as heights, deep pits among the terrain, and left out as holes.
TEST_F(DrawPathsTest, GridWithNodataPitsOrHoles) {
  ASSERT_NO_FATAL_FAILURE(LoadSampleWithLake());
  StartOnTheGrid();
  mesh_simplification = 1;
  max_precision = 9;
  // The references draw with the table as it stands: made for each choice.
  show_nodata = 1;
  Viewer.CalcNormales();
  ExpectSamePicturesInEveryMode("NODATA pits");
  show_nodata = 0;
  Viewer.CalcNormales();
  ExpectSamePicturesInEveryMode("NODATA holes");
}

// The pit's floor in the water colour of -9999, unlit: (0.64, 0.75, 0.94).
int WaterPixels(const std::vector<unsigned char>& a) {
  int n = 0;
  for (size_t i = 0; i < a.size(); i += 3)
    n += std::abs(a[i] - 163) <= 1 && std::abs(a[i + 1] - 191) <= 1 && std::abs(a[i + 2] - 240) <= 1 ? 1 : 0;
  return n;
}

// Looking straight down at the lake: the hole shows the background, and no pit below it;
// every other pixel is the one the pit's picture has. Ticking "Show NODATA" brings back
// the pit, and unticking it the hole, each pixel for pixel, lit and unlit.
TEST_F(DrawPathsTest, NodataLakeIsAHoleAndShowNodataBringsThePitBack) {
  ASSERT_NO_FATAL_FAILURE(LoadSampleWithLake());
  StartOnTheGrid();
  max_precision = 9;
  square_cells = 1;  // the figures below count columns 90 units apart
  // Above the lake's middle, (190 - 201.5) x 90 east and (120 - 172) x 90 south of the
  // terrain's centre, with ground of about 600 around it.
  Viewer.cam_x = -1035;
  Viewer.cam_z = -4680;
  Viewer.cam_y = 9000;
  Viewer.cam_x_angle = 180;
  for (int lit : {1, 0}) {
    SCOPED_TRACE(lit ? "lit" : "unlit");
    light = lit;
    refresh_mesh = true;
    const std::vector<unsigned char> hole = Frame(false);
    show_nodata = 1;
    GluiControl(kShowNoDataId);
    const std::vector<unsigned char> pit = Frame(false);
    Viewer.CalcNormales();  // the reference's table made afresh, with the cells as heights
    EXPECT_EQ(DifferentPixels(pit, Frame(true)), 0) << "the pit differs from the picture drawn before holes";
    show_nodata = 0;
    GluiControl(kShowNoDataId);
    EXPECT_EQ(DifferentPixels(Frame(false), hole), 0) << "unticked, the hole differs from the first one";
    if (lit) continue;  // beside the hole the normals differ from the pit's

    // The pit's floor fills the middle of the view; the hole shows the black background.
    const size_t middle = (static_cast<size_t>(kHeight / 2) * kWidth + kWidth / 2) * 3;
    EXPECT_EQ(WaterPixels({pit.begin() + middle, pit.begin() + middle + 3}), 1);
    EXPECT_EQ(hole[middle] + hole[middle + 1] + hole[middle + 2], 0);
    EXPECT_GT(WaterPixels(pit), 50000);
    EXPECT_EQ(WaterPixels(hole), 0);
    int background = 0, other = 0;
    for (size_t i = 0; i < hole.size(); i += 3) {
      if (std::memcmp(&hole[i], &pit[i], 3) == 0) continue;
      if (hole[i] + hole[i + 1] + hole[i + 2] == 0)
        ++background;
      else
        ++other;
    }
    EXPECT_GT(background, 50000);
    EXPECT_EQ(other, 0) << "pixels beside the hole changed";
  }
}

}  // namespace
