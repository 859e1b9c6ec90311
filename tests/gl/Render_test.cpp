// What the frame puts into real pixels: terrain colour, culling, wireframe, light, texture
// orientation and the overlay text. Drawn into the back buffer and read back before any swap.
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "ControlPanel.h"
#include "GLTestState.h"
#include "Probe.h"
#include "TerrainLoader.h"
#include "TestGrid.h"
#include "TextureLoader.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Pixel {
  int r, g, b;
  int Sum() const { return r + g + b; }
};

struct Picture {
  std::vector<unsigned char> rgb;
  // x from the left, y from the bottom, as OpenGL counts window pixels.
  Pixel At(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * kWidth + x) * 3;
    return Pixel{rgb[i], rgb[i + 1], rgb[i + 2]};
  }
  int CountIf(bool (*pred)(const Pixel&), int x0 = 0, int y0 = 0, int x1 = kWidth, int y1 = kHeight) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += pred(At(x, y)) ? 1 : 0;
    return n;
  }
};

bool NotBlack(const Pixel& p) { return p.Sum() > 0; }
bool White(const Pixel& p) { return p.r == 255 && p.g == 255 && p.b == 255; }

Picture ReadBack() {
  glFinish();
  Picture pic;
  pic.rgb.resize(static_cast<size_t>(kWidth) * kHeight * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pic.rgb.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return pic;
}

// The 3-D part of a frame, ending as a frame ends: lighting and texturing off, so that a
// frame with the light off starts unlit.
void DrawScene() {
  RenderScene();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
}

// Window position of a world point under the camera's projection (modelview identity).
void Project(double x, double y, double z, double& wx, double& wy) {
  GLdouble model[16], proj[16], wz;
  GLint view[4];
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glPopMatrix();
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetIntegerv(GL_VIEWPORT, view);
  gluProject(x, y, z, model, proj, view, &wx, &wy, &wz);
}

void ExpectColour(const Pixel& p, int r, int g, int b, const char* where) {
  EXPECT_NEAR(p.r, r, 2) << where;
  EXPECT_NEAR(p.g, g, 2) << where;
  EXPECT_NEAR(p.b, b, 2) << where;
}

class RenderTest : public GLStateTest {
 protected:
  // A flat grid of 65 x 65 points at `h`, set up as the viewer's start-up does.
  void StartOn(int h) {
    MakeFlatGrid(65, 65, 90, h);
    StartOnTheGrid();
  }
  // The viewer's start-up on the grid in `input`.
  static void StartOnTheGrid() {
    char program[] = "brackenholmer";
    char grid[] = "grid.asc";
    char* argv[] = {program, grid, nullptr};
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    testing::internal::CaptureStdout();
    GlutInit(2, argv);
    testing::internal::GetCapturedStdout();
    GlutReshape(kWidth, kHeight);
    refresh_mesh = true;
  }
  void SetUp() override {
    GLStateTest::SetUp();
    light = 0;
    wireframe = 0;
    rendering_mode = 0;
    angle_x = angle_y = angle_z = 0;
    glDisable(GL_LIGHTING);
  }
  void TearDown() override {
    light = 1;
    wireframe = 0;
    rendering_mode = 0;
    refresh_mesh = true;
    if (texture_id != 0) glDeleteTextures(1, &texture_id);
    texture_id = 0;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
  }
};

}  // namespace

TEST_F(RenderTest, FlatTerrainInColourModeShowsItsHeightsColour) {
  // 400 is a stop of the height scale: (0.51, 0.62, 0.36).
  StartOn(400);
  DrawScene();
  const Picture pic = ReadBack();
  EXPECT_GT(triangle_count, 0);
  // The start camera looks 30 degrees down at the terrain: the middle of the view is ground.
  ExpectColour(pic.At(kWidth / 2, kHeight / 2), 130, 158, 92, "centre");
  ExpectColour(pic.At(kWidth / 2, kHeight / 3), 130, 158, 92, "lower third");
  // Above the far edge is black sky.
  ExpectColour(pic.At(kWidth / 2, kHeight - 5), 0, 0, 0, "top");
}

