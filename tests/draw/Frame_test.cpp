#include <GL/freeglut.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "DrawTestState.h"
#include "RecordingGL.h"

namespace {

class FrameTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    UseGrid(5, 5, 90, [](int r, int c) { return 10 * r + c; });
    max_precision = 0;
    Viewer.cam_x = 0;
    Viewer.cam_y = 450;
    Viewer.cam_z = 675;
    Viewer.cam_x_angle = 120;
    Viewer.cam_y_angle = 0;
  }

  // The text written on the screen, one string per raster position.
  static std::vector<std::string> ScreenLines() {
    std::vector<std::string> lines;
    for (const GLCall& c : RecordedCalls()) {
      if (c.name == "glRasterPos2i") lines.emplace_back();
      if (c.name == "glutBitmapCharacter" && !lines.empty())
        lines.back() += static_cast<char>(c.args[1]);
    }
    return lines;
  }
};

// The frame is the camera, the clear, the floodlight between a push and a pop, the model
// rotations, the terrain between a push and a pop, the clock, the overlay, the panel and
// the swap, in this order. Each step is recognised by calls of its own with their
// figures: the floodlight's apex at (S, S/2, 0) with S = 5 x 90, the terrain centred by
// (-225, 0, -225), the overlay's five rows from 95 down in steps of 3.
TEST_F(FrameTest, FrameRunsItsStepsInOrder) {
  GlutDisplay();  // builds the mesh, so the frame below only draws it
  angle_x = 10;
  angle_y = 20;
  angle_z = 30;
  ClearRecordedCalls();
  GlutDisplay();

  const std::set<std::string> landmarks = {
      "gluLookAt", "glClear",    "glEnable",           "glDisable",       "glPushMatrix",
      "glPopMatrix", "glTranslatef", "glRotated",      "glBegin",         "glutGet",
      "gluOrtho2D", "glRasterPos2i", "RenderControlPanel", "glutSwapBuffers", "glFlush"};
  std::vector<GLCall> steps;
  for (const GLCall& c : RecordedCalls()) {
    if (landmarks.count(c.name) == 0) continue;
    steps.push_back(c);
    if (c.name == "gluLookAt") steps.back().args.clear();  // the camera has its own tests
  }
  const double lighting = GL_LIGHTING, cull = GL_CULL_FACE, texture = GL_TEXTURE_2D;
  std::vector<GLCall> expected = {
      {"gluLookAt", {}},
      {"glClear", {double(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)}},
      {"glEnable", {lighting}},
      {"glPushMatrix", {}},
      {"glDisable", {cull}},
      {"glDisable", {lighting}},
      {"glTranslatef", {450, 225, 0}}};
  for (int i = 0; i < 4; ++i) expected.push_back({"glBegin", {double(GL_LINES)}});
  const std::vector<GLCall> middle = {{"glBegin", {double(GL_QUADS)}},
                                      {"glEnable", {cull}},
                                      {"glEnable", {lighting}},
                                      {"glPopMatrix", {}},
                                      {"glRotated", {10, 1, 0, 0}},
                                      {"glRotated", {20, 0, 1, 0}},
                                      {"glRotated", {30, 0, 0, 1}},
                                      {"glPushMatrix", {}},
                                      {"glTranslatef", {-225, 0, -225}},
                                      {"glDisable", {texture}},
                                      {"glBegin", {double(GL_TRIANGLES)}},
                                      {"glBegin", {double(GL_TRIANGLES)}},
                                      {"glPopMatrix", {}},
                                      {"glutGet", {double(GLUT_ELAPSED_TIME)}},
                                      {"glDisable", {texture}},
                                      {"glDisable", {lighting}},
                                      {"glDisable", {lighting}},
                                      {"gluOrtho2D", {0, 100, 0, 100}}};
  expected.insert(expected.end(), middle.begin(), middle.end());
  for (int row = 95; row >= 80; row -= 3) expected.push_back({"glRasterPos2i", {2, double(row)}});
  const std::vector<GLCall> end = {{"glEnable", {lighting}},
                                   {"RenderControlPanel", {}},
                                   {"glutSwapBuffers", {}},
                                   {"glFlush", {}}};
  expected.insert(expected.end(), end.begin(), end.end());
  ExpectSameCalls(steps, expected);
  EXPECT_EQ(RecordedCalls().front().name, "glViewport");  // the camera comes first
}

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

