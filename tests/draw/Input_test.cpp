// Navigation callbacks: drags, letter keys and arrow keys on the camera fields and the
// viewer globals, and what they ask of GL and GLUT (camera re-applied, redisplay).
//
// Index
//   mouse buttons and drags
//   wheel
//   letter keys
//   start view, help card, quitting
//   arrow keys
//   flying low in "Screen Error"
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "Brackenholmer.h"
#include "DrawTestState.h"
#include "RecordingGL.h"

namespace {

class InputTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    input.rows = 100;
    input.cols = 100;
    input.grid_space = 10;
    // The start camera of a 100-row grid with grid_space 10.
    Viewer.cam_x = 0;
    Viewer.cam_y = 1000;
    Viewer.cam_z = 1500;
    Viewer.cam_x_angle = 120;
    Viewer.cam_y_angle = 0;
    Viewer.air_speed = 100;
    max_precision = 6;  // the start value, over the draw tests' coarse default
    refresh_mesh = false;
    ClearRecordedCalls();
  }

  // Presses `buttons` at (x0, y0), moves to (x1, y1) and records only the move.
  static void Drag(std::initializer_list<int> buttons, int x0, int y0, int x1, int y1) {
    for (int b : buttons) GlutMouse(b, GLUT_DOWN, x0, y0);
    ClearRecordedCalls();
    GlutMotion(x1, y1);
  }

  void ExpectCamera(double x, double y, double z) {
    EXPECT_NEAR(Viewer.cam_x, x, 1e-6);
    EXPECT_NEAR(Viewer.cam_y, y, 1e-6);
    EXPECT_NEAR(Viewer.cam_z, z, 1e-6);
  }

  // The camera re-applied once (FlyingCamera sets the viewport) and one redisplay.
  static void ExpectCameraAppliedAndRedrawn() {
    EXPECT_EQ(CountCalls("glViewport"), 1);
    EXPECT_EQ(CountCalls("glutPostRedisplay"), 1);
  }
};

// ---- mouse buttons and drags

TEST_F(InputTest, ButtonsSetFlagsAndPressesStoreThePointerWithoutRedrawing) {
  GlutMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 30, 40);
  EXPECT_EQ(left_button, 1);
  EXPECT_EQ(right_button, 0);
  EXPECT_EQ(prev_x, 30);
  EXPECT_EQ(prev_y, 40);
  GlutMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 50, 60);
  EXPECT_EQ(right_button, 1);
  EXPECT_EQ(prev_x, 50);
  EXPECT_EQ(prev_y, 60);
  // The middle button sets no flag but still marks where a drag starts.
  GlutMouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 70, 80);
  EXPECT_EQ(prev_x, 70);
  EXPECT_EQ(prev_y, 80);
  // Releases clear the flags and leave the pointer alone.
  GlutMouse(GLUT_LEFT_BUTTON, GLUT_UP, 1, 2);
  GlutMouse(GLUT_RIGHT_BUTTON, GLUT_UP, 3, 4);
  EXPECT_EQ(left_button, 0);
  EXPECT_EQ(right_button, 0);
  EXPECT_EQ(prev_x, 70);
  EXPECT_EQ(prev_y, 80);
  EXPECT_TRUE(RecordedCalls().empty());
}

// Ctrl + click places the profile path in the next frame: it starts no drag and asks for
// that frame.
TEST_F(InputTest, CtrlClicksStartNoDragButAFrame) {
  fake_modifiers = GLUT_ACTIVE_CTRL;
  GlutMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 30, 40);
  GlutMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 50, 60);
  EXPECT_EQ(left_button, 0);
  EXPECT_EQ(right_button, 0);
  EXPECT_EQ(prev_x, 0);
  EXPECT_EQ(CountCalls("glutPostRedisplay"), 2);
  EXPECT_FALSE(TakeProfilePathClicks());  // no terrain drawn under the pointer: nothing to add
  fake_modifiers = GLUT_ACTIVE_SHIFT;
  GlutMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 30, 40);
  EXPECT_EQ(left_button, 1);
}