TEST_F(RenderTest, WaterAndSnowHeightsShowTheirColours) {
  StartOn(0);
  DrawScene();
  ExpectColour(ReadBack().At(kWidth / 2, kHeight / 2), 163, 191, 240, "height 0");  // (0.64, 0.75, 0.94)
  // Ground higher than the start view sees: the start camera rises by it, to the same view.
  StartOn(4800);
  EXPECT_EQ(Viewer.cam_y, 65 * 90 + 4800);
  DrawScene();
  ExpectColour(ReadBack().At(kWidth / 2, kHeight / 2), 255, 255, 255, "height 4800");
}

TEST_F(RenderTest, TerrainSeenFromBelowIsCulled) {
  StartOn(400);
  DrawScene();
  const int seen_from_above = ReadBack().CountIf(NotBlack);
  ASSERT_GT(seen_from_above, kWidth * kHeight / 10);

  // The mirror image of the start camera under the terrain, looking 30 degrees up at it.
  Viewer.cam_y = -Viewer.cam_y;
  Viewer.cam_x_angle = 60.0;
  DrawScene();
  EXPECT_EQ(ReadBack().CountIf(NotBlack), 0);

  // Without culling the same view would show the underside: the test looks at the terrain.
  glDisable(GL_CULL_FACE);
  DrawScene();
  EXPECT_GT(ReadBack().CountIf(NotBlack), kWidth * kHeight / 10);
  glEnable(GL_CULL_FACE);
}

TEST_F(RenderTest, WireframeShowsOutlinesOnly) {
  StartOn(400);
  DrawScene();
  const Picture filled = ReadBack();
  wireframe = 1;
  DrawScene();
  const Picture lines = ReadBack();
  const int filled_count = filled.CountIf(NotBlack);
  const int line_count = lines.CountIf(NotBlack);
  EXPECT_GT(line_count, 1000);
  EXPECT_LT(line_count, filled_count / 2);
  // Inside the terrain there are now black gaps between the edges.
  const int gaps = lines.CountIf([](const Pixel& p) { return p.Sum() == 0; }, 412, 284, 612, 484);
  EXPECT_GT(gaps, 200 * 200 / 4);
}

TEST_F(RenderTest, LightChangesThePictureAndLightsFlatGroundFromAbove) {
  StartOn(400);
  DrawScene();
  const Pixel unlit = ReadBack().At(kWidth / 2, kHeight / 2);
  light = 1;
  DrawScene();
  const Picture lit_picture = ReadBack();
  const Pixel lit = lit_picture.At(kWidth / 2, kHeight / 2);
  EXPECT_NE(lit.Sum(), unlit.Sum());
  // Ambient light alone gives about 0.29 of the colour; ground whose normals point up also
  // catches the diffuse part of the light from above.
  EXPECT_GT(lit.g, unlit.g * 0.5) << "flat ground is dark: do the normals point down?";
  EXPECT_GT(lit.r, 0);
}

