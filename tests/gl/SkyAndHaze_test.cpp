// The sky behind the terrain, the haze over it, and pictures without the floodlight
// marker: drawn with real GL and read back.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "GLPictures.h"
#include "GLTestState.h"
#include "LookGlobals.h"
#include "TestGrid.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
// The horizon's colour, 255 times (0.86, 0.90, 0.95).
constexpr double kHaze[3] = {219.3, 229.5, 242.25};

// The floodlight's square, (0.8, 0.8, 0).
int YellowPixels(const Picture& pic) {
  int n = 0;
  for (size_t i = 0; i < pic.rgb.size(); i += 3)
    n += std::abs(pic.rgb[i] - 204) <= 6 && std::abs(pic.rgb[i + 1] - 204) <= 6 && pic.rgb[i + 2] <= 6;
  return n;
}

Picture Frame() {
  RenderScene();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  return ReadBackBuffer(kWidth, kHeight);
}

// How far a pixel has gone from `clear` towards the haze colour: 0 not at all, 1 all the way.
double Fade(const Rgb& hazed, const Rgb& clear) {
  double moved = 0, gap = 0;
  for (int i = 0; i < 3; ++i) {
    moved += (hazed.c[i] - clear.c[i]) * (kHaze[i] - clear.c[i]);
    gap += (kHaze[i] - clear.c[i]) * (kHaze[i] - clear.c[i]);
  }
  return moved / gap;
}

class SkyAndHazeTest : public GLStateTest {
 protected:
  // A flat 65 x 65 grid at 400, spacing 90, from the start view, unlit.
  void SetUp() override {
    GLStateTest::SetUp();
    MakeFlatGrid(65, 65, 90, 400);
    char program[] = "brackenholmer";
    char grid[] = "grid.asc";
    char* argv[] = {program, grid, nullptr};
    testing::internal::CaptureStdout();
    GlutInit(2, argv);
    testing::internal::GetCapturedStdout();
    GlutReshape(kWidth, kHeight);
    refresh_mesh = true;
    light = 0;
  }
};

TEST_F(SkyAndHazeTest, LevelViewShowsTheSkyDeepeningUpwardsAndNoBlack) {
  sky = 1;
  Viewer.cam_x_angle = 90;
  const Picture pic = Frame();
  // The top row looks 22.47 degrees up: 0.4378 of the way from the horizon's colour to
  // the zenith's, (0.22, 0.42, 0.78).
  for (int x : {0, kWidth / 2, kWidth - 1}) {
    const Rgb top = pic.At(x, kHeight - 1);
    EXPECT_NEAR(top.c[0], 147.9, 2) << x;
    EXPECT_NEAR(top.c[1], 175.9, 2) << x;
    EXPECT_NEAR(top.c[2], 223.3, 2) << x;
  }
  // Paler in every channel row by row down to the horizon in the middle of the view, and
  // the horizon's colour below it down to the terrain.
  for (int y = kHeight - 2; y >= kHeight / 2; --y)
    for (int i = 0; i < 3; ++i) ASSERT_GE(pic.At(5, y).c[i] + 1, pic.At(5, y + 1).c[i]) << y;
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(pic.At(5, kHeight / 2 - 2).c[i], kHaze[i], 2);
  int black = 0;
  for (size_t i = 0; i < pic.rgb.size(); i += 3) black += pic.rgb[i] + pic.rgb[i + 1] + pic.rgb[i + 2] == 0;
  EXPECT_EQ(black, 0);
}

// From the start view the far edge stands 2.21 terrain sides away, the near one 1.37.
TEST_F(SkyAndHazeTest, HazeFadesTheFarEdgeByAboutHalfAndLeavesTheNearEdge) {
  const Picture clear = Frame();
  int far = -1, near = -1;  // the terrain's top and bottom rows in the middle column
  for (int y = 0; y < kHeight; ++y) {
    const Rgb p = clear.At(kWidth / 2, y);
    if (p.c[0] + p.c[1] + p.c[2] == 0) continue;
    if (near < 0) near = y;
    far = y;
  }
  ASSERT_GT(far - near, 100);
  haze = 1;
  const Picture hazed = Frame();
  const double far_fade = Fade(hazed.At(kWidth / 2, far - 3), clear.At(kWidth / 2, far - 3));
  EXPECT_GT(far_fade, 0.35);
  EXPECT_LT(far_fade, 0.6);
  EXPECT_LT(Fade(hazed.At(kWidth / 2, near + 3), clear.At(kWidth / 2, near + 3)), 0.03);
  // The background is no terrain: it stays black.
  EXPECT_EQ(hazed.At(kWidth / 2, kHeight - 1).c[2], 0);
}

// Turned 16 degrees right, the start view sees the floodlight marker, as the window shows
// it; a picture of that view leaves it out unless asked for it.
TEST_F(SkyAndHazeTest, PicturesShowTheMarkerOnlyWhenAsked) {
  light = 1;
  Viewer.cam_y_angle = -16;
  ASSERT_GT(YellowPixels(Frame()), 10);

  const std::filesystem::path folder = std::filesystem::path(GENERATED_DATA_DIR) / "marker_pictures";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  snapshot_stem = "view";
  testing::internal::CaptureStdout();
  RequestSnapshot();
  GlutDisplay();
  marker_in_pictures = 1;
  RequestSnapshot();
  GlutDisplay();
  testing::internal::GetCapturedStdout();
  std::filesystem::current_path(before);

  const Picture without = LoadPicture(folder / "view-001.png"), with = LoadPicture(folder / "view-002.png");
  ASSERT_EQ(without.w, kWidth);
  ASSERT_EQ(with.w, kWidth);
  EXPECT_EQ(YellowPixels(without), 0);
  EXPECT_GT(YellowPixels(with), 10);
  // The window itself goes on showing it.
  marker_in_pictures = 0;
  EXPECT_GT(YellowPixels(Frame()), 10);
}

}  // namespace
