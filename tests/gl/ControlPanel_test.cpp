// The control panel over real frames: synthetic mouse and key input goes in through the
// panel's input handlers and ImGui's IO, and the tests check the layout, the live
// variables, the limits and which ids reached the panel callback. Where input is routed
// is in PanelInput_test.cpp.
//
// Index
//   layout
//   check boxes and radio buttons
//   spinners
#include <string>
#include <vector>

#include "ControlPanelFixture.h"

namespace {

using namespace panel_test;

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
  // Screen Error beside Square Cells.
  EXPECT_EQ(Centre("Screen Error").y, Centre("Square Cells").y);
  EXPECT_LT(Centre("Square Cells").x, Centre("Screen Error").x);
  EXPECT_LT(Centre(kMaxError).y, Centre("Screen Error").y);
  EXPECT_LT(Centre("Z1:").y, Centre("X2:").y);
  // "Quit" stands level with the header, not in the rollout.
  EXPECT_EQ(Centre("Quit").y, Centre("Properties").y);
}

const char* const kEveryControl[] = {
    "Properties", "Quit",     "Wireframe",        "Light",     "Show NODATA", "Mesh Simplification",
    "Animation",  "Air-Speed:", kColor,            kTexture,    kSimple,
    "Quad Subdivision", "Triangle Subdivision", kPrecision, kYMultiplier, kXZMultiplier,
    kMaxError,    "X1:",      "Z1:",              "X2:",       "Z2:",
    "Strict Error", "Square Cells", "Screen Error"};

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

// Screen Error's bound and cap show, below its check box, while it is on; each change asks
// for a new mesh.
TEST_F(ControlPanelTest, ScreenErrorShowsItsBoundAndCapWhileOnAndEachAsksForAMesh) {
  PanelRect r{};
  EXPECT_FALSE(FindPanelControl(kMaxScreenError, &r));
  Click("Screen Error");
  EXPECT_EQ(screen_error, 1);
  EXPECT_TRUE(refresh_mesh);
  EXPECT_LT(Centre("Screen Error").y, Centre(kMaxScreenError).y);
  EXPECT_LT(Centre(kMaxScreenError).y, Centre(kMaxTriangles).y);
  EXPECT_EQ(Centre(kMaxScreenError).x, Centre(kMaxError).x);  // the fields line up
  TypeInto(kMaxScreenError, "0.1");
  EXPECT_EQ(max_screen_error, 0.25f);
  TypeInto(kMaxScreenError, "2.5");
  EXPECT_EQ(max_screen_error, 2.5f);
  TypeInto(kMaxTriangles, "7");
  EXPECT_EQ(screen_triangle_cap, 1000);
  TypeInto(kMaxTriangles, "123456");
  EXPECT_EQ(screen_triangle_cap, 123456);
  EXPECT_EQ(reported_ids, (std::vector<int>{120, 121, 121, 122, 122}));

  // The cap drags over decades: 100 pixels a factor of ten.
  screen_triangle_cap = 1000000;
  Drag(Centre(kMaxTriangles), 100, 0);
  EXPECT_GT(screen_triangle_cap, 5000000);
  EXPECT_LT(screen_triangle_cap, 20000000);
  Drag(Centre(kMaxTriangles), -900, 0);
  EXPECT_EQ(screen_triangle_cap, 1000);
  Drag(Centre(kMaxScreenError), 900, 0);
  EXPECT_EQ(max_screen_error, 20.0f);
  Click("Screen Error");
  EXPECT_FALSE(FindPanelControl(kMaxTriangles, &r));
}

}  // namespace