TEST_F(RenderTest, TextureIsDrapedNorthUpAndNotMirrored) {
  // 4 x 4 pixels in four single-coloured quadrants: north-west red, north-east green,
  // south-west blue, south-east yellow.
  const int w = 4, h = 4;
  std::string bmp = "BM";
  auto put32 = [&](uint32_t v) { bmp.append(reinterpret_cast<const char*>(&v), 4); };
  auto put16 = [&](uint16_t v) { bmp.append(reinterpret_cast<const char*>(&v), 2); };
  put32(54 + w * h * 3);
  put32(0);
  put32(54);
  put32(40);
  put32(w);
  put32(h);
  put16(1);
  put16(24);
  for (int i = 0; i < 6; ++i) put32(0);
  for (int row = h - 1; row >= 0; --row)  // bottom-up
    for (int col = 0; col < w; ++col) {
      const bool north = row < 2, west = col < 2;
      const unsigned char r = (north && west) || (!north && !west) ? 255 : 0;
      const unsigned char g = !west ? 255 : 0;
      const unsigned char b = !north && west ? 255 : 0;
      bmp += static_cast<char>(b);
      bmp += static_cast<char>(g);
      bmp += static_cast<char>(r);
    }
  const std::string path = testing::TempDir() + "render_quadrants.bmp";
  std::ofstream(path, std::ios::binary) << bmp;
  // The same picture as a PNG, written by SDL2_image.
  const std::string png = testing::TempDir() + "render_quadrants.png";
  SDL_Surface* surface = SDL_LoadBMP(path.c_str());
  ASSERT_NE(surface, nullptr);
  ASSERT_EQ(IMG_SavePNG(surface, png.c_str()), 0);
  SDL_FreeSurface(surface);

  for (const std::string& image : {path, png}) {
    SCOPED_TRACE(image);
    StartOn(100);
    if (texture_id != 0) glDeleteTextures(1, &texture_id);
    TextureLoader loader;
    texture_id = loader.LoadBMPTexture(image.c_str());
    ASSERT_NE(texture_id, 0u) << loader.msg;
    rendering_mode = 1;
    DrawScene();
    const Picture pic = ReadBack();

    // Quadrant middles in drawing coordinates: the terrain is centred on the origin, x along
    // the columns (east), z along the rows (south).
    const double quarter = 64 * 90 / 4.0;
    struct Probe {
      const char* name;
      double x, z;
      int r, g, b;
    } probes[] = {{"north-west", -quarter, -quarter, 255, 0, 0},
                  {"north-east", quarter, -quarter, 0, 255, 0},
                  {"south-west", -quarter, quarter, 0, 0, 255},
                  {"south-east", quarter, quarter, 255, 255, 0}};
    for (const Probe& p : probes) {
      double wx = 0, wy = 0;
      Project(p.x, 100, p.z, wx, wy);
      ASSERT_TRUE(wx > 0 && wx < kWidth && wy > 0 && wy < kHeight) << p.name;
      ExpectColour(pic.At(static_cast<int>(wx), static_cast<int>(wy)), p.r, p.g, p.b, p.name);
    }
  }
}

// Frames as GlutDisplay runs them, the 3-D part and then the panel over it.
void SceneAndPanelFrames(int n) {
  for (int i = 0; i < n; ++i) {
    DrawScene();
    RenderControlPanel();
  }
}

