// Relief shading as the window draws it: seen from straight above in plain white with no
// light, each pixel is the hillshade of the grid where it lies, as gdaldem computes it;
// the same in tiles as in one texture; made on the worker and swapped in when ready.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "Brackenholmer.h"
#include "CurrentDrawScales.h"
#include "GLPictures.h"
#include "GLTestState.h"
#include "LookGlobals.h"
#include "TestGrid.h"
#include "ViewerRelief.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kRows = 81, kCols = 97, kSpace = 30;

// Smooth hills, ridges running every way, so every aspect appears.
int Height(int r, int c) {
  return static_cast<int>(std::lround(400 + 90 * std::sin(c / 6.0) * std::cos(r / 8.0) + 60 * std::sin((r + c) / 11.0)));
}

// The hillshade of gdaldem at an inner grid point: Horn's gradient, the sun's direction
// from its azimuth (clockwise from north) and altitude, 1 + 254 cos(incidence), 1 at
// least. Row 0 is north; columns are `ewres` apart, rows `nsres`.
double ReferenceShade(int r, int c, double ewres, double nsres, double azimuth, double altitude) {
  const auto h = [](int rr, int cc) { return static_cast<double>(Height(rr, cc)); };
  const double east = ((h(r - 1, c + 1) + 2 * h(r, c + 1) + h(r + 1, c + 1)) -
                       (h(r - 1, c - 1) + 2 * h(r, c - 1) + h(r + 1, c - 1))) / (8 * ewres);
  const double north = ((h(r - 1, c - 1) + 2 * h(r - 1, c) + h(r - 1, c + 1)) -
                        (h(r + 1, c - 1) + 2 * h(r + 1, c) + h(r + 1, c + 1))) / (8 * nsres);
  const double az = azimuth * M_PI / 180, alt = altitude * M_PI / 180;
  const double sun[3] = {std::sin(az) * std::cos(alt), std::cos(az) * std::cos(alt), std::sin(alt)};
  const double cang = (-east * sun[0] - north * sun[1] + sun[2]) / std::sqrt(1 + east * east + north * north);
  return cang <= 0 ? 1 : 1 + 254 * cang;
}

// The grid's height between its points, bilinear; outside, the nearest edge's.
double Bilinear(double c, double r) {
  c = std::clamp(c, 0.0, kCols - 1.001);
  r = std::clamp(r, 0.0, kRows - 1.001);
  const int c0 = static_cast<int>(c), r0 = static_cast<int>(r);
  const double fc = c - c0, fr = r - r0;
  return (1 - fr) * ((1 - fc) * Height(r0, c0) + fc * Height(r0, c0 + 1)) +
         fr * ((1 - fc) * Height(r0 + 1, c0) + fc * Height(r0 + 1, c0 + 1));
}

class ReliefTest : public GLStateTest {
 protected:
  void SetUp() override {
    GLStateTest::SetUp();
    MakeTestGrid(kRows, kCols, kSpace, Height);
    char program[] = "brackenholmer", grid[] = "grid.asc";
    char* argv[] = {program, grid, nullptr};
    testing::internal::CaptureStdout();
    GlutInit(2, argv);
    testing::internal::GetCapturedStdout();
    GlutReshape(kWidth, kHeight);
    // The whole grid as the mesh, seen from straight above, plain white and unlit.
    max_precision = 7;
    refresh_mesh = true;
    rendering_mode = 2;
    light = 0;
    relief_shading = 1;
    Viewer.cam_x = Viewer.cam_z = 0;
    Viewer.cam_y = 4200;
    Viewer.cam_y_angle = 0;
    Viewer.cam_x_angle = 180 - 0.5;
  }

