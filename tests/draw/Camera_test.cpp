#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Brackenholmer.h"
#include "DrawTestState.h"
#include "RecordingGL.h"

namespace {

class CameraTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    // Only the size of the grid matters to the camera.
    input.rows = 1201;
    input.cols = 1201;
    input.grid_space = 90;
    // The start camera: S high, 1.5 S out along +z, looking 30 degrees down along -z.
    Viewer.cam_x = 0;
    Viewer.cam_y = kS;
    Viewer.cam_z = 1.5 * kS;
    Viewer.cam_x_angle = 120;
    Viewer.cam_y_angle = 0;
  }

  // The view direction sent to gluLookAt (target minus eye).
  static std::vector<double> LookDirection() {
    const auto look = CallsNamed("gluLookAt");
    EXPECT_EQ(look.size(), 1u);
    if (look.empty()) return {};
    const auto& a = look[0].args;
    return {a[3] - a[0], a[4] - a[1], a[5] - a[2]};
  }

  static void ExpectDirection(double x, double y, double z) {
    const auto d = LookDirection();
    ASSERT_EQ(d.size(), 3u);
    EXPECT_NEAR(d[0], x, 5e-4);
    EXPECT_NEAR(d[1], y, 5e-4);
    EXPECT_NEAR(d[2], z, 5e-4);
  }

  static constexpr double kS = 1201.0 * 90;
};

TEST_F(CameraTest, StartCameraSetsViewportPerspectiveAndView) {
  Viewer.FlyingCamera();
  const std::vector<GLCall> expected = {
      {"glViewport", {0, 0, 1024, 768}},
      {"glMatrixMode", {double(GL_PROJECTION)}},
      {"glLoadIdentity", {}},
      {"gluPerspective", {45, 1024.0 / 768, 4.3236, 432360}},  // far / 10^5 in front
      {"gluLookAt", {0, kS, 1.5 * kS, 0, kS - 0.5, 1.5 * kS - std::sqrt(0.75), 0, 1, 0}},
      {"glMatrixMode", {double(GL_MODELVIEW)}}};
  ExpectSameCalls(RecordedCalls(), expected);
  EXPECT_NEAR(CallsNamed("gluPerspective")[0].args[1], 1.3333, 1e-4);
  ExpectDirection(0, -0.5, -0.866);
}

// The view takes the rows above the panel (a partly covered row is the panel's) and its
// aspect; a panel as tall as the window leaves an empty view and the last projection.
TEST_F(CameraTest, TheViewEndsAtThePanelsTopEdge) {
  fake_panel_top = 579.5f;
  Viewer.FlyingCamera();
  ExpectSameCalls(CallsNamed("glViewport"), {{"glViewport", {0, 768 - 579, 1024, 579}}});
  EXPECT_DOUBLE_EQ(CallsNamed("gluPerspective")[0].args[1], 1024.0 / 579);

  ClearRecordedCalls();
  fake_panel_top = 0;
  Viewer.FlyingCamera();
  ExpectSameCalls(CallsNamed("glViewport"), {{"glViewport", {0, 768, 1024, 0}}});
  EXPECT_EQ(CountCalls("gluPerspective"), 0);
}

TEST_F(CameraTest, HeadingsTurnTheViewLeft) {
  Viewer.cam_x_angle = 90;
  const struct {
    double heading, x, z;
  } cases[] = {{90, -1, 0}, {-90, 1, 0}, {180, 0, 1}, {0, 0, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "heading " << c.heading);
    Viewer.cam_y_angle = c.heading;
    ClearRecordedCalls();
    Viewer.FlyingCamera();
    ExpectDirection(c.x, 0, c.z);
  }
}

TEST_F(CameraTest, TiltIsLimitedAndStoredBack) {
  Viewer.cam_x_angle = 200;
  Viewer.FlyingCamera();
  EXPECT_EQ(Viewer.cam_x_angle, 179.5);
  ExpectDirection(0, std::cos(179.5 * M_PI / 180), -std::sin(179.5 * M_PI / 180));

  for (double low : {-10.0, 0.0}) {
    Viewer.cam_x_angle = low;
    ClearRecordedCalls();
    Viewer.FlyingCamera();
    EXPECT_EQ(Viewer.cam_x_angle, 0.5);
    ExpectDirection(0, std::cos(0.5 * M_PI / 180), -std::sin(0.5 * M_PI / 180));
  }

  Viewer.cam_x_angle = 90;
  ClearRecordedCalls();
  Viewer.FlyingCamera();
  EXPECT_EQ(Viewer.cam_x_angle, 90);
  ExpectDirection(0, 0, -1);
}

// A minimised window has height 0: the projection is left as it was and the modelview
// matrix is still left current.
TEST_F(CameraTest, ZeroHeightWindowKeepsTheProjection) {
  height = 0;
  Viewer.cam_x_angle = 300;
  Viewer.FlyingCamera();
  EXPECT_EQ(CountCalls("gluPerspective"), 0);
  EXPECT_EQ(CountCalls("gluLookAt"), 0);
  EXPECT_EQ(CountCalls("glLoadIdentity"), 0);
  ASSERT_FALSE(RecordedCalls().empty());
  EXPECT_EQ(RecordedCalls().back().name, "glMatrixMode");
  EXPECT_EQ(RecordedCalls().back().args[0], GL_MODELVIEW);
  EXPECT_EQ(Viewer.cam_x_angle, 179.5);
}

// A grid wider than tall reaches four of its longer sides away, seen from the start.
TEST_F(CameraTest, FarPlaneFollowsTheLongerSideOnly) {
  input.rows = 344;
  input.cols = 403;
  input.grid_space = 30;
  input.y_min = 200, input.y_max = 600;
  Viewer.cam_y = 344 * 30, Viewer.cam_z = 1.5 * 344 * 30;
  Viewer.FlyingCamera();
  const auto perspective = CallsNamed("gluPerspective");
  ASSERT_EQ(perspective.size(), 1u);
  EXPECT_EQ(perspective[0].args[2], 1);
  EXPECT_EQ(perspective[0].args[3], 4.0 * 403 * 30);
}

// A top view of a 60 x 85 km grid from 400 km: the far plane reaches the terrain's far
// corner, however the model is turned, and the near plane keeps the depth range.
TEST_F(CameraTest, FarPlaneReachesTheTerrainFromAFarCamera) {
  input.rows = 850, input.cols = 600, input.grid_space = 100;
  input.y_min = 0, input.y_max = 3000;
  xz_multiplier = 1, y_multiplier = 2;
  Viewer.cam_x = 0, Viewer.cam_y = 400000, Viewer.cam_z = 0, Viewer.cam_x_angle = 179.5;
  Viewer.FlyingCamera();
  const auto perspective = CallsNamed("gluPerspective");
  ASSERT_EQ(perspective.size(), 1u);
  const double corner = std::hypot(30000.0, 42500.0, 6000.0);  // half extents, heights doubled
  EXPECT_GE(perspective[0].args[3], 400000 + corner);
  EXPECT_LE(perspective[0].args[3], 400000 + corner + 1);
  EXPECT_DOUBLE_EQ(perspective[0].args[2], perspective[0].args[3] / 1e5);
}

}  // namespace
