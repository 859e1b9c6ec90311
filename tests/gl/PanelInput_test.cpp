// The routing of input between the panel and the 3-D view's navigation over real frames:
// presses, drags, the wheel and keys on either side of the panel's top edge, and the
// modifier keys as the panel sees them.
#include <cmath>

#include "ControlPanelFixture.h"

namespace {

using namespace panel_test;

class PanelInputTest : public ControlPanelTest {};

// ---- routing between the panel and the navigation

TEST_F(PanelInputTest, ADragBegunOnTheTerrainKeepsTurningTheViewOverThePanel) {
  const int panel_y = static_cast<int>(ControlPanelTop()) + 20;
  PanelMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 500, panel_y - 30, 0);
  EXPECT_EQ(left_button, 1);
  PanelMotion(510, panel_y);
  Frames(1);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, -10);
  EXPECT_DOUBLE_EQ(Viewer.cam_x_angle, 120 + 30);
  PanelMouse(GLUT_LEFT_BUTTON, GLUT_UP, 510, panel_y, 0);
  EXPECT_EQ(left_button, 0);
  Frames(2);
  // Passing over the panel pressed nothing in it.
  EXPECT_TRUE(reported_ids.empty());
}

TEST_F(PanelInputTest, ADragBegunInThePanelNeverMovesTheCamera) {
  const int panel_y = static_cast<int>(ControlPanelTop()) + 5;
  PanelMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 700, panel_y, 0);
  EXPECT_EQ(left_button, 0);
  Frames(1);
  PanelMotion(760, panel_y - 200);
  Frames(1);
  PanelMouse(GLUT_LEFT_BUTTON, GLUT_UP, 760, panel_y - 200, 0);
  Frames(2);
  EXPECT_EQ(left_button, 0);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, 0);
  EXPECT_DOUBLE_EQ(Viewer.cam_x_angle, 120);
}

// Slow frames: keys fly the camera faster than frames are drawn, then the header is
// clicked, all before the next frame. The keys hold up nothing in the panel.
TEST_F(PanelInputTest, KeysForTheViewDoNotHoldUpTheNextClickInThePanel) {
  for (const bool open : {false, true}) {
    for (int i = 0; i < 40; ++i) {
      PanelKeyboard('x', 512, 100);
      PanelKeyboardUp('x', 512, 100);
    }
    const Point header = Centre("Properties");
    PanelPassiveMotion(header.x, header.y);
    PanelMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, header.x, header.y, 0);
    PanelMouse(GLUT_LEFT_BUTTON, GLUT_UP, header.x, header.y, 0);
    Frames(3);
    PanelRect r{};
    EXPECT_EQ(FindPanelControl("Wireframe", &r), open);
  }
  EXPECT_DOUBLE_EQ(angle_x, 2 * 80);
}

// A slow frame sees the press; the release and a move away arrive before the next one.
TEST_F(PanelInputTest, TheHeaderTogglesOnAReleaseThatThePointerLeavesAtOnce) {
  for (const bool open : {false, true}) {
    const Point header = Centre("Properties");
    PanelPassiveMotion(header.x, header.y);
    PanelMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, header.x, header.y, 0);
    Frames(1);
    PanelMouse(GLUT_LEFT_BUTTON, GLUT_UP, header.x, header.y, 0);
    PanelPassiveMotion(512, 100);
    Frames(3);
    PanelRect r{};
    EXPECT_EQ(FindPanelControl("Wireframe", &r), open);
  }
}

TEST_F(PanelInputTest, KeysOverThePanelGoToThePanelOnly) {
  const int panel_y = static_cast<int>(ControlPanelTop()) + 5;
  PanelKeyboard('x', 500, panel_y);
  PanelKeyboardUp('x', 500, panel_y);
  EXPECT_DOUBLE_EQ(angle_x, 0);
  PanelSpecial(GLUT_KEY_LEFT, 500, panel_y);
  PanelSpecialUp(GLUT_KEY_LEFT, 500, panel_y);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, 0);
  Frames(2);
  PanelKeyboard('x', 500, 100);
  PanelKeyboardUp('x', 500, 100);
  EXPECT_DOUBLE_EQ(angle_x, 2);
  PanelSpecial(GLUT_KEY_LEFT, 500, 100);
  PanelSpecialUp(GLUT_KEY_LEFT, 500, 100);
  EXPECT_DOUBLE_EQ(Viewer.cam_y_angle, 2);
  Frames(2);
}

TEST_F(PanelInputTest, KeysGoToThePanelWhileAValueIsTyped) {
  Click(Centre(kMaxError), GLUT_ACTIVE_CTRL);
  ImGui::GetIO().KeyCtrl = false;
  Frames(1);
  // The pointer has left the panel, the typing goes on.
  PanelKeyboard('-', 500, 100);
  PanelKeyboardUp('-', 500, 100);
  EXPECT_EQ(max_precision, 6);
  EXPECT_FALSE(refresh_mesh);
  Frames(2);
  Click(Centre("Wireframe"));
  EXPECT_EQ(wireframe, 1);
  PanelKeyboard('-', 500, 100);
  EXPECT_EQ(max_precision, 5);
  PanelKeyboardUp('-', 500, 100);
  Frames(2);
}

