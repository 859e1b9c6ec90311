#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "TriangleList.h"
#include "Brackenholmer.h"
#include "DrawTestState.h"
#include "RecordingGL.h"

namespace {

struct Corner {
  int col, row;
};
struct Tri {
  Corner a, b, c;
};

// One uniform quad pass over a 5 x 5 grid: the quads around the centre, each cut along
// its diagonal a-c, in the order the quad mesher lists them.
const std::vector<Tri> kFiveByFivePrecisionOne = {
    {{0, 0}, {2, 0}, {2, 2}}, {{0, 0}, {2, 2}, {0, 2}}, {{2, 0}, {4, 0}, {4, 2}},
    {{2, 0}, {4, 2}, {2, 2}}, {{2, 2}, {4, 2}, {4, 4}}, {{2, 2}, {4, 4}, {2, 4}},
    {{0, 2}, {2, 2}, {2, 4}}, {{0, 2}, {2, 4}, {0, 4}}};

enum class Mode { kColor, kTexture, kPlain };

// The height scale's colours at the heights these tests draw, worked out by hand from its
// stops: water at 0 and below, (0.18, 0.37, 0.25) up to 100, then linear to
// (0.18, 0.47, 0.31) at 200 and (0.51, 0.62, 0.36) at 400.
std::vector<double> HeightColour(int h) {
  if (h <= 0) return {0.64, 0.75, 0.94};
  switch (h) {
    case 3: return {0.18, 0.37, 0.25};
    case 150: return {0.18, 0.42, 0.28};
    case 170: return {0.18, 0.44, 0.292};
    case 190: return {0.18, 0.46, 0.304};
    case 350: return {0.4275, 0.5825, 0.3475};
    case 370: return {0.4605, 0.5975, 0.3525};
    case 390: return {0.4935, 0.6125, 0.3575};
  }
  ADD_FAILURE() << "no colour worked out for height " << h;
  return {};
}

class TerrainRendererTest : public DrawTest {
 protected:
  // Heights from -50 (water) at the first corner to 400; (row 2, column 0) is 150.
  void UseFiveByFive() {
    UseGrid(5, 5, 90, [](int r, int c) { return 100 * r + 10 * c - 50; });
  }

  // The calls that set up the drawing state before the first triangle.
  std::vector<GLCall> Prologue(double tx, double tz, GLenum polygon_mode = GL_FILL) {
    return {{"glTranslatef", {tx, 0, tz}},
            {"glPolygonMode", {double(GL_FRONT_AND_BACK), double(polygon_mode)}},
            {"glColor3f", {1, 1, 1}},
            {"glDisable", {double(GL_TEXTURE_2D)}}};
  }

  // What one triangle must draw: corners a, c, b; per corner normal, then colour or
  // texture coordinate, then the scaled vertex.
  void AppendTriangle(std::vector<GLCall>& out, const Tri& t, Mode mode, double f, double fy) {
    out.push_back({"glBegin", {double(GL_TRIANGLES)}});
    for (const Corner& v : {t.a, t.c, t.b}) {
      const Normal& n = normal_rows_[v.row][v.col];
      out.push_back({"glNormal3f", {n.x, n.y, n.z}});
      const int h = grid_[v.row][v.col];
      if (mode == Mode::kColor) {
        out.push_back({"glColor3f", HeightColour(h)});
      } else if (mode == Mode::kTexture) {
        out.push_back({"glTexCoord2f", {float(double(v.col) / input.cols),
                                        float(double(v.row) / input.rows)}});
      }
      out.push_back({"glVertex3i", {double(int(v.col * f)), double(int(h * fy)),
                                    double(int(v.row * f))}});
    }
    out.push_back({"glEnd", {}});
  }

