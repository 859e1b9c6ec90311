// The control panel over real frames: synthetic mouse and key input goes in through the
// panel's input handlers and ImGui's IO, and the tests check the live variables, the
// limits, which ids reached the panel callback, and where presses and drags are routed.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "ControlPanel.h"
#include "imgui.h"

namespace {

std::vector<int> reported_ids;

void RecordingCallback(int id) {
  reported_ids.push_back(id);
  GluiControl(id);
}

struct Point {
  int x, y;
};

class ControlPanelTest : public ::testing::Test {
 protected:
  // One panel for the suite, built for a grid of 150 rows and 200 columns with
  // grid_space 90; removed afterwards so later suites draw without it.
  static void SetUpTestSuite() {
    saved_input_ = input;
    input.rows = 150;
    input.cols = 200;
    input.grid_space = 90;
    CreateControlPanel();
    // Clicks of one test land on the same spots; none of them is meant as a double click.
    ImGui::GetIO().MouseDoubleClickTime = 0;
    panel_control_callback = RecordingCallback;
  }
  static void TearDownTestSuite() {
    DestroyControlPanel();
    panel_control_callback = GluiControl;
    input = saved_input_;
  }

  void SetUp() override {
    wireframe = 0;
    light = 1;
    mesh_simplification = 0;
    animation = 0;
    show_nodata = 0;
    rendering_mode = 0;
    mesh_mode = 0;
    max_precision = 6;
    max_approx_error = 10;
    y_multiplier = 1.0f;
    xz_multiplier = 1.0f;
    terrain_border_1 = {0, 0, 0};
    terrain_border_2 = {200, 0, 150};
    Viewer.air_speed = 900;
    Viewer.cam_x = 0;
    Viewer.cam_y = 13500;
    Viewer.cam_z = 20250;
    Viewer.cam_x_angle = 120;
    Viewer.cam_y_angle = 0;
    angle_x = 0;
    left_button = right_button = 0;
    width = 1024;
    height = 768;
    Frames(2);
    SetPropertiesOpen(true);
    refresh_mesh = false;
    reported_ids.clear();
  }

  static void Frames(int n) {
    for (int i = 0; i < n; ++i) {
      glClearColor(1, 0, 0, 1);
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      RenderControlPanel();
      glutSwapBuffers();
    }
  }

  static Point Centre(const char* label) {
    PanelRect r{};
    EXPECT_TRUE(FindPanelControl(label, &r)) << "no control \"" << label << "\"";
    return {static_cast<int>((r.x0 + r.x1) / 2), static_cast<int>((r.y0 + r.y1) / 2)};
  }

  // Press and release with no frame in between, as a quick click arrives.
  static void Click(Point p, int modifiers = 0) {
    PanelPassiveMotion(p.x, p.y);
    PanelMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, p.x, p.y, modifiers);
    PanelMouse(GLUT_LEFT_BUTTON, GLUT_UP, p.x, p.y, modifiers);
    Frames(4);
  }
  static void Click(const char* label) { Click(Centre(label)); }

  static void SetPropertiesOpen(bool open) {
    PanelRect r{};
    const bool is_open = FindPanelControl("Wireframe", &r);
    if (is_open != open) Click("Properties");
    Frames(2);
  }