TEST_F(InputTest, LeftDragTurnsOneDegreePerPixel) {
  Drag({GLUT_LEFT_BUTTON}, 100, 100, 110, 105);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, -10);
  EXPECT_DOUBLE_EQ(Viewer.cam_x_angle, 125);
  ExpectCamera(0, 1000, 1500);
  EXPECT_EQ(prev_x, 110);
  EXPECT_EQ(prev_y, 105);
  ExpectCameraAppliedAndRedrawn();
  // The next event continues from the stored pointer.
  GlutMotion(105, 105);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, -5);
}

TEST_F(InputTest, LeftDragWrapsTheHeadingByOneTurnOnly) {
  Viewer.cam_y_angle = 5;
  Drag({GLUT_LEFT_BUTTON}, 0, 0, 370, 0);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, -5);  // 5 - 370 = -365
  Viewer.cam_y_angle = 0;
  Drag({GLUT_LEFT_BUTTON}, 0, 0, 725, 0);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, -365);
}

TEST_F(InputTest, RightDragMovesSidewaysAndBacksAwayWhenDraggedDown) {
  // Heading 90 looks along -x, so right is -z and backwards is +x.
  Viewer.cam_x_angle = 90;
  Viewer.cam_y_angle = 90;
  Viewer.air_speed = 2;
  Drag({GLUT_RIGHT_BUTTON}, 10, 10, 13, 14);
  ExpectCamera(8, 1000, 1500 - 6);
  EXPECT_DOUBLE_EQ(Viewer.cam_x_angle, 90);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, 90);
  ExpectCameraAppliedAndRedrawn();
}

TEST_F(InputTest, OnePixelOfDownwardRightDragEqualsOnePressOfS) {
  GlutKeyboard('s', 0, 0);
  const double sx = Viewer.cam_x, sy = Viewer.cam_y, sz = Viewer.cam_z;
  Viewer.cam_x = 0;
  Viewer.cam_y = 1000;
  Viewer.cam_z = 1500;
  Drag({GLUT_RIGHT_BUTTON}, 10, 10, 10, 11);
  ExpectCamera(sx, sy, sz);
  // The start camera looks 30 degrees down along -z: backwards is up and towards +z.
  EXPECT_NEAR(sy, 1000 + 50, 1e-6);
  EXPECT_NEAR(sz, 1500 + 100 * 0.8660254037844, 1e-6);
}

TEST_F(InputTest, BothButtonsMoveSidewaysAndVertically) {
  Viewer.air_speed = 2;
  Drag({GLUT_LEFT_BUTTON, GLUT_RIGHT_BUTTON}, 10, 10, 13, 14);
  ExpectCamera(6, 1000 - 8, 1500);
  EXPECT_DOUBLE_EQ(Viewer.cam_x_angle, 120);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, 0);
  ExpectCameraAppliedAndRedrawn();
}

TEST_F(InputTest, ASecondButtonRestartsTheDragWhereItIsPressed) {
  GlutMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
  GlutMotion(10, 0);
  GlutMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 10, 0);
  Viewer.air_speed = 1;
  GlutMotion(10, 3);
  ExpectCamera(0, 1000 - 3, 1500);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, -10);
}

TEST_F(InputTest, MiddleDragChangesNothingButRedraws) {
  Drag({GLUT_MIDDLE_BUTTON}, 10, 10, 40, 50);
  ExpectCamera(0, 1000, 1500);
  EXPECT_DOUBLE_EQ(Viewer.cam_x_angle, 120);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, 0);
  EXPECT_EQ(prev_x, 40);
  EXPECT_EQ(prev_y, 50);
  ExpectCameraAppliedAndRedrawn();
}

TEST_F(InputTest, ZeroAirSpeedMovesNothingButStillAppliesTheCameraAndRedraws) {
  Viewer.air_speed = 0;
  for (unsigned char key : {'w', 's', 'a', 'd'}) {
    ClearRecordedCalls();
    GlutKeyboard(key, 0, 0);
    ExpectCamera(0, 1000, 1500);
    ExpectCameraAppliedAndRedrawn();
  }
  Drag({GLUT_RIGHT_BUTTON}, 0, 0, 20, 30);
  ExpectCamera(0, 1000, 1500);
  ExpectCameraAppliedAndRedrawn();
}

