// The fixture of the frame's tests: a 5 x 5 grid at spacing 90 seen from the start camera,
// and the text the frame writes on the screen.
#pragma once

#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "DrawTestState.h"
#include "RecordingGL.h"

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
