// The colour legend in pictures: saved as the window saves a view, the picture carries the
// bar with the colours of the heights its rows stand for, and no bar when the legend is off.
#include <GL/freeglut.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "Brackenholmer.h"
#include "GLTestState.h"
#include "LegendLayout.h"
#include "LookGlobals.h"
#include "TerrainColor.h"
#include "TestGrid.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

class LegendTest : public GLStateTest {
 protected:
  void SetUp() override {
    GLStateTest::SetUp();
    // Heights 0 to 4800 m, the whole default ramp.
    MakeTestGrid(65, 65, 90, [](int row, int) { return row * 75; });
    char program[] = "brackenholmer";
    char grid[] = "grid.asc";
    char* argv[] = {program, grid, nullptr};
    testing::internal::CaptureStdout();
    GlutInit(2, argv);
    GlutReshape(kWidth, kHeight);
    refresh_mesh = true;
    rendering_mode = 0;
    folder_ = std::filesystem::current_path();
    const std::filesystem::path pictures = std::filesystem::path(GENERATED_DATA_DIR) / "legend_pictures";
    std::filesystem::remove_all(pictures);
    std::filesystem::create_directories(pictures);
    std::filesystem::current_path(pictures);
    snapshot_stem = "legend";
  }
  void TearDown() override {
    testing::internal::GetCapturedStdout();
    std::filesystem::current_path(folder_);
    legend_in_pictures = 0;
  }
  // The picture "p" saves, as RGB rows from the top.
  SDL_Surface* SavedPicture() {
    RequestSnapshot();
    RenderScene();
    SaveRequestedSnapshot();
    SDL_Surface* read = IMG_Load("legend-001.png");
    EXPECT_NE(read, nullptr);
    SDL_Surface* rgb = read ? SDL_ConvertSurfaceFormat(read, SDL_PIXELFORMAT_RGB24, 0) : nullptr;
    SDL_FreeSurface(read);
    std::filesystem::remove("legend-001.png");
    return rgb;
  }
  std::filesystem::path folder_;
};

// How many of the bar's sample rows show their height's colour (default ramp) in `pic`.
int RowsInTheirColour(SDL_Surface* pic) {
  const LegendLayout l = LayOutLegend(kWidth, kHeight, 6);  // labels "4000 m"
  const int x = (l.bar.x0 + l.bar.x1) / 2, rows = l.bar.y1 - l.bar.y0;
  int matching = 0;
  for (double f : {0.05, 0.3, 0.55, 0.8, 0.97}) {
    const int y = l.bar.y0 + static_cast<int>(f * rows);  // from the bottom
    const RGBColor want = TerrainColor(4800.0 * (y - l.bar.y0 + 0.5) / rows);
    const unsigned char* p = static_cast<unsigned char*>(pic->pixels) + (kHeight - 1 - y) * pic->pitch + 3 * x;
    matching += std::abs(p[0] - want.r * 255) <= 2 && std::abs(p[1] - want.g * 255) <= 2 &&
                std::abs(p[2] - want.b * 255) <= 2;
  }
  return matching;
}

TEST_F(LegendTest, PictureCarriesTheBarOnlyWithTheLegend) {
  legend_in_pictures = 1;
  SDL_Surface* with = SavedPicture();
  ASSERT_NE(with, nullptr);
  ASSERT_EQ(with->w, kWidth);
  EXPECT_EQ(RowsInTheirColour(with), 5);
  SDL_FreeSurface(with);

  legend_in_pictures = 0;
  SDL_Surface* without = SavedPicture();
  ASSERT_NE(without, nullptr);
  EXPECT_EQ(RowsInTheirColour(without), 0);
  SDL_FreeSurface(without);

  // Texture and plain modes: colours mean no heights, no legend.
  legend_in_pictures = 1;
  rendering_mode = 2;
  SDL_Surface* plain = SavedPicture();
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(RowsInTheirColour(plain), 0);
  SDL_FreeSurface(plain);
}

}  // namespace