// ---- wheel

TEST_F(InputTest, EachWheelNotchFliesOneStepAlongTheViewAsWAndSDo) {
  constexpr int kUp = 3, kDown = 4;  // freeglut's wheel buttons
  GlutMouse(kUp, GLUT_DOWN, 200, 100);
  // Start camera: forward is (0, -0.5, -0.866), one step of 100.
  ExpectCamera(0, 1000 - 50, 1500 - 100 * 0.8660254037844);
  ExpectCameraAppliedAndRedrawn();
  ClearRecordedCalls();
  GlutMouse(kUp, GLUT_UP, 200, 100);
  ExpectCamera(0, 1000 - 50, 1500 - 100 * 0.8660254037844);
  EXPECT_TRUE(RecordedCalls().empty());

  GlutMouse(kDown, GLUT_DOWN, 200, 100);
  GlutMouse(kDown, GLUT_UP, 200, 100);
  GlutMouse(kDown, GLUT_DOWN, 200, 100);
  const double x = Viewer.cam_x, y = Viewer.cam_y, z = Viewer.cam_z;
  Viewer.cam_x = 0;
  Viewer.cam_y = 1000;
  Viewer.cam_z = 1500;
  GlutKeyboard('s', 0, 0);
  ExpectCamera(x, y, z);
}

TEST_F(InputTest, AWheelNotchDuringADragLeavesTheDragAlone) {
  GlutMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 10);
  GlutMouse(4, GLUT_DOWN, 500, 400);
  GlutMouse(4, GLUT_UP, 500, 400);
  EXPECT_EQ(left_button, 1);
  EXPECT_EQ(prev_x, 10);
  EXPECT_EQ(prev_y, 10);
  GlutMotion(15, 10);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, -5);
}

// ---- letter keys

TEST_F(InputTest, RotationKeysTurnTheModelAndWrapByOneTurn) {
  GlutKeyboard('x', 0, 0);
  EXPECT_DOUBLE_EQ(angle_x, 2);
  GlutKeyboard('X', 0, 0);
  GlutKeyboard('X', 0, 0);
  EXPECT_DOUBLE_EQ(angle_x, -2);
  angle_y = 359;
  GlutKeyboard('y', 0, 0);
  EXPECT_DOUBLE_EQ(angle_y, 1);
  angle_y = -359;
  GlutKeyboard('Y', 0, 0);
  EXPECT_DOUBLE_EQ(angle_y, -1);
  angle_z = 358;
  GlutKeyboard('z', 0, 0);
  EXPECT_DOUBLE_EQ(angle_z, 0);
  GlutKeyboard('Z', 0, 0);
  EXPECT_DOUBLE_EQ(angle_z, -2);
  // The model turns: the camera is neither moved nor re-applied, only redrawn.
  ExpectCamera(0, 1000, 1500);
  EXPECT_EQ(CountCalls("glViewport"), 0);
  EXPECT_EQ(CountCalls("glutPostRedisplay"), 7);
}

TEST_F(InputTest, WAndSFlyAlongTheViewAxis) {
  // Start camera: forward is (0, -0.5, -0.866).
  GlutKeyboard('w', 0, 0);
  ExpectCamera(0, 1000 - 50, 1500 - 100 * 0.8660254037844);
  ExpectCameraAppliedAndRedrawn();
  GlutKeyboard('s', 0, 0);
  ExpectCamera(0, 1000, 1500);
  // Heading 90, level: forward is -x.
  Viewer.cam_x_angle = 90;
  Viewer.cam_y_angle = 90;
  GlutKeyboard('w', 0, 0);
  ExpectCamera(-100, 1000, 1500);
}

