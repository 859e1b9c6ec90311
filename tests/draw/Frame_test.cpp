// One frame as the window composes it: its steps in order, the frame rate, and when the
// window draws the next one.
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
