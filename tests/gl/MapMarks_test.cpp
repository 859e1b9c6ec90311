// The scale bar and the north arrow in real pictures: the bar's length against the camera's
// geometry over flat ground, the arrow's direction against the heading and the model's turn.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "MapMarks.h"
#include "MarksFixture.h"
#include "ScaleBar.h"

namespace {

// The widest span between black pixels on one row of the lower-left corner: the bar, whose
// ends are black, outspans its label above it.
int BarSpan(const Picture& pic) {
  int widest = 0;
  for (int y = 0; y < 80; ++y) {
    int first = -1, last = -1;
    for (int x = 0; x < pic.w / 3; ++x)
      if (IsColour(pic.At(x, y), 0, 0, 0, 0)) {
        if (first < 0) first = x;
        last = x;
      }
    if (first >= 0) widest = std::max(widest, last - first + 1);
  }
  return widest;
}

// The screen angle in degrees (0 right, 90 up) from the arrow's grey southern half to its
// red northern half; NAN without both.
double ArrowAngle(const Picture& pic) {
  double rx = 0, ry = 0, gx = 0, gy = 0;
  int reds = 0, greys = 0;
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < pic.w / 2; ++x) {
      const Rgb p = pic.At(x, y);
      if (IsColour(p, 255, 0, 0, 0)) rx += x, ry += y, ++reds;
      if (IsColour(p, 200, 200, 200, 0)) gx += x, gy += y, ++greys;
    }
  if (reds < 20 || greys < 20) return NAN;
  return std::atan2(ry / reds - gy / greys, rx / reds - gx / greys) * 180 / M_PI;
}

// The difference of two angles in degrees, -180..180.
double Turn(double a, double b) { return std::remainder(a - b, 360.0); }

TEST_F(MarksTest, ScaleBarSpansItsMetresAtTheCameraScale) {
  MakeFlatGrid(65, 65, 90, 100);  // 90 m between points, 100 m high
  Start();
  show_scale_bar = 1;
  for (double above : {3000.0, 5000.0}) {
    SCOPED_TRACE(testing::Message() << above << " m above the ground");
    LookDownFrom(100 + above);
    RenderScene();
    // Metres a pixel spans at the centre, from the field of view alone.
    const double metres_per_pixel = 2 * above * std::tan(22.5 * M_PI / 180) / kMarksHeight;
    const ScaleBarLength want = ChooseScaleBar(metres_per_pixel, 0.25 * kMarksWidth);
    ASSERT_GT(want.pixels, 100);
    EXPECT_NEAR(BarSpan(Frame()), want.pixels, 2.0);
    const ScaleBarLength drawn = ScaleBarAtCentre();
    EXPECT_EQ(drawn.label, want.label);
    EXPECT_NEAR(drawn.metres / drawn.pixels, metres_per_pixel, 0.01 * metres_per_pixel);
  }
  show_scale_bar = 0;
  RenderScene();
  EXPECT_EQ(BarSpan(Frame()), 0);
  // Looking level from high above the flat ground, the centre shows the sky: no bar.
  Viewer.cam_x_angle = 90;
  RenderScene();
  const Picture without = Frame();
  show_scale_bar = 1;
  RenderScene();
  EXPECT_EQ(ScaleBarAtCentre().metres, 0);
  EXPECT_TRUE(Frame().rgb == without.rgb);
}

TEST_F(MarksTest, NorthArrowFollowsTheHeadingAndTheModelTurn) {
  MakeFlatGrid(65, 65, 90, 100);
  Start();
  show_north_arrow = 1;
  struct View {
    double heading, turn_y, north;  // north: the arrow's screen angle
  };
  // Heading 90 looks along -x, so north (-z) lies to the right; the model turned 90 about y
  // carries its north to -x, to the left.
  for (const View& v : {View{0, 0, 90}, View{90, 0, 0}, View{0, 90, 180}, View{30, 0, 60}}) {
    SCOPED_TRACE(testing::Message() << "heading " << v.heading << ", turn " << v.turn_y);
    LookDownFrom(4000, v.heading);
    angle_y = v.turn_y;
    RenderScene();
    const double angle = ArrowAngle(Frame());
    ASSERT_FALSE(std::isnan(angle));
    EXPECT_NEAR(Turn(angle, v.north), 0, 4);
  }
  show_north_arrow = 0;
  RenderScene();
  EXPECT_TRUE(std::isnan(ArrowAngle(Frame())));
}

}  // namespace
