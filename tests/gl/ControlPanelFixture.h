// The fixture of the control panel's tests over real frames: one panel for a suite,
// synthetic mouse and key input through the panel's input handlers, and the ids that
// reached the panel callback.
#pragma once

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "ControlPanel.h"
#include "imgui.h"

namespace panel_test {

inline std::vector<int> reported_ids;

inline void RecordingCallback(int id) {
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

  inline static data saved_input_;
};

inline constexpr char kPrecision[] = "             Precision:";
inline constexpr char kYMultiplier[] = "         Y-Multiplier:";
inline constexpr char kXZMultiplier[] = "     X-Z-Multiplier:";
inline constexpr char kMaxError[] = "Max. Approx. Error:";
inline constexpr char kMaxScreenError[] = "Max. Screen Error (px):";
inline constexpr char kMaxTriangles[] = "Max. Triangles:";
inline constexpr char kColor[] = "Color                    ";
inline constexpr char kTexture[] = "Texture                  ";
inline constexpr char kSimple[] = "Simple                   ";

}  // namespace panel_test