// Opening the panel's Properties shrinks the 3-D view to the rows above the panel within
// two frames: the terrain, seen from straight above and filling the view, reaches the
// panel's top edge and not one row below it, in the view's own aspect.
TEST_F(RenderTest, TheOpenPanelCoversNoTerrain) {
  StartOn(100);
  Viewer.cam_z = 0;
  Viewer.cam_y = 2000;  // 1900 above the centre: a view 1574 units across, on a 5850 grid
  Viewer.cam_x_angle = 180;
  CreateControlPanel();
  SceneAndPanelFrames(2);
  PanelRect header{};
  ASSERT_TRUE(FindPanelControl("Properties", &header));
  const int x = static_cast<int>((header.x0 + header.x1) / 2);
  const int y = static_cast<int>((header.y0 + header.y1) / 2);
  PanelPassiveMotion(x, y);
  PanelMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y, 0);
  PanelMouse(GLUT_LEFT_BUTTON, GLUT_UP, x, y, 0);
  SceneAndPanelFrames(4);  // the click's press and release, and the panel's new height
  PanelRect wireframe{};
  ASSERT_TRUE(FindPanelControl("Wireframe", &wireframe));
  const float top = ControlPanelTop();
  ASSERT_GT(top, kHeight / 3);
  ASSERT_LT(top, kHeight - 100);  // open: far above the closed panel's single row
  SceneAndPanelFrames(2);
  EXPECT_EQ(ControlPanelTop(), top);

  DrawScene();
  const Picture pic = ReadBack();
  const int view_rows = static_cast<int>(top);  // from the window's top
  // GL rows count from the bottom: the view's lowest row is kHeight - view_rows.
  const int lowest = kHeight - view_rows;
  EXPECT_EQ(pic.CountIf(NotBlack, 0, 0, kWidth, lowest), 0) << "terrain under the panel";
  EXPECT_EQ(pic.CountIf(NotBlack, 0, lowest, kWidth, lowest + 1), kWidth);
  EXPECT_EQ(pic.CountIf(NotBlack, 0, kHeight - 1, kWidth, kHeight), kWidth);

  GLint view[4];
  glGetIntegerv(GL_VIEWPORT, view);
  EXPECT_EQ(view[1], lowest);
  EXPECT_EQ(view[3], view_rows);
  GLdouble m[16];
  glGetDoublev(GL_PROJECTION_MATRIX, m);
  const double row0 = std::sqrt(m[0] * m[0] + m[4] * m[4] + m[8] * m[8]);
  const double row1 = std::sqrt(m[1] * m[1] + m[5] * m[5] + m[9] * m[9]);
  EXPECT_NEAR(row1 / row0, static_cast<double>(kWidth) / view_rows, 1e-5);
  DestroyControlPanel();
}

TEST_F(RenderTest, OverlayTextStandsInTheTopLeftCorner) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  char text[] = "Fps: 0.0000\nTriangles: 8192\nLeft Button: Rotate\nRight Button: Translate XZ\n"
                "Left+Right Button: Translate XY\n";
  Viewer.RenderText(text, 1);
  glEnable(GL_DEPTH_TEST);
  const Picture pic = ReadBack();

  int white = 0, left = kWidth, right = 0, top = 0, bottom = kHeight;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (White(pic.At(x, y))) {
        ++white;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::max(top, y);
        bottom = std::min(bottom, y);
      }
  ASSERT_GT(white, 300);
  EXPECT_EQ(pic.CountIf(NotBlack), white) << "the text is white on the cleared background";
  // Lines start 2 per cent from the left edge; the first stands on 95 per cent of the
  // height, the fifth on 83 per cent (y counted from the bottom).
  EXPECT_GE(left, static_cast<int>(0.02 * kWidth));
  EXPECT_LE(left, static_cast<int>(0.02 * kWidth) + 3);
  EXPECT_LT(right, kWidth / 4);
  EXPECT_GE(top, static_cast<int>(0.95 * kHeight));
  EXPECT_LE(top, static_cast<int>(0.95 * kHeight) + 12);
  EXPECT_GE(bottom, static_cast<int>(0.83 * kHeight) - 4);
  EXPECT_LE(bottom, static_cast<int>(0.83 * kHeight) + 1);
}

// A grid at 5 arc-minutes spans tens of millions of units; its whole surface must win the
// depth test, not a speckle of it. The outline is what the same frame covers with the
// depth test always passing.
TEST_F(RenderTest, CoarseGridShowsAWholeSurface) {
  MakeTestGrid(1201, 1201, 9000, [](int r, int c) { return 400 + (r * 37 + c * 11) % 900; });
  StartOnTheGrid();
  DrawScene();
  const Picture drawn = ReadBack();
  glDepthFunc(GL_ALWAYS);
  DrawScene();
  glDepthFunc(GL_LESS);
  const Picture outline = ReadBack();
  int inside = 0, holes = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      if (!NotBlack(outline.At(x, y))) continue;
      ++inside;
      holes += NotBlack(drawn.At(x, y)) ? 0 : 1;
    }
  ASSERT_GT(inside, kWidth * kHeight / 10);
  EXPECT_LT(holes, inside / 100) << holes << " background pixels inside an outline of " << inside;
}