// A click on the header's arrow closes it at the press, in the frame where a click
// elsewhere would end the typing: the spinner typed into is then no longer drawn.
TEST_F(PanelInputTest, ClosingTheHeaderWhileTypingAppliesTheEntryThenAndNotLater) {
  // The header moves as the panel opens and closes.
  auto arrow = [] {
    const Point centre = Centre("Properties");
    PanelRect header{};
    FindPanelControl("Properties", &header);
    return Point{static_cast<int>(header.x0) + 8, centre.y};
  };
  Click(Centre(kPrecision), GLUT_ACTIVE_CTRL);
  ImGuiIO& io = ImGui::GetIO();
  io.KeyCtrl = false;
  Frames(1);
  io.AddInputCharacter('8');
  Frames(1);
  EXPECT_EQ(max_precision, 6);
  Click(arrow());
  PanelRect r{};
  ASSERT_FALSE(FindPanelControl("Wireframe", &r)) << "the header did not close";
  EXPECT_EQ(max_precision, 8);
  EXPECT_EQ(reported_ids, (std::vector<int>{108}));
  // The keys change the precision while the panel is closed; reopening keeps their value.
  for (int i = 0; i < 3; ++i) {
    PanelKeyboard('-', 500, 100);
    PanelKeyboardUp('-', 500, 100);
    Frames(2);  // the panel sees each press and release in a frame of its own
  }
  EXPECT_EQ(max_precision, 5);
  Click("Properties");
  ASSERT_TRUE(FindPanelControl("Wireframe", &r)) << "the header did not open";
  EXPECT_EQ(max_precision, 5);
  EXPECT_EQ(reported_ids, (std::vector<int>{108}));
}

TEST_F(PanelInputTest, TabToTheNextFieldKeepsTheEntryOfTheFirst) {
  Click(Centre("X1:"), GLUT_ACTIVE_CTRL);
  ImGui::GetIO().KeyCtrl = false;
  Frames(1);
  TypeChars("31");
  PressKey(ImGuiKey_Tab);
  EXPECT_EQ(terrain_border_1.x, 31);
  TypeChars("42");
  PressKey(ImGuiKey_Enter);
  EXPECT_EQ(terrain_border_1.x, 31);
  EXPECT_EQ(terrain_border_1.z, 42);
  EXPECT_EQ(reported_ids, (std::vector<int>{112, 113}));
}

// X1 and X2 run from 0 to the columns, Z1 and Z2 from 0 to the rows, on a wide grid and on
// a tall one, whether typed or dragged.
TEST_F(PanelInputTest, BorderSpinnersStopAtTheColumnsAndTheRowsOfWideAndTallGrids) {
  struct Shape {
    int rows, cols;
  };
  for (const Shape shape : {Shape{150, 200}, Shape{200, 150}, Shape{344, 403}, Shape{403, 344}}) {
    SCOPED_TRACE(testing::Message() << shape.rows << " rows, " << shape.cols << " columns");
    RecreatePanel(shape.rows, shape.cols);
    struct Border {
      const char* label;
      int* value;
      int limit;
    };
    const Border borders[] = {{"X1:", &terrain_border_1.x, shape.cols},
                              {"Z1:", &terrain_border_1.z, shape.rows},
                              {"X2:", &terrain_border_2.x, shape.cols},
                              {"Z2:", &terrain_border_2.z, shape.rows}};
    for (const Border& b : borders) {
      SCOPED_TRACE(b.label);
      *b.value = 5;
      Frames(1);
      TypeInto(b.label, "100000");
      EXPECT_EQ(*b.value, b.limit);
      TypeInto(b.label, std::to_string(b.limit - 1));
      EXPECT_EQ(*b.value, b.limit - 1);
      TypeInto(b.label, "-7");
      EXPECT_EQ(*b.value, 0);
      Drag(Centre(b.label), 900, 0);  // 2 per pixel
      EXPECT_EQ(*b.value, b.limit);
      Drag(Centre(b.label), -900, 0);
      EXPECT_EQ(*b.value, 0);
    }
  }
  RecreatePanel(150, 200);
}

// ---- modifier keys