  // The grey of every pixel over the grid's inner part, beside the reference there: the
  // depth buffer gives the drawn point, which goes back to a grid position.
  struct Sample {
    int grey;
    double expected;
  };
  std::vector<Sample> Samples() {
    RenderScene();
    const Picture pic = ReadBackBuffer(kWidth, kHeight);
    std::vector<GLuint> depth(static_cast<size_t>(kWidth) * kHeight);
    glReadPixels(0, 0, kWidth, kHeight, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, depth.data());
    GLdouble model[16], projection[16];
    GLint view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, view);
    const DrawScales s = CurrentDrawScales();
    const DrawnHalf half = DrawnHalfOf(kRows, kCols, kSpace, xz_multiplier, DrawnColumnRatio());
    // The reference at the grid points, then bilinear between them as the texture is.
    std::vector<double> ref(static_cast<size_t>(kRows) * kCols, -1);
    for (int r = 1; r + 1 < kRows; ++r)
      for (int c = 1; c + 1 < kCols; ++c)
        ref[static_cast<size_t>(r) * kCols + c] = ReferenceShade(r, c, s.column, s.row, sun_azimuth, sun_altitude);
    std::vector<Sample> out;
    for (int y = 0; y < kHeight; y += 3)
      for (int x = 0; x < kWidth; x += 3) {
        const size_t i = static_cast<size_t>(y) * kWidth + x;
        if (depth[i] == UINT_MAX) continue;
        // Where the pixel's ray meets the grid's surface (bilinear between points), found by
        // halving along the ray: the depth buffer holds too few digits for a tenth of a cell.
        double n[3], f[3];
        gluUnProject(x + 0.5, y + 0.5, 0, model, projection, view, &n[0], &n[1], &n[2]);
        gluUnProject(x + 0.5, y + 0.5, 1, model, projection, view, &f[0], &f[1], &f[2]);
        const auto grid_at = [&](double t, double* c, double* r) {
          *c = (n[0] + t * (f[0] - n[0]) + half.x) / s.column;
          *r = (n[2] + t * (f[2] - n[2]) + half.z) / s.row;
          return n[1] + t * (f[1] - n[1]);
        };
        double lo = (n[1] - 1000) / (n[1] - f[1]), hi = n[1] / (n[1] - f[1]), c = 0, r = 0;
        for (int step = 0; step < 60; ++step) {
          const double mid = (lo + hi) / 2;
          const double above = grid_at(mid, &c, &r) - Bilinear(c, r);
          (above > 0 ? lo : hi) = mid;
        }
        const int c0 = static_cast<int>(std::floor(c)), r0 = static_cast<int>(std::floor(r));
        if (c0 < 1 || r0 < 1 || c0 + 2 >= kCols || r0 + 2 >= kRows) continue;
        const double fc = c - c0, fr = r - r0;
        const auto at = [&](int rr, int cc) { return ref[static_cast<size_t>(rr) * kCols + cc]; };
        const double expected = (1 - fr) * ((1 - fc) * at(r0, c0) + fc * at(r0, c0 + 1)) +
                                fr * ((1 - fc) * at(r0 + 1, c0) + fc * at(r0 + 1, c0 + 1));
        out.push_back({pic.rgb[3 * i], expected});
      }
    return out;
  }

  static double ShareWithin(const std::vector<Sample>& samples, double levels) {
    int close = 0;
    for (const Sample& s : samples) close += std::abs(s.grey - s.expected) <= levels;
    return static_cast<double>(close) / samples.size();
  }
};

TEST_F(ReliefTest, FromAboveEachPixelIsTheGridsHillshadeWithinTwoGreyLevels) {
  for (const auto& [azimuth, altitude] : {std::pair{315.0f, 45.0f}, {120.0f, 20.0f}}) {
    sun_azimuth = azimuth;
    sun_altitude = altitude;
    const std::vector<Sample> samples = Samples();
    ASSERT_GT(samples.size(), 20000u);
    EXPECT_GE(ShareWithin(samples, 2), 0.99) << azimuth << "," << altitude;
  }
  // A coarse mesh shows the same relief: the shading is the grid's, not the mesh's. (The
  // drawn point under a pixel moves with the mesh's heights, hence the wider margin.)
  max_precision = 3;
  refresh_mesh = true;
  EXPECT_GE(ShareWithin(Samples(), 6), 0.95);
}

TEST_F(ReliefTest, TilesShowWhatOneTextureShows) {
  const std::vector<Sample> whole = Samples();
  relief_texture_limit = 20;  // 5 x 4 tiles
  const std::vector<Sample> tiled = Samples();
  ASSERT_EQ(whole.size(), tiled.size());
  int same = 0;
  for (size_t i = 0; i < whole.size(); ++i) same += std::abs(whole[i].grey - tiled[i].grey) <= 1;
  EXPECT_GE(static_cast<double>(same) / whole.size(), 0.998);
}

// In the window the shading is made on the worker; frames go on meanwhile, and the new
// shading shows once it is ready.
TEST_F(ReliefTest, MadeOnTheWorkerAndSwappedInWhenReady) {
  const std::vector<Sample> first = Samples();
  mesh_builds_in_background = true;
  sun_azimuth = 135;
  do RenderScene(); while (ReliefPending());
  const std::vector<Sample> turned = Samples();
  mesh_builds_in_background = false;
  EXPECT_GE(ShareWithin(turned, 2), 0.99);
  // The sun from the other side: most pixels changed.
  int changed = 0;
  for (size_t i = 0; i < first.size() && i < turned.size(); ++i) changed += std::abs(first[i].grey - turned[i].grey) > 2;
  EXPECT_GT(changed, static_cast<int>(first.size() / 2));
}

}  // namespace