// A grid in degrees around latitude 49.5, 200 x 200 cells of 0.001 degrees, seen from
// straight above: east-west it spans cos(49.5) of its north-south extent on the ground,
// and so on screen. "Square Cells" draws it as a grid without a place is drawn.
TEST_F(RenderTest, GridsInDegreesAreDrawnInTrueProportions) {
  const std::string path = testing::TempDir() + "/latitude_49.asc";
  {
    std::ofstream f(path);
    f << "ncols 200\nnrows 200\nxllcorner 6.0\nyllcorner 49.4\ncellsize 0.001\nNODATA_value -9999\n";
    for (int i = 0; i < 200 * 200; ++i) f << "400 ";
  }
  TerrainLoader loader;
  ASSERT_TRUE(loader.LoadTerrainFile(path.c_str())) << loader.msg;
  std::remove(path.c_str());
  StartOnTheGrid();
  auto from_above = [] {
    Viewer.cam_x = Viewer.cam_z = 0;
    Viewer.cam_y = 60000;  // the grid is 200 x 108 = 21600 units north-south
    Viewer.cam_x_angle = 180;
    DrawScene();
    return ReadBack();
  };
  // The extent of the drawn terrain along x and y, in pixels.
  auto extent = [](const Picture& pic, int& across, int& down) {
    int x0 = kWidth, x1 = -1, y0 = kHeight, y1 = -1;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (NotBlack(pic.At(x, y))) {
          x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
    across = x1 - x0 + 1;
    down = y1 - y0 + 1;
  };
  int across = 0, down = 0;
  extent(from_above(), across, down);
  ASSERT_GT(down, 200);
  EXPECT_NEAR(static_cast<double>(across) / down, std::cos(49.5 * M_PI / 180), 0.02 * 0.6494);

  square_cells = 1;
  const Picture square = from_above();
  input.place = GridPlace{};  // as if the file gave no place
  refresh_mesh = true;
  const Picture unplaced = from_above();
  square_cells = 0;
  extent(square, across, down);
  EXPECT_EQ(across, down);
  EXPECT_TRUE(square.rgb == unplaced.rgb);
}

namespace {

// Background pixels with terrain on both sides in their row and in their column.
int EnclosedBackground(const Picture& pic) {
  std::vector<int> first_x(kHeight, kWidth), last_x(kHeight, -1), first_y(kWidth, kHeight), last_y(kWidth, -1);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (NotBlack(pic.At(x, y))) {
        first_x[y] = std::min(first_x[y], x);
        last_x[y] = x;
        first_y[x] = std::min(first_y[x], y);
        last_y[x] = y;
      }
  int n = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = first_x[y] + 1; x < last_x[y]; ++x)
      n += !NotBlack(pic.At(x, y)) && first_y[x] < y && y < last_y[x] ? 1 : 0;
  return n;
}

}  // namespace

// Uniform triangle bisection of the 403 x 344 sample rounds the midpoints of neighbouring
// triangles to different grid points: the drawing closes the cracks between them.
TEST_F(RenderTest, UniformTrianglesOnTheSampleLeaveNoGapsSeenFromAbove) {
  TerrainLoader loader;
  ASSERT_TRUE(loader.LoadArcASCIIFile(REPO_DATA_DIR "/jacksboro_403x344.asc"));
  StartOnTheGrid();
  mesh_mode = 1;
  // Looking down (the tilt stops half a degree short of straight) from 45000 units: the
  // 29122 x 30960 footprint (columns closer at latitude 36.6) fills most of the view.
  Viewer.cam_x = Viewer.cam_z = 0;
  Viewer.cam_y = 45000;
  Viewer.cam_x_angle = 180;
  for (int precision = 8; precision <= 14; ++precision) {
    max_precision = precision;
    refresh_mesh = true;
    DrawScene();
    const Picture pic = ReadBack();
    ASSERT_GT(pic.CountIf(NotBlack), 300000) << "precision " << precision;  // about 600 x 648
    EXPECT_EQ(EnclosedBackground(pic), 0) << "precision " << precision;
  }
}