TEST_F(PanelInputTest, ModifierKeysReachThePanelAsTheirOwnModifierOnly) {
  ImGuiIO& io = ImGui::GetIO();
  struct Modifier {
    int key;
    bool ImGuiIO::*flag;
  };
  const Modifier modifiers[] = {{GLUT_KEY_SHIFT_L, &ImGuiIO::KeyShift}, {GLUT_KEY_SHIFT_R, &ImGuiIO::KeyShift},
                                {GLUT_KEY_CTRL_L, &ImGuiIO::KeyCtrl},   {GLUT_KEY_CTRL_R, &ImGuiIO::KeyCtrl},
                                {GLUT_KEY_ALT_L, &ImGuiIO::KeyAlt},     {GLUT_KEY_ALT_R, &ImGuiIO::KeyAlt}};
  const int panel_y = static_cast<int>(ControlPanelTop()) + 5;
  for (const Modifier& m : modifiers) {
    SCOPED_TRACE(testing::Message() << "GLUT key " << m.key);
    PanelSpecial(m.key, 500, panel_y);
    Frames(1);
    EXPECT_EQ(io.KeyShift, m.flag == &ImGuiIO::KeyShift);
    EXPECT_EQ(io.KeyCtrl, m.flag == &ImGuiIO::KeyCtrl);
    EXPECT_EQ(io.KeyAlt, m.flag == &ImGuiIO::KeyAlt);
    PanelSpecialUp(m.key, 500, panel_y);
    Frames(1);
    EXPECT_FALSE(io.KeyShift || io.KeyCtrl || io.KeyAlt);
  }
}

// Shift pressed during a drag makes ImGui drag ten times as fast; Ctrl held with the
// Ctrl key's press and the click's modifiers starts typing.
TEST_F(PanelInputTest, ShiftDragAndCtrlClickThroughTheKeysChangeTheSpinners) {
  const Point p = Centre("Z2:");
  // Five one-pixel steps, Shift pressed through its key after the button went down.
  auto drag = [&](bool shift) {
    terrain_border_2.z = 0;
    Frames(1);
    PanelPassiveMotion(p.x, p.y);
    PanelMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, p.x, p.y, 0);
    Frames(1);
    if (shift) PanelSpecial(GLUT_KEY_SHIFT_L, p.x, p.y);
    Frames(1);
    for (int i = 1; i <= 5; ++i) {
      PanelMotion(p.x + i, p.y);
      Frames(1);
    }
    PanelMouse(GLUT_LEFT_BUTTON, GLUT_UP, p.x + 5, p.y, shift ? GLUT_ACTIVE_SHIFT : 0);
    if (shift) PanelSpecialUp(GLUT_KEY_SHIFT_L, p.x + 5, p.y);
    Frames(2);
    return terrain_border_2.z;
  };
  const int plain = drag(false);
  EXPECT_GT(plain, 0);
  EXPECT_LE(plain, 10);
  EXPECT_EQ(drag(true), 10 * plain);

  PanelSpecial(GLUT_KEY_CTRL_L, p.x, p.y);
  Frames(1);
  Click(p, GLUT_ACTIVE_CTRL);
  PanelSpecialUp(GLUT_KEY_CTRL_L, p.x, p.y);
  Frames(1);
  TypeChars("7");
  PressKey(ImGuiKey_Enter);
  EXPECT_EQ(terrain_border_2.z, 7);
}

// The wheel over the open panel goes to ImGui and leaves the camera; over the view it flies
// one air-speed step (900) along the view, whose forward vector is (0, -0.5, -0.866).
TEST_F(PanelInputTest, TheWheelFliesOverTheViewOnly) {
  const Point on_panel = Centre("Wireframe");
  for (int button : {3, 4}) {
    PanelPassiveMotion(on_panel.x, on_panel.y);
    PanelMouse(button, GLUT_DOWN, on_panel.x, on_panel.y, 0);
    PanelMouse(button, GLUT_UP, on_panel.x, on_panel.y, 0);
    EXPECT_EQ(ImGui::GetIO().MouseWheel, button == 3 ? 1 : -1);  // the panel's to scroll
    Frames(2);
    EXPECT_EQ(Viewer.cam_x, 0);
    EXPECT_EQ(Viewer.cam_y, 13500);
    EXPECT_EQ(Viewer.cam_z, 20250);
  }

  const int view_y = static_cast<int>(ControlPanelTop()) - 40;
  PanelPassiveMotion(500, view_y);
  PanelMouse(4, GLUT_DOWN, 500, view_y, 0);
  PanelMouse(4, GLUT_UP, 500, view_y, 0);
  Frames(2);
  EXPECT_NEAR(Viewer.cam_y, 13500 + 450, 1e-6);
  EXPECT_NEAR(Viewer.cam_z, 20250 + 900 * 0.8660254037844, 1e-6);
}

TEST_F(PanelInputTest, APressOnThePanelsTopRowIsThePanelsAndOneRowAboveTheViewers) {
  const int top = static_cast<int>(std::ceil(ControlPanelTop()));
  PanelMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 700, top, 0);
  EXPECT_EQ(left_button, 0);
  PanelMouse(GLUT_LEFT_BUTTON, GLUT_UP, 700, top, 0);
  Frames(2);
  PanelMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 700, top - 1, 0);
  EXPECT_EQ(left_button, 1);
  PanelMouse(GLUT_LEFT_BUTTON, GLUT_UP, 700, top - 1, 0);
  EXPECT_EQ(left_button, 0);
  Frames(2);
}

}  // namespace