  // Left drag from `from` by (dx, dy) in ten steps, a frame after each.
  static void Drag(Point from, int dx, int dy) {
    PanelPassiveMotion(from.x, from.y);
    PanelMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, from.x, from.y, 0);
    Frames(1);
    for (int i = 1; i <= 10; ++i) {
      PanelMotion(from.x + dx * i / 10, from.y + dy * i / 10);
      Frames(1);
    }
    PanelMouse(GLUT_LEFT_BUTTON, GLUT_UP, from.x + dx, from.y + dy, 0);
    Frames(2);
  }

  // Types the text one character a frame.
  static void TypeChars(const std::string& text) {
    for (char c : text) {
      ImGui::GetIO().AddInputCharacter(static_cast<unsigned char>(c));
      Frames(1);
    }
  }

  // Presses and releases a key, a frame each, and lets two frames follow.
  static void PressKey(ImGuiKey_ key) {
    ImGuiIO& io = ImGui::GetIO();
    const int index = io.KeyMap[key];
    io.KeysDown[index] = true;
    Frames(1);
    io.KeysDown[index] = false;
    Frames(2);
  }

  // Ctrl+click on a spinner's field, type the text, press Enter.
  static void TypeInto(const char* label, const std::string& text) {
    Click(Centre(label), GLUT_ACTIVE_CTRL);
    ImGui::GetIO().KeyCtrl = false;  // Ctrl comes up before the typing
    Frames(1);
    TypeChars(text);
    PressKey(ImGuiKey_Enter);
  }

  // A new panel for a grid of `rows` x `cols`, the whole grid inside the borders, open.
  static void RecreatePanel(int rows, int cols) {
    DestroyControlPanel();
    input.rows = rows;
    input.cols = cols;
    CreateControlPanel();
    ImGui::GetIO().MouseDoubleClickTime = 0;
    terrain_border_1 = {0, 0, 0};
    terrain_border_2 = {cols, 0, rows};
    Frames(2);
    SetPropertiesOpen(true);
  }

  static data saved_input_;
};

data ControlPanelTest::saved_input_;

const char kPrecision[] = "             Precision:";
const char kYMultiplier[] = "         Y-Multiplier:";
const char kXZMultiplier[] = "     X-Z-Multiplier:";
const char kMaxError[] = "Max. Approx. Error:";
const char kColor[] = "Color                    ";
const char kTexture[] = "Texture                  ";
const char kSimple[] = "Simple                   ";

// ---- layout

TEST_F(ControlPanelTest, PropertiesStartClosedAndAQuickClickOpensAndClosesThem) {
  DestroyControlPanel();
  CreateControlPanel();
  ImGui::GetIO().MouseDoubleClickTime = 0;
  Frames(2);
  PanelRect r{};
  EXPECT_TRUE(FindPanelControl("Properties", &r));
  EXPECT_TRUE(FindPanelControl("Quit", &r));
  EXPECT_FALSE(FindPanelControl("Wireframe", &r));
  const float closed_top = ControlPanelTop();
  EXPECT_LT(closed_top, 768);
  EXPECT_GT(closed_top, 700);

  Click("Properties");
  for (const char* label : {"Wireframe", "Light", "Mesh Simplification", "Animation",
                            "Air-Speed:", kColor, kTexture, kSimple, "Quad Subdivision",
                            "Triangle Subdivision", kPrecision, kYMultiplier,
                            kXZMultiplier, kMaxError, "X1:", "Z1:", "X2:", "Z2:"}) {
    EXPECT_TRUE(FindPanelControl(label, &r)) << label;
  }
  EXPECT_LT(ControlPanelTop(), closed_top - 100);
  EXPECT_TRUE(reported_ids.empty());

  Click("Properties");
  EXPECT_FALSE(FindPanelControl("Wireframe", &r));
  EXPECT_FLOAT_EQ(ControlPanelTop(), closed_top);
}

TEST_F(ControlPanelTest, FourColumnsLeftToRightAndQuitRightOfThemAll) {
  const float column_1 = Centre("Wireframe").x;
  const float column_2 = Centre(kColor).x;
  const float column_3 = Centre(kPrecision).x;
  const float column_4 = Centre("X1:").x;
  EXPECT_LT(column_1, column_2);
  EXPECT_LT(column_2, column_3);
  EXPECT_LT(column_3, column_4);
  EXPECT_LT(column_4, Centre("Quit").x);
  // Each column keeps its controls in order, top to bottom.
  EXPECT_LT(Centre("Wireframe").y, Centre("Light").y);
  EXPECT_LT(Centre("Light").y, Centre("Show NODATA").y);
  EXPECT_LT(Centre("Show NODATA").y, Centre("Mesh Simplification").y);
  EXPECT_LT(Centre("Mesh Simplification").y, Centre("Animation").y);
  EXPECT_LT(Centre("Animation").y, Centre("Air-Speed:").y);
  EXPECT_LT(Centre(kSimple).y, Centre("Quad Subdivision").y);
  EXPECT_LT(Centre(kPrecision).y, Centre(kYMultiplier).y);
  EXPECT_LT(Centre(kXZMultiplier).y, Centre(kMaxError).y);
  EXPECT_LT(Centre("Z1:").y, Centre("X2:").y);
  // "Quit" stands level with the header, not in the rollout.
  EXPECT_EQ(Centre("Quit").y, Centre("Properties").y);
}