TEST_F(FrameTest, OverlayShowsRateAfterAWindowOfMoreThanOneSecond) {
  frames = 60;
  fake_elapsed_time = 1016;
  GlutDisplay();
  auto lines = ScreenLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "Fps: 60.0394");
  EXPECT_EQ(lines[1], "Triangles: 2");
  EXPECT_EQ(frames, 0);
  EXPECT_EQ(timebase, 1016);

  ClearRecordedCalls();
  fake_elapsed_time = 2016;  // exactly 1000 ms later: no update
  GlutDisplay();
  lines = ScreenLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "Fps: 60.0394");
  EXPECT_EQ(frames, 1);
}

TEST_F(FrameTest, OverlayLinesStandAtFixedPercentagesInHelvetica) {
  GlutDisplay();
  const auto positions = CallsNamed("glRasterPos2i");
  ASSERT_EQ(positions.size(), 6u);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(positions[i].args, (std::vector<double>{2, 95.0 - 3 * i}));
  // The terrain is a plane: its two triangles miss no height.
  EXPECT_EQ(ScreenLines(),
            (std::vector<std::string>{"Fps: 0.0000", "Triangles: 2", "Max. error: 0, RMS: 0.0",
                                      "Left Button: Rotate",
                                      "Right Button: Translate XZ",
                                      "Left+Right Button: Translate XY"}));
  for (const GLCall& c : CallsNamed("glutBitmapCharacter")) EXPECT_EQ(c.args[0], kFontHelvetica10);
}