// Quads under a strict bound meet their finer neighbours with fans: seen from above, the
// adaptive mesh of the sample shows no background inside its outline at any bound.
TEST_F(RenderTest, StrictAdaptiveQuadsOnTheSampleLeaveNoGapsSeenFromAbove) {
  TerrainLoader loader;
  ASSERT_TRUE(loader.LoadArcASCIIFile(REPO_DATA_DIR "/jacksboro_403x344.asc"));
  StartOnTheGrid();
  mesh_mode = 0;
  mesh_simplification = 1;
  strict_error = 1;
  Viewer.cam_x = Viewer.cam_z = 0;
  Viewer.cam_y = 45000;
  Viewer.cam_x_angle = 180;
  for (int bound : {100, 20, 5, 1}) {
    max_approx_error = bound;
    refresh_mesh = true;
    DrawScene();
    const Picture pic = ReadBack();
    ASSERT_GT(pic.CountIf(NotBlack), 300000) << "bound " << bound;
    EXPECT_EQ(EnclosedBackground(pic), 0) << "bound " << bound;
    EXPECT_LE(Viewer.DrawnMesh().true_error.max, bound);
  }
}

// The pointer over known grid points of a tilted plane, with the model turned and scaled:
// the probe reads back their row, column and height within one cell; over the sky, or
// with a button down, it says nothing.
TEST_F(RenderTest, ThePointerProbeReadsTheGridPointUnderIt) {
  auto plane = [](int r, int c) { return 300 + 4 * c - 3 * r; };
  MakeTestGrid(65, 65, 90, plane);
  StartOnTheGrid();
  struct View {
    double turn_x, turn_y;
    float y_scale, xz_scale;
  };
  for (const View& v : {View{0, 0, 1, 1}, View{10, 30, 2, 0.7f}}) {
    angle_x = v.turn_x, angle_y = v.turn_y;
    y_multiplier = v.y_scale, xz_multiplier = v.xz_scale;
    refresh_mesh = true;
    DrawScene();
    GLdouble model[16], proj[16];
    GLint view[4];
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRotated(angle_x, 1, 0, 0);
    glRotated(angle_y, 0, 1, 0);
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glPopMatrix();
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, view);
    const double step = static_cast<float>(90.0 * v.xz_scale), half = 32.5 * step;
    for (const auto& [row, col] : {std::pair{32, 32}, {20, 45}, {50, 10}}) {
      SCOPED_TRACE(testing::Message() << "turn " << v.turn_y << ", row " << row << ", col " << col);
      double wx, wy, wz;
      gluProject(col * step - half, plane(row, col) * v.y_scale, row * step - half, model, proj, view, &wx, &wy, &wz);
      pointer_x = static_cast<int>(wx);
      pointer_y = kHeight - 1 - static_cast<int>(wy);
      ProbePointer();
      int r = -1, c = -1, h = 0, mesh = 0;
      ASSERT_EQ(std::sscanf(probe_text.c_str(), "Row %d, col %d: %d m, mesh %d m", &r, &c, &h, &mesh), 4) << probe_text;
      EXPECT_LE(std::abs(r - row), 1);
      EXPECT_LE(std::abs(c - col), 1);
      EXPECT_EQ(h, plane(r, c));
      EXPECT_EQ(mesh, h);  // every grid point is a vertex at this precision
    }
  }
  pointer_x = kWidth / 2, pointer_y = 2;  // the sky above the far edge
  ProbePointer();
  EXPECT_EQ(probe_text, "");
  pointer_y = kHeight / 2;
  left_button = 1;
  ProbePointer();
  EXPECT_EQ(probe_text, "");
  left_button = 0;
  pointer_x = pointer_y = -1;
}