const char* const kEveryControl[] = {
    "Properties", "Quit",     "Wireframe",        "Light",     "Show NODATA", "Mesh Simplification",
    "Animation",  "Air-Speed:", kColor,            kTexture,    kSimple,
    "Quad Subdivision", "Triangle Subdivision", kPrecision, kYMultiplier, kXZMultiplier,
    kMaxError,    "X1:",      "Z1:",              "X2:",       "Z2:"};

// Drawn, inside the window and below the panel's top edge, and clear of every other.
void ExpectEveryControlShownApart(int window_width, int window_height) {
  std::vector<PanelRect> rects;
  for (const char* label : kEveryControl) {
    PanelRect r{};
    ASSERT_TRUE(FindPanelControl(label, &r)) << label;
    EXPECT_GE(r.x0, 0) << label;
    EXPECT_LE(r.x1, window_width) << label;
    EXPECT_GE(r.y0, ControlPanelTop()) << label;
    EXPECT_LE(r.y1, window_height) << label;
    for (size_t i = 0; i < rects.size(); ++i) {
      const PanelRect& o = rects[i];
      EXPECT_FALSE(r.x0 < o.x1 && o.x0 < r.x1 && r.y0 < o.y1 && o.y0 < r.y1)
          << label << " overlaps " << kEveryControl[i];
    }
    rects.push_back(r);
  }
}

// A window narrower than the four groups wraps them into rows: at 640 x 480 every control
// is in the window, and the fields on the right take typed values.
TEST_F(ControlPanelTest, InANarrowWindowTheGroupsWrapAndEveryControlIsReachable) {
  width = 640;
  height = 480;
  Frames(3);
  ExpectEveryControlShownApart(640, 480);
  EXPECT_GT(Centre(kPrecision).y, Centre("Air-Speed:").y);  // the second row
  EXPECT_LT(ControlPanelTop(), 480 - 200);
  TypeInto("Z2:", "77");
  EXPECT_EQ(terrain_border_2.z, 77);
  TypeInto(kMaxError, "33");
  EXPECT_EQ(max_approx_error, 33);
}

// A window too low for the wrapped panel keeps a quarter for the view, and the wheel over
// the panel scrolls it down to its last field.
TEST_F(ControlPanelTest, APanelTallerThanItsShareScrollsWithTheWheel) {
  width = 400;
  height = 500;
  Frames(3);
  EXPECT_EQ(ControlPanelTop(), 125);
  const Point on_panel{200, 300};
  PanelRect z2{};
  for (int notch = 0; notch < 50; ++notch) {
    ASSERT_TRUE(FindPanelControl("Z2:", &z2));
    if (z2.y1 <= 500) break;
    PanelPassiveMotion(on_panel.x, on_panel.y);
    PanelMouse(4, GLUT_DOWN, on_panel.x, on_panel.y, 0);
    PanelMouse(4, GLUT_UP, on_panel.x, on_panel.y, 0);
    Frames(2);
  }
  ASSERT_LE(z2.y1, 500);
  EXPECT_GE(z2.y0, ControlPanelTop());
  EXPECT_EQ(Viewer.cam_z, 20250);
  TypeInto("Z2:", "12");
  EXPECT_EQ(terrain_border_2.z, 12);
}