  std::vector<GLCall> Expected(double tx, double tz, const std::vector<Tri>& tris, Mode mode,
                               double f, double fy = 1.0) {
    std::vector<GLCall> out = Prologue(tx, tz);
    if (mode == Mode::kTexture) {
      out.push_back({"glEnable", {double(GL_TEXTURE_2D)}});
      out.push_back({"glBindTexture", {double(GL_TEXTURE_2D), double(texture_id)}});
    }
    for (const Tri& t : tris) AppendTriangle(out, t, mode, f, fy);
    return out;
  }

  // The recorded calls as drawn: the array plumbing around glDrawElements left out, the
  // corners it stands for kept.
  static std::vector<GLCall> AsDrawn() {
    std::vector<GLCall> out;
    for (const GLCall& c : RecordedCalls()) {
      const std::string& n = c.name;
      if (n == "glDrawElements" || n.find("ClientState") != std::string::npos ||
          n.find("Pointer") != std::string::npos)
        continue;
      out.push_back(c);
    }
    return out;
  }
};

TEST_F(TerrainRendererTest, ColourModeSendsCornersACBWithNormalColourAndVertex) {
  UseFiveByFive();
  Viewer.RenderTriangles();
  ASSERT_EQ(triangle_count, 8);
  ExpectSameCalls(AsDrawn(), Expected(-225, -225, kFiveByFivePrecisionOne, Mode::kColor, 90));

  // Spot checks of the first triangle (0,0)(2,0)(2,2), drawn a, c, b.
  const auto vertices = CallsNamed("glVertex3i");
  ASSERT_GE(vertices.size(), 3u);
  EXPECT_EQ(vertices[0].args, (std::vector<double>{0, -50, 0}));
  EXPECT_EQ(vertices[1].args, (std::vector<double>{180, 170, 180}));
  EXPECT_EQ(vertices[2].args, (std::vector<double>{180, -30, 0}));
  const auto colours = CallsNamed("glColor3f");
  ASSERT_GE(colours.size(), 2u);
  EXPECT_NEAR(colours[1].args[0], 0.64, 1e-6);  // height -50 is water
  EXPECT_NEAR(colours[1].args[1], 0.75, 1e-6);
  EXPECT_NEAR(colours[1].args[2], 0.94, 1e-6);
  const auto normals = CallsNamed("glNormal3f");
  EXPECT_EQ(normals[1].args, (std::vector<double>{2.25, 3, -4.5}));  // column 2, row 2
}

TEST_F(TerrainRendererTest, TextureModeBindsOnceAndSendsTexCoords) {
  UseFiveByFive();
  rendering_mode = 1;
  texture_id = 7;
  Viewer.RenderTriangles();
  ExpectSameCalls(AsDrawn(), Expected(-225, -225, kFiveByFivePrecisionOne, Mode::kTexture, 90));
  EXPECT_EQ(CountCalls("glColor3f"), 1);  // only the white of the set-up
}

// The whole mesh goes in one call, and every array switched on is switched off again so
// the panel and the overlay draw as before.
TEST_F(TerrainRendererTest, OneDrawCallAndNoArrayLeftOn) {
  UseFiveByFive();
  for (int mode : {0, 1, 2}) {
    SCOPED_TRACE(testing::Message() << "rendering_mode " << mode);
    rendering_mode = mode;
    texture_id = 7;
    ClearRecordedCalls();
    Viewer.RenderTriangles();
    const auto draws = CallsNamed("glDrawElements");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].args, (std::vector<double>{GL_TRIANGLES, 24, GL_UNSIGNED_INT}));
    std::vector<double> on, off;
    for (const GLCall& c : CallsNamed("glEnableClientState")) on.push_back(c.args[0]);
    for (const GLCall& c : CallsNamed("glDisableClientState")) off.push_back(c.args[0]);
    for (double cap : on) EXPECT_NE(std::find(off.begin(), off.end(), cap), off.end()) << cap;
  }
}

