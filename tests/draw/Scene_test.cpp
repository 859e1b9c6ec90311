// The 3-D view of a frame: the floodlight symbol, the light and the spin.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "FrameTest.h"

namespace {

TEST_F(FrameTest, WithoutLightNoSymbolAndNothingLit) {
  light = 0;
  GlutDisplay();
  EXPECT_EQ(CountCalls("glEnable"), 0);
  EXPECT_EQ(CountCalls("glScalef"), 0);  // the floodlight's
  EXPECT_EQ(CountCalls("glBegin"), 2);   // the terrain only
  // Lighting goes off before the overlay and is not switched back on.
  const auto disables = CallsNamed("glDisable");
  int lighting_off = 0;
  for (const GLCall& c : disables) lighting_off += c.args[0] == GL_LIGHTING;
  EXPECT_EQ(lighting_off, 2);
}

TEST_F(FrameTest, AnimationSpinsByOneStepPerFrameWrappingOnce) {
  animation = 1;
  angle_y = 359;
  GlutDisplay();
  EXPECT_EQ(angle_y, 1);
  const auto rotations = CallsNamed("glRotated");
  ASSERT_EQ(rotations.size(), 3u);
  EXPECT_EQ(rotations[1].args, (std::vector<double>{1, 0, 1, 0}));

  angle_y = -359;
  GlutDisplay();
  EXPECT_EQ(angle_y, -357);

  animation = 0;
  GlutDisplay();
  EXPECT_EQ(angle_y, -357);
}

// A terrain of 1201 rows at spacing 90 is 108090 units wide: the apex sits at
// (108090, 54045, 0) and the pyramid is scaled by S/40 and 3S/40.
TEST_F(FrameTest, FloodLightIsAWirePyramidAtTheLight) {
  input.rows = 1201;
  input.cols = 1201;
  input.grid_space = 90;
  Viewer.RenderFloodLight();
  const double s = 108090;
  std::vector<GLCall> expected = {{"glDisable", {double(GL_CULL_FACE)}},
                                  {"glDisable", {double(GL_LIGHTING)}},
                                  {"glTranslatef", {s, s / 2, 0}},
                                  {"glRotatef", {116, 0, 0, 1}},
                                  {"glScalef", {s / 40, 3 * s / 40, s / 40}},
                                  {"glPolygonMode", {double(GL_FRONT_AND_BACK), double(GL_LINE)}},
                                  {"glColor3f", {0.8f, 0.8f, 0.8f}}};
  const double edges[4][3] = {{1, 1, 1}, {1, 1, -1}, {-1, 1, -1}, {-1, 1, 1}};
  for (const auto& e : edges) {
    expected.push_back({"glBegin", {double(GL_LINES)}});
    expected.push_back({"glVertex3f", {0, 0, 0}});
    expected.push_back({"glVertex3f", {e[0], e[1], e[2]}});
    expected.push_back({"glEnd", {}});
  }
  expected.push_back({"glColor3f", {0.8f, 0.8f, 0}});
  expected.push_back({"glBegin", {double(GL_QUADS)}});
  for (const auto& v : {edges[2], edges[1], edges[0], edges[3]})
    expected.push_back({"glVertex3f", {v[0], v[1], v[2]}});
  expected.push_back({"glEnd", {}});
  expected.push_back({"glEnable", {double(GL_CULL_FACE)}});
  expected.push_back({"glEnable", {double(GL_LIGHTING)}});
  ExpectSameCalls(RecordedCalls(), expected);
}

}  // namespace