TEST_F(ControlPanelTest, OpaqueStripAlongTheBottomAndTheViewAboveUntouched) {
  Frames(1);
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  RenderControlPanel();
  unsigned char top[3], bottom[3];
  glReadPixels(500, 700, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, top);  // GL rows count upwards
  glReadPixels(1000, 5, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, bottom);
  glutSwapBuffers();
  EXPECT_EQ(top[0], 255);
  EXPECT_EQ(top[1], 0);
  // The panel's background hides the red clear colour completely.
  EXPECT_LT(bottom[0], 80);
}

// ---- check boxes and radio buttons

TEST_F(ControlPanelTest, CheckBoxesToggleTheirVariablesAndReportTheirIds) {
  Click("Wireframe");
  EXPECT_EQ(wireframe, 1);
  Click("Light");
  EXPECT_EQ(light, 0);
  Click("Animation");
  EXPECT_EQ(animation, 1);
  EXPECT_FALSE(refresh_mesh);
  Click("Mesh Simplification");
  EXPECT_EQ(mesh_simplification, 1);
  EXPECT_TRUE(refresh_mesh);
  refresh_mesh = false;
  Click("Show NODATA");
  EXPECT_EQ(show_nodata, 1);
  EXPECT_TRUE(refresh_mesh);
  EXPECT_EQ(reported_ids, (std::vector<int>{101, 102, 106, 105, 117}));

  Click("Wireframe");
  Click("Light");
  Click("Show NODATA");
  EXPECT_EQ(wireframe, 0);
  EXPECT_EQ(light, 1);
  EXPECT_EQ(show_nodata, 0);
}

TEST_F(ControlPanelTest, RadioButtonsPickTheirModesAndReportChangesOnly) {
  Click(kTexture);
  EXPECT_EQ(rendering_mode, 1);
  Click(kSimple);
  EXPECT_EQ(rendering_mode, 2);
  Click(kColor);
  EXPECT_EQ(rendering_mode, 0);
  Click(kColor);  // already selected
  EXPECT_FALSE(refresh_mesh);
  Click("Triangle Subdivision");
  EXPECT_EQ(mesh_mode, 1);
  EXPECT_TRUE(refresh_mesh);
  Click("Quad Subdivision");
  EXPECT_EQ(mesh_mode, 0);
  EXPECT_EQ(reported_ids, (std::vector<int>{103, 103, 103, 104, 104}));
}

TEST_F(ControlPanelTest, TheKeysChangeOfPrecisionShowsInThePanelNextFrame) {
  max_precision = 100;
  GlutKeyboard('+', 0, 0);
  Frames(1);
  EXPECT_EQ(max_precision, 100);
  // Typing after a key change starts from the value the key left.
  max_precision = 41;
  TypeInto(kPrecision, "");
  EXPECT_EQ(max_precision, 41);
  EXPECT_TRUE(reported_ids.empty());
}

// ---- spinners

TEST_F(ControlPanelTest, TypedValuesAreClampedToTheLimits) {
  TypeInto(kPrecision, "150");
  EXPECT_EQ(max_precision, 100);
  TypeInto(kMaxError, "0");
  EXPECT_EQ(max_approx_error, 1);
  TypeInto(kYMultiplier, "-30");
  EXPECT_FLOAT_EQ(y_multiplier, -20.0f);
  TypeInto(kXZMultiplier, "-1");
  EXPECT_FLOAT_EQ(xz_multiplier, 0.0f);
  TypeInto("Air-Speed:", "123456");
  EXPECT_FLOAT_EQ(Viewer.air_speed, 90000.0f);  // 1000 x grid_space
  terrain_border_2.x = 120;
  TypeInto("X2:", "500");
  EXPECT_EQ(terrain_border_2.x, 200);  // the columns
  TypeInto("X2:", "200");              // clamped to what it holds: no change, no report
  TypeInto("Z1:", "500");
  EXPECT_EQ(terrain_border_1.z, 150);  // the rows
  // Each entry reports its id once, when the typing ends.
  EXPECT_EQ(reported_ids, (std::vector<int>{108, 111, 109, 110, 107, 114, 113}));
  EXPECT_TRUE(refresh_mesh);
}