TEST_F(FrameTest, RenderTextSetsAnOrthographicWindowSpaceAndWhite) {
  fake_panel_top = 500;  // the text takes the whole window all the same
  char text[] = "one\n\n\ntwo\n";
  Viewer.RenderText(text, 1);
  const std::vector<GLCall> expected_start = {{"glViewport", {0, 0, 1024, 768}},
                                              {"glDisable", {double(GL_LIGHTING)}},
                                              {"glMatrixMode", {double(GL_PROJECTION)}},
                                              {"glLoadIdentity", {}},
                                              {"gluOrtho2D", {0, 100, 0, 100}},
                                              {"glMatrixMode", {double(GL_MODELVIEW)}},
                                              {"glLoadIdentity", {}},
                                              {"glColor3f", {1, 1, 1}},
                                              {"glRasterPos2i", {2, 95}}};
  std::vector<GLCall> start(RecordedCalls().begin(), RecordedCalls().begin() + 9);
  ExpectSameCalls(start, expected_start);
  // Runs of newlines count as one: the second piece takes the next row.
  EXPECT_EQ(ScreenLines(), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(CallsNamed("glRasterPos2i")[1].args, (std::vector<double>{2, 92}));
  EXPECT_EQ(RecordedCalls().back().name, "glEnable");
  EXPECT_EQ(RecordedCalls().back().args[0], GL_LIGHTING);
  EXPECT_STREQ(text, "one");  // the newlines were overwritten

  light = 0;
  ClearRecordedCalls();
  char again[] = "x\n";
  Viewer.RenderText(again, 1);
  EXPECT_EQ(CountCalls("glEnable"), 0);
}

// The help card comes over everything, the panel too, as a translucent dark box in window
// pixels with the depth test off inside a saved attribute block, its text in 9 x 15.
TEST_F(FrameTest, HelpCardIsDrawnLastOverTheViewAndListsTheKeys) {
  show_help = 1;
  GlutDisplay();
  const auto& calls = RecordedCalls();
  auto index_of = [&](const std::string& name) {
    for (size_t i = 0; i < calls.size(); ++i)
      if (calls[i].name == name) return static_cast<int>(i);
    return -1;
  };
  const int panel = index_of("RenderControlPanel"), push = index_of("glPushAttrib"),
            pop = index_of("glPopAttrib"), swap = index_of("glutSwapBuffers");
  ASSERT_GT(push, panel);
  ASSERT_GT(pop, push);
  ASSERT_GT(swap, pop);
  std::vector<GLCall> card(calls.begin() + push, calls.begin() + pop);
  auto within = [&](const std::string& name, std::vector<double> args) {
    for (const GLCall& c : card)
      if (c.name == name && c.args == args) return true;
    return false;
  };
  EXPECT_TRUE(within("glViewport", {0, 0, 1024, 768}));
  EXPECT_TRUE(within("gluOrtho2D", {0, 1024, 0, 768}));
  EXPECT_TRUE(within("glDisable", {double(GL_DEPTH_TEST)}));
  EXPECT_TRUE(within("glEnable", {double(GL_BLEND)}));
  EXPECT_TRUE(within("glPolygonMode", {double(GL_FRONT_AND_BACK), double(GL_FILL)}));
  const auto box = CallsNamed("glColor4f");
  ASSERT_EQ(box.size(), 1u);
  EXPECT_LT(box[0].args[0] + box[0].args[1] + box[0].args[2], 0.5);
  EXPECT_GT(box[0].args[3], 0.5);
  EXPECT_LT(box[0].args[3], 1.0);

  const std::vector<std::string> text = ScreenLines();
  for (const char* expected : {"Home  r", "h  F1", "Esc  q", "wheel", "left drag", "m", "quit"})
    EXPECT_NE(std::find(text.begin(), text.end(), expected), text.end()) << expected;
  int card_chars = 0;
  for (const GLCall& c : CallsNamed("glutBitmapCharacter")) card_chars += c.args[0] == kFont9By15;
  EXPECT_GT(card_chars, 200);

  show_help = 0;
  ClearRecordedCalls();
  GlutDisplay();
  EXPECT_EQ(CountCalls("glPushAttrib"), 0);
  for (const GLCall& c : CallsNamed("glutBitmapCharacter")) EXPECT_NE(c.args[0], kFont9By15);
}

// The card's box (its four glVertex2i corners, GL y from the bottom) is centred on the
// view above the panel, and a view lower than the card lets it start at the window's top.
TEST_F(FrameTest, HelpCardIsCentredOnTheViewAboveThePanel) {
  struct Box {
    double left, right, bottom, top;
  };
  auto draw_card = [] {
    ClearRecordedCalls();
    RenderHelpCard();
    const auto corners = CallsNamed("glVertex2i");
    EXPECT_EQ(corners.size(), 4u);
    Box b{1e9, -1e9, 1e9, -1e9};
    for (const GLCall& c : corners) {
      b.left = std::min(b.left, c.args[0]);
      b.right = std::max(b.right, c.args[0]);
      b.bottom = std::min(b.bottom, c.args[1]);
      b.top = std::max(b.top, c.args[1]);
    }
    return b;
  };
  Box b = draw_card();  // no panel: the whole window
  EXPECT_NEAR((b.left + b.right) / 2, 512, 1);
  EXPECT_NEAR((b.bottom + b.top) / 2, 384, 1);
  const double card_h = b.top - b.bottom;
  EXPECT_GT(card_h, 200);
  EXPECT_LT(card_h, 500);

  fake_panel_top = 500;  // the view is the top 500 rows: its centre is 250 down
  b = draw_card();
  EXPECT_NEAR((b.bottom + b.top) / 2, 768 - 250, 1);

  fake_panel_top = 100;
  b = draw_card();
  EXPECT_EQ(b.top, 768);
  EXPECT_EQ(b.top - b.bottom, card_h);
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

namespace {

// Draws frames at `step_ms` apart while the last one asked for another; returns how many.
int FramesUntilQuiet(int step_ms, int limit = 1000) {
  int drawn = 0;
  do {
    ClearRecordedCalls();
    fake_elapsed_time += step_ms;
    GlutDisplay();
    ++drawn;
  } while (CountCalls("glutPostRedisplay") > 0 && drawn < limit);
  return drawn;
}

}  // namespace

// After a change the window draws until the frame-rate figure is renewed from frames of
// its own (idle time before the change does not count), then stops; the spin keeps it on.
TEST_F(FrameTest, DrawsAfterAChangeUntilTheFigureIsRenewedThenStops) {
  fake_elapsed_time = 50000;  // long idle since timebase 0
  ClearRecordedCalls();
  RequestRedraw();
  EXPECT_EQ(CountCalls("glutPostRedisplay"), 1);
  EXPECT_EQ(timebase, 50000);
  // 10 ms frames: the figure is renewed at the 101st, 1010 ms after the change.
  EXPECT_EQ(FramesUntilQuiet(10), 101);
  EXPECT_NEAR(fps, 100, 0.01);
  EXPECT_EQ(FramesUntilQuiet(10), 1);  // nothing changed: no frame asks for another

  // Frames slower than a second: the asked-for frame and three to settle.
  RequestRedraw();
  EXPECT_EQ(FramesUntilQuiet(3000), 4);

  animation = 1;
  EXPECT_EQ(FramesUntilQuiet(10, 500), 500);
}
