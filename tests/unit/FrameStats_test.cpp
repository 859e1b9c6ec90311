#include "FrameStats.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "Brackenholmer.h"
#include "Probe.h"
#include "MesherReference.h"

namespace {

class FrameStatsTest : public ::testing::Test {
 protected:
  static std::string Formatted(float value) {
    char s[64];
    std::snprintf(s, sizeof s, "%.4f", value);
    return s;
  }
};

TEST_F(FrameStatsTest, SixtyOneFramesInOneThousandSixteenMilliseconds) {
  for (int i = 1; i <= 60; ++i) UpdateFrameRate(i * 16);
  EXPECT_EQ(fps, 0);  // no window closed yet
  EXPECT_EQ(frames, 60);
  UpdateFrameRate(1016);
  EXPECT_EQ(Formatted(fps), "60.0394");
  EXPECT_EQ(timebase, 1016);
  EXPECT_EQ(frames, 0);
  // The next window counts from the following frame.
  UpdateFrameRate(1030);
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(Formatted(fps), "60.0394");
}

TEST_F(FrameStatsTest, WindowMustExceedOneSecondStrictly) {
  UpdateFrameRate(1000);
  EXPECT_EQ(fps, 0);
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(timebase, 0);
  UpdateFrameRate(1001);
  EXPECT_EQ(frames, 0);
  EXPECT_EQ(timebase, 1001);
  EXPECT_EQ(Formatted(fps), Formatted(2 * (1000 / 1001.0f)));

  UpdateFrameRate(2001);  // exactly 1000 ms after the last update
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(timebase, 1001);
  UpdateFrameRate(2002);
  EXPECT_EQ(Formatted(fps), "1.9980");
}

TEST_F(FrameStatsTest, OverlayHasFiveLinesWithRateAndCount) {
  fps = 60.0394f;
  triangle_count = 8192;
  ComposeOverlayText();
  EXPECT_STREQ(text_buffer,
               "Fps: 60.0394\nTriangles: 8192\nLeft Button: Rotate\n"
               "Right Button: Translate XZ\nLeft+Right Button: Translate XY\n");
}

TEST_F(FrameStatsTest, NoticeShowsUnderTheCountUntilItsEndHasPassed) {
  fps = 60.0394f;
  triangle_count = 8192;
  ShowOverlayNotice("Saved ./g_3x4-001.png", 5000);
  EXPECT_FALSE(ExpireOverlayNotice(5000));  // still its last millisecond
  ComposeOverlayText();
  EXPECT_STREQ(text_buffer,
               "Fps: 60.0394\nTriangles: 8192\nSaved ./g_3x4-001.png\nLeft Button: Rotate\n"
               "Right Button: Translate XZ\nLeft+Right Button: Translate XY\n");
  EXPECT_TRUE(ExpireOverlayNotice(5001));
  EXPECT_FALSE(ExpireOverlayNotice(5002));  // gone already
  ComposeOverlayText();
  EXPECT_EQ(std::string(text_buffer).find("Saved"), std::string::npos);
}

TEST_F(FrameStatsTest, OverlayStartsAfreshEachFrameAndShowsZeroCount) {
  std::strcpy(text_buffer, "left over from the last frame");
  triangle_count = 0;
  ComposeOverlayText();
  EXPECT_STREQ(text_buffer,
               "Fps: 0.0000\nTriangles: 0\nLeft Button: Rotate\n"
               "Right Button: Translate XZ\nLeft+Right Button: Translate XY\n");
}

TEST_F(FrameStatsTest, OverlayOfExtremeValuesStaysInsideTheBuffer) {
  fps = FLT_MAX;
  triangle_count = INT_MIN;
  ComposeOverlayText();
  const std::string text = text_buffer;
  EXPECT_LT(text.size(), sizeof text_buffer);
  EXPECT_NE(text.find("\nTriangles: -2147483648\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 32), "Left+Right Button: Translate XY\n");
}

// The drawn mesh's true error goes under the count: the bound for an adaptive mesh only,
// and the uncovered points when there are any.
TEST_F(FrameStatsTest, OverlayShowsTheTrueErrorOfTheDrawnMeshUnderTheCount) {
  mesher_test::ScopedGrid grid(9, 9);
  grid.at(3, 5) = 36;  // a point no sample of the meshers looks at
  auto overlay_of_mesh = [](int adaptive, int precision) {
    mesh_simplification = adaptive;
    max_precision = precision;
    refresh_mesh = true;
    Viewer.UpdateMesh();
    ComposeOverlayText();
    return std::string(text_buffer);
  };
  const std::string bindings = "Left Button: Rotate\nRight Button: Translate XZ\nLeft+Right Button: Translate XY\n";
  fps = 60;
  mesh_mode = 0;
  max_approx_error = 10;
  EXPECT_EQ(overlay_of_mesh(1, 10),
            "Fps: 60.0000\nTriangles: 2\nMax. error: 36 (bound 10), RMS: 4.0\n" + bindings);

  // Column 3 falls between the quads kept. Raising the grid's corner to 10 tilts its quad's
  // triangles: 2.5 per row or column away from the low corner, at most 7.5 three steps out;
  // sqrt(337.5 / 45) over the 45 points covered.
  terrain_border_1 = Vertex{3, 0, 0};
  grid.at(8, 8) = 10;
  EXPECT_EQ(overlay_of_mesh(0, 1),
            "Fps: 60.0000\nTriangles: 4\nMax. error: 7.5, RMS: 2.7, uncovered: 9 points\n" + bindings);

  // A rectangle of no grid point: no line.
  terrain_border_1 = Vertex{1, 0, 1};
  terrain_border_2 = Vertex{0, 0, 0};
  EXPECT_EQ(overlay_of_mesh(0, 1), "Fps: 60.0000\nTriangles: 0\n" + bindings);

  // A grid at 100 units a metre: the same figures in metres.
  grid.UseWholeGrid();
  grid.at(8, 8) = 0;
  input.units_per_metre = 100;
  EXPECT_EQ(overlay_of_mesh(1, 10),
            "Fps: 60.0000\nTriangles: 2\nMax. error: 0.36 m (bound 0.10 m), RMS: 0.04 m\n" + bindings);
  input.units_per_metre = 1;
}

// A mesh built for the view shows its error in pixels: a tenth for the error, the bound as
// set (to a hundredth), whole numbers bare.
TEST_F(FrameStatsTest, ScreenErrorLineGivesPixelsAndTheLimit) {
  EXPECT_EQ(ScreenErrorLine({true, 0.9, 1, false}), "Screen error: 0.9 px (bound 1 px)");
  EXPECT_EQ(ScreenErrorLine({true, 0.44, 0.5, false}), "Screen error: 0.4 px (bound 0.5 px)");
  EXPECT_EQ(ScreenErrorLine({true, 0.24, 0.25, false}), "Screen error: 0.2 px (bound 0.25 px)");
  EXPECT_EQ(ScreenErrorLine({true, 0.3f, 0.3f, false}), "Screen error: 0.3 px (bound 0.3 px)");
  EXPECT_EQ(ScreenErrorLine({true, 2.96, 3.0, false}), "Screen error: 3 px (bound 3 px)");
  EXPECT_EQ(ScreenErrorLine({true, 0, 20, false}), "Screen error: 0 px (bound 20 px)");
  EXPECT_EQ(ScreenErrorLine({true, 7.04, 7.456, true}), "Screen error: 7 px (bound 7.46 px), limited");
  EXPECT_EQ(ScreenErrorLine({true, 10.55, 10.5, true}), "Screen error: 10.6 px (bound 10.5 px), limited");
}

}  // namespace

namespace {

// The probe's line names the place in the file's terms: degrees north and west for the
// sample's corner, map x and y for a projected one, nothing without a corner.
TEST(Probe, TextGivesRowColumnPlaceAndHeights) {
  const data saved = input;
  int row0[] = {612, -9999}, row1[] = {5, 6};
  int* rows[] = {row0, row1};
  input.rows = 2, input.cols = 2, input.values = rows;
  input.has_nodata = true, input.nodata = -9999;
  input.place = GridPlace{true, true, -84.5, 36.5, 0.001, 0.002};
  EXPECT_EQ(ProbeText({0, 0}, true, 597.6), "Row 0, col 0, 36.5030 N 84.4995 W: 612 m, mesh 598 m");
  input.place = GridPlace{true, false, 500000, 4100000, 30, 30};
  EXPECT_EQ(ProbeText({1, 1}, false, 0), "Row 1, col 1, x 500045.0 y 4100015.0: 6 m");
  input.place = GridPlace{};
  EXPECT_EQ(ProbeText({0, 1}, true, -3), "Row 0, col 1: NODATA, mesh -3 m");
  input.units_per_metre = 100;  // centimetres shown as metres
  EXPECT_EQ(ProbeText({0, 0}, true, 597.6), "Row 0, col 0: 6.12 m, mesh 5.98 m");
  input = saved;
}

// Two triangles over the corners of a 3 x 3 grid, bent along their common edge: the height
// over a grid point comes from the triangle that covers it, edges included.
TEST(Probe, MeshHeightIsTheCoveringTrianglesInterpolation) {
  const data saved = input;
  int row0[] = {0, 0, 20}, row1[] = {0, 0, 0}, row2[] = {40, 0, 100};
  int* rows[] = {row0, row1, row2};
  input.rows = 3, input.cols = 3, input.values = rows, input.has_nodata = false;
  IndexedMesh m;
  m.points = {{0, 0}, {2, 0}, {0, 2}, {2, 2}};
  m.indices = {0, 1, 2, 1, 3, 2};
  double h = -1;
  ASSERT_TRUE(MeshHeightAt(m, {0, 1}, h));  // row 0, column 1: halfway along the top edge
  EXPECT_EQ(h, 10);
  ASSERT_TRUE(MeshHeightAt(m, {1, 2}, h));  // the right edge, second triangle only
  EXPECT_EQ(h, 60);
  ASSERT_TRUE(MeshHeightAt(m, {2, 2}, h));
  EXPECT_EQ(h, 100);
  m.indices.resize(3);
  EXPECT_FALSE(MeshHeightAt(m, {2, 2}, h));
  input = saved;
}

// Drawn points back to the nearest grid point of a 3 x 5 grid, 10 units between columns
// and 20 between rows, centred on the origin; beyond half a cell outside, none.
TEST(Probe, DrawnPointsMapToTheNearestGridPoint) {
  DrawScales s;
  s.column = 10, s.row = 20;
  GridSpot spot{};
  ASSERT_TRUE(GridSpotAt(-25, -30, 3, 5, s, spot));
  EXPECT_EQ(spot.row, 0);
  EXPECT_EQ(spot.column, 0);
  ASSERT_TRUE(GridSpotAt(16, 14, 3, 5, s, spot));
  EXPECT_EQ(spot.row, 2);
  EXPECT_EQ(spot.column, 4);
  EXPECT_FALSE(GridSpotAt(-31, 0, 3, 5, s, spot));
  EXPECT_FALSE(GridSpotAt(0, 31, 3, 5, s, spot));
}

}  // namespace
