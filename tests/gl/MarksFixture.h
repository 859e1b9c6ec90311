// A flat-shaded grid seen by the real GL for the tests of the marks on and over the terrain
// (contours, the profile path, the scale bar, the north arrow): no light, sky or haze.
#pragma once

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "Brackenholmer.h"
#include "GLPictures.h"
#include "GLTestState.h"
#include "LookGlobals.h"
#include "MeasureGlobals.h"
#include "TestGrid.h"

constexpr int kMarksWidth = 1024, kMarksHeight = 768;

class MarksTest : public GLStateTest {
 protected:
  void SetUp() override {
    GLStateTest::SetUp();
    light = sky = haze = 0;
    rendering_mode = 2;  // plain white: dark marks stand out
  }
  void TearDown() override {
    show_contours = show_scale_bar = show_north_arrow = 0;
    contour_interval = 0;
    angle_x = angle_y = angle_z = 0;
    light = 1;
    rendering_mode = 0;
    refresh_mesh = true;
  }
  // The viewer's start-up on the grid in `input`.
  static void Start() {
    char program[] = "brackenholmer";
    char grid[] = "grid.asc";
    char* argv[] = {program, grid, nullptr};
    testing::internal::CaptureStdout();
    GlutInit(2, argv);
    testing::internal::GetCapturedStdout();
    GlutReshape(kMarksWidth, kMarksHeight);
    refresh_mesh = true;
  }
  // Straight down (as near as the tilt goes) from `y` over the grid's centre.
  static void LookDownFrom(double y, double heading = 0) {
    Viewer.cam_x = Viewer.cam_z = 0;
    Viewer.cam_y = y;
    Viewer.cam_x_angle = 180;
    Viewer.cam_y_angle = heading;
  }
  static Picture Frame() { return ReadBackBuffer(kMarksWidth, kMarksHeight); }
};

inline bool IsColour(const Rgb& p, int r, int g, int b, int tolerance = 3) {
  return std::abs(p.c[0] - r) <= tolerance && std::abs(p.c[1] - g) <= tolerance && std::abs(p.c[2] - b) <= tolerance;
}