TEST_F(InputTest, AAndDMoveAlongWorldXWhateverTheHeading) {
  Viewer.cam_y_angle = 90;
  GlutKeyboard('a', 0, 0);
  ExpectCamera(-100, 1000, 1500);
  ExpectCameraAppliedAndRedrawn();
  GlutKeyboard('d', 0, 0);
  GlutKeyboard('d', 0, 0);
  ExpectCamera(100, 1000, 1500);
}

TEST_F(InputTest, MTogglesTheAnimation) {
  GlutKeyboard('m', 0, 0);
  EXPECT_EQ(animation, 1);
  GlutKeyboard('m', 0, 0);
  EXPECT_EQ(animation, 0);
  animation = 5;
  GlutKeyboard('m', 0, 0);
  EXPECT_EQ(animation, 0);
  EXPECT_EQ(CountCalls("glutPostRedisplay"), 3);
  EXPECT_EQ(CountCalls("glViewport"), 0);
}

TEST_F(InputTest, PlusAndMinusStepThePrecisionWithinItsLimits) {
  GlutKeyboard('-', 0, 0);
  EXPECT_EQ(max_precision, 5);
  EXPECT_TRUE(refresh_mesh);
  refresh_mesh = false;
  GlutKeyboard('+', 0, 0);
  GlutKeyboard('+', 0, 0);
  EXPECT_EQ(max_precision, 7);
  EXPECT_TRUE(refresh_mesh);
  EXPECT_EQ(CountCalls("glutPostRedisplay"), 3);

  max_precision = 100;
  refresh_mesh = false;
  GlutKeyboard('+', 0, 0);
  EXPECT_EQ(max_precision, 100);
  EXPECT_TRUE(refresh_mesh);

  max_precision = 0;
  refresh_mesh = false;
  GlutKeyboard('-', 0, 0);
  EXPECT_EQ(max_precision, 0);
  EXPECT_TRUE(refresh_mesh);
}

TEST_F(InputTest, KeysOutsideTheTableDoNothing) {
  for (unsigned char key : {'Q', 'W', 'S', 'A', 'D', 'M', 'R', 'H', ' ', '=', '_', '1', '\r'}) {
    GlutKeyboard(key, 10, 20);
    EXPECT_TRUE(RecordedCalls().empty()) << "key " << int(key);
  }
  ExpectCamera(0, 1000, 1500);
  EXPECT_DOUBLE_EQ(angle_x, 0);
  EXPECT_DOUBLE_EQ(angle_y, 0);
  EXPECT_DOUBLE_EQ(angle_z, 0);
  EXPECT_EQ(animation, 0);
  EXPECT_EQ(max_precision, 6);
  EXPECT_FALSE(refresh_mesh);
}

// ---- start view, help card, quitting

TEST_F(InputTest, HomeAndRPutTheStartViewBackAndKeepTheAirSpeed) {
  // 300 rows of spacing 7: the side is 2100, whatever the column count.
  input.rows = 300;
  input.cols = 40;
  input.grid_space = 7;
  for (const bool home : {true, false}) {
    Viewer.cam_x = -3;
    Viewer.cam_y = 7;
    Viewer.cam_z = 9;
    Viewer.cam_x_angle = 33;
    Viewer.cam_y_angle = 250;
    angle_x = 10;
    angle_y = 20;
    angle_z = 30;
    animation = 1;
    Viewer.air_speed = 42;
    ClearRecordedCalls();
    if (home)
      GlutSpecial(GLUT_KEY_HOME, 5, 5);
    else
      GlutKeyboard('r', 5, 5);
    ExpectCamera(0, 2100, 3150);
    EXPECT_EQ(Viewer.cam_x_angle, 120);
    EXPECT_EQ(Viewer.cam_y_angle, 0);
    EXPECT_EQ(angle_x, 0);
    EXPECT_EQ(angle_y, 0);
    EXPECT_EQ(angle_z, 0);
    EXPECT_EQ(animation, 0);
    EXPECT_EQ(Viewer.air_speed, 42);
    ExpectCameraAppliedAndRedrawn();
  }
}

