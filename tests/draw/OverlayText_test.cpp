// The overlay text: where its lines stand, in which font, over what projection.
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

}  // namespace