// Triangles with two corners on one grid point (the start square clamped onto a 2 x 2
// grid at precision 1) count but are not sent.
TEST_F(TerrainRendererTest, TrianglesWithoutAreaCountButAreNotSent) {
  UseGrid(2, 2, 90, [](int, int) { return 5; });
  max_precision = 1;
  Viewer.RenderTriangles();
  EXPECT_EQ(triangle_count, 8);
  EXPECT_EQ(CountCalls("glBegin"), 2);
}

TEST_F(TerrainRendererTest, TextureModeWithoutTextureAndPlainModeSendNoColour) {
  UseFiveByFive();
  for (int mode : {1, 2, 5}) {
    SCOPED_TRACE(testing::Message() << "rendering_mode " << mode);
    rendering_mode = mode;
    texture_id = 0;
    ClearRecordedCalls();
    Viewer.RenderTriangles();
    ExpectSameCalls(AsDrawn(), Expected(-225, -225, kFiveByFivePrecisionOne, Mode::kPlain, 90));
    EXPECT_EQ(CountCalls("glEnable"), 0);
  }
}

TEST_F(TerrainRendererTest, WireframeDrawsOutlines) {
  UseFiveByFive();
  wireframe = 1;
  Viewer.RenderTriangles();
  const auto modes = CallsNamed("glPolygonMode");
  ASSERT_EQ(modes.size(), 1u);
  EXPECT_EQ(modes[0].args, (std::vector<double>{GL_FRONT_AND_BACK, GL_LINE}));
}

// Heights 3 and -3 at half height scale land on 1 and -1 (truncation toward zero) but keep
// the colours of 3 and -3; half width scale halves x and z and the centring.
TEST_F(TerrainRendererTest, ScalesTruncateTowardZeroAndColourUsesRawHeight) {
  UseGrid(5, 5, 90, [](int r, int c) { return r == 4 && c == 4 ? -3 : 3; });
  max_precision = 0;
  y_multiplier = 0.5f;
  xz_multiplier = 0.5f;
  Viewer.RenderTriangles();
  const std::vector<Tri> start = {{{0, 0}, {4, 0}, {4, 4}}, {{0, 0}, {4, 4}, {0, 4}}};
  ExpectSameCalls(AsDrawn(), Expected(-112.5, -112.5, start, Mode::kColor, 45, 0.5));
  const auto vertices = CallsNamed("glVertex3i");
  ASSERT_EQ(vertices.size(), 6u);
  EXPECT_EQ(vertices[0].args, (std::vector<double>{0, 1, 0}));
  EXPECT_EQ(vertices[1].args, (std::vector<double>{180, -1, 180}));
  const auto colours = CallsNamed("glColor3f");
  EXPECT_NEAR(colours[2].args[2], 0.94, 1e-6);  // -3 is water
  EXPECT_NEAR(colours[1].args[2], 0.25, 1e-6);  // 3 is lowland green
}

TEST_F(TerrainRendererTest, ZeroWidthScaleCollapsesTheFootprint) {
  UseFiveByFive();
  xz_multiplier = 0;
  Viewer.RenderTriangles();
  const auto translation = CallsNamed("glTranslatef");
  ASSERT_EQ(translation.size(), 1u);
  EXPECT_EQ(translation[0].args[0], 0);
  EXPECT_EQ(translation[0].args[2], 0);
  for (const GLCall& v : CallsNamed("glVertex3i")) {
    EXPECT_EQ(v.args[0], 0);
    EXPECT_EQ(v.args[2], 0);
  }
}