TEST_F(InputTest, HAndF1ToggleTheHelpCardAndOnlyRedraw) {
  GlutKeyboard('h', 0, 0);
  EXPECT_EQ(show_help, 1);
  GlutSpecial(GLUT_KEY_F1, 0, 0);
  EXPECT_EQ(show_help, 0);
  GlutSpecial(GLUT_KEY_F1, 0, 0);
  EXPECT_EQ(show_help, 1);
  GlutKeyboard('h', 0, 0);
  EXPECT_EQ(show_help, 0);
  EXPECT_EQ(CountCalls("glutPostRedisplay"), 4);
  EXPECT_EQ(CountCalls("glViewport"), 0);
  ExpectCamera(0, 1000, 1500);
}

using InputDeathTest = InputTest;

TEST_F(InputDeathTest, EscAndQEndTheProgramWithStatusZero) {
  EXPECT_EXIT(GlutKeyboard(27, 0, 0), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(GlutKeyboard('q', 0, 0), testing::ExitedWithCode(0), "");
}

// ---- arrow keys

TEST_F(InputTest, ArrowsTurnTheCamera) {
  GlutSpecial(GLUT_KEY_LEFT, 0, 0);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, 2);
  ExpectCameraAppliedAndRedrawn();
  GlutSpecial(GLUT_KEY_RIGHT, 0, 0);
  GlutSpecial(GLUT_KEY_RIGHT, 0, 0);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, -2);
  GlutSpecial(GLUT_KEY_UP, 0, 0);
  EXPECT_DOUBLE_EQ(Viewer.cam_x_angle, 118);
  GlutSpecial(GLUT_KEY_DOWN, 0, 0);
  GlutSpecial(GLUT_KEY_DOWN, 0, 0);
  EXPECT_DOUBLE_EQ(Viewer.cam_x_angle, 122);
  EXPECT_EQ(CountCalls("glutPostRedisplay"), 6);
  ExpectCamera(0, 1000, 1500);
}

TEST_F(InputTest, ArrowsWrapTheHeadingByOneTurn) {
  Viewer.cam_y_angle = 359;
  GlutSpecial(GLUT_KEY_LEFT, 0, 0);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, 1);
  Viewer.cam_y_angle = -359;
  GlutSpecial(GLUT_KEY_RIGHT, 0, 0);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, -1);
}

TEST_F(InputTest, OtherSpecialKeysDoNothing) {
  for (int key : {GLUT_KEY_F2, GLUT_KEY_F12, GLUT_KEY_PAGE_UP, GLUT_KEY_END, GLUT_KEY_INSERT,
                  GLUT_KEY_SHIFT_L, GLUT_KEY_CTRL_L, GLUT_KEY_ALT_R}) {
    GlutSpecial(key, 0, 0);
  }
  EXPECT_TRUE(RecordedCalls().empty());
  EXPECT_DOUBLE_EQ(Viewer.cam_x_angle, 120);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, 0);
}

// ---- flying low in "Screen Error"

TEST_F(InputTest, FlyingLowStepsShortAndStopsTwoMetresAboveTheHill) {
  // 11 x 11 points of spacing 10 rising 20 a column towards +x, drawn from x = -55: side
  // 110, so full steps from 11 above the ground. The camera looks level along -x.
  UseGrid(11, 11, 10, [](int, int c) { return 20 * c; });
  input.has_nodata = false;
  input.units_per_metre = 1;
  const auto ground = [](double x) { return 2 * (x + 55); };
  Viewer.cam_x_angle = Viewer.cam_y_angle = 90;
  screen_error = 1;
  for (const bool wheel : {false, true}) {
    Viewer.cam_x = -35;
    Viewer.cam_y = ground(-35) + 5;
    Viewer.cam_z = 0;
    if (wheel)
      GlutMouse(kWheelDownButton, GLUT_DOWN, 0, 0);
    else
      GlutKeyboard('s', 0, 0);
    const double x = -35 + 100 * 5.0 / 11;  // 5 above the ground: 5/11 of a step, backwards
    ExpectCamera(x, ground(x) + 2, 0);
  }
}

}  // namespace