TEST_F(ControlPanelTest, TypedValuesWithinTheLimitsAreTakenAsTheyAre) {
  TypeInto(kPrecision, "9");
  EXPECT_EQ(max_precision, 9);
  TypeInto(kYMultiplier, "2.5");
  EXPECT_FLOAT_EQ(y_multiplier, 2.5f);
  TypeInto("X1:", "17");
  EXPECT_EQ(terrain_border_1.x, 17);
  TypeInto("Z2:", "99");
  EXPECT_EQ(terrain_border_2.z, 99);
  EXPECT_EQ(reported_ids, (std::vector<int>{108, 109, 112, 115}));
}

TEST_F(ControlPanelTest, HalfTypedNumbersDoNotReachTheVariable) {
  Click(Centre(kPrecision), GLUT_ACTIVE_CTRL);
  ImGuiIO& io = ImGui::GetIO();
  io.KeyCtrl = false;
  Frames(1);
  io.AddInputCharacter('1');
  Frames(1);
  io.AddInputCharacter('5');
  Frames(1);
  EXPECT_EQ(max_precision, 6);
  EXPECT_FALSE(refresh_mesh);
  // A click elsewhere ends the typing like Enter does.
  Click(Centre(kMaxError));
  EXPECT_EQ(max_precision, 15);
  EXPECT_EQ(reported_ids, (std::vector<int>{108}));
}

TEST_F(ControlPanelTest, DraggingASpinnerChangesItsValueAndStopsAtTheLimits) {
  Drag(Centre(kPrecision), 60, 0);
  EXPECT_GT(max_precision, 6);
  EXPECT_LE(max_precision, 6 + 12);
  ASSERT_FALSE(reported_ids.empty());
  EXPECT_EQ(reported_ids.front(), 108);
  EXPECT_TRUE(refresh_mesh);

  Drag(Centre(kPrecision), -900, 0);  // 0.2 per pixel: far past the lower limit
  EXPECT_EQ(max_precision, 0);
  Drag(Centre(kMaxError), -900, 0);
  EXPECT_EQ(max_approx_error, 1);
  Drag(Centre(kYMultiplier), 900, 0);  // 0.1 per pixel
  EXPECT_FLOAT_EQ(y_multiplier, 20.0f);
  Drag(Centre("Z2:"), 900, 0);  // 2 per pixel
  EXPECT_EQ(terrain_border_2.z, 150);

  refresh_mesh = false;
  reported_ids.clear();
  Drag(Centre(kXZMultiplier), 40, 0);
  EXPECT_GT(xz_multiplier, 1.0f);
  EXPECT_FALSE(refresh_mesh);  // scale changes never rebuild the mesh
  ASSERT_FALSE(reported_ids.empty());
  for (int id : reported_ids) EXPECT_EQ(id, 110);
}

// ---- routing between the panel and the navigation

TEST_F(ControlPanelTest, ADragBegunOnTheTerrainKeepsTurningTheViewOverThePanel) {
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

TEST_F(ControlPanelTest, ADragBegunInThePanelNeverMovesTheCamera) {
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

TEST_F(ControlPanelTest, KeysOverThePanelGoToThePanelOnly) {
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

TEST_F(ControlPanelTest, KeysGoToThePanelWhileAValueIsTyped) {
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
TEST_F(ControlPanelTest, ClosingTheHeaderWhileTypingAppliesTheEntryThenAndNotLater) {
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

TEST_F(ControlPanelTest, TabToTheNextFieldKeepsTheEntryOfTheFirst) {
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
TEST_F(ControlPanelTest, BorderSpinnersStopAtTheColumnsAndTheRowsOfWideAndTallGrids) {
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

TEST_F(ControlPanelTest, ModifierKeysReachThePanelAsTheirOwnModifierOnly) {
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
TEST_F(ControlPanelTest, ShiftDragAndCtrlClickThroughTheKeysChangeTheSpinners) {
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
TEST_F(ControlPanelTest, TheWheelFliesOverTheViewOnly) {
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

TEST_F(ControlPanelTest, APressOnThePanelsTopRowIsThePanelsAndOneRowAboveTheViewers) {
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