// 3 rows by 5 columns: x goes with the columns and z with the rows, in the centring and
// in the texture coordinates, so the terrain is centred and the texture spans it.
TEST_F(TerrainRendererTest, WideGridPairsColumnsWithXAndRowsWithZ) {
  UseGrid(3, 5, 90, [](int r, int c) { return 20 * r + c; });
  max_precision = 0;
  rendering_mode = 1;
  texture_id = 3;
  Viewer.RenderTriangles();
  // The start square of side 5 lands on the last column and row.
  const std::vector<Tri> start = {{{0, 0}, {4, 0}, {4, 2}}, {{0, 0}, {4, 2}, {0, 2}}};
  ExpectSameCalls(AsDrawn(), Expected(-225, -135, start, Mode::kTexture, 90));
  const auto coords = CallsNamed("glTexCoord2f");
  ASSERT_EQ(coords.size(), 6u);
  EXPECT_NEAR(coords[1].args[0], 0.8, 1e-6);  // column 4 of 5
  EXPECT_NEAR(coords[1].args[1], 2.0 / 3, 1e-6);  // row 2 of 3
}

TEST_F(TerrainRendererTest, TexCoordsOfTheSquareSample) {
  UseGrid(1201, 1201, 90, [](int, int) { return 200; });
  max_precision = 0;
  rendering_mode = 1;
  texture_id = 1;
  Viewer.RenderTriangles();
  const auto coords = CallsNamed("glTexCoord2f");
  ASSERT_EQ(coords.size(), 6u);
  EXPECT_EQ(coords[0].args, (std::vector<double>{0, 0}));
  EXPECT_NEAR(coords[2].args[0], 1200.0 / 1201, 1e-6);
  EXPECT_EQ(coords[2].args[1], 0);
}

TEST_F(TerrainRendererTest, EmptyListDrawsNothingButSetsTheState) {
  UseGrid(1201, 1201, 90, [](int, int) { return 10; });
  terrain_border_1 = Vertex{700, 0, 0};  // X1 past X2 admits no quad
  terrain_border_2 = Vertex{600, 0, 1201};
  Viewer.RenderTriangles();
  EXPECT_EQ(triangle_count, 0);
  EXPECT_EQ(Viewer.TriangleHead(), nullptr);
  ExpectSameCalls(AsDrawn(), Prologue(-54045, -54045));
}

TEST_F(TerrainRendererTest, RebuildsOnlyOnRequestWithTheSelectedMesher) {
  UseFiveByFive();
  Viewer.RenderTriangles();
  EXPECT_FALSE(refresh_mesh);
  EXPECT_EQ(CountCalls("glBegin"), 8);

  // A new precision alone changes nothing until a rebuild is requested.
  max_precision = 0;
  ClearRecordedCalls();
  Viewer.RenderTriangles();
  EXPECT_EQ(CountCalls("glBegin"), 8);
  EXPECT_EQ(triangle_count, 8);

  refresh_mesh = true;
  ClearRecordedCalls();
  Viewer.RenderTriangles();
  EXPECT_FALSE(refresh_mesh);
  EXPECT_EQ(CountCalls("glBegin"), 2);

  // One uniform bisection pass of the two start triangles gives four.
  max_precision = 1;
  mesh_mode = 1;
  refresh_mesh = true;
  ClearRecordedCalls();
  Viewer.RenderTriangles();
  EXPECT_FALSE(refresh_mesh);
  EXPECT_EQ(triangle_count, 4);
  EXPECT_EQ(CountCalls("glBegin"), 4);

  mesh_mode = 0;
  refresh_mesh = true;
  ClearRecordedCalls();
  Viewer.RenderTriangles();
  EXPECT_EQ(CountCalls("glBegin"), 8);
}

// Heights near the int limit times the largest height scale stay at the limit instead of
// wrapping round.
TEST_F(TerrainRendererTest, ExtremeHeightsSaturate) {
  UseGrid(2, 2, 90, [](int r, int) { return r == 0 ? 2000000000 : -2000000000; });
  max_precision = 0;
  y_multiplier = 20;
  Viewer.RenderTriangles();
  for (const GLCall& v : CallsNamed("glVertex3i"))
    EXPECT_EQ(v.args[1], v.args[2] == 0 ? INT_MAX : INT_MIN) << Describe(v);
}

}  // namespace
