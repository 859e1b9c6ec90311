// Meshes that follow the screen, checked against the camera independently: the GL pipeline
// (look-at, model turns, perspective) is worked out here from its definitions, every grid
// point in view is projected together with the surface drawn over it, and the two pictures
// must lie within the bound in pixels. Also: no cracks, nothing uncovered.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <random>
#include <utility>

#include "GridValue.h"
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "ScreenView.h"

namespace {

using mesh_test::GridValue;
using Mat4 = std::array<double, 16>;  // column-major, as GL keeps it

Mat4 Identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

Mat4 Times(const Mat4& a, const Mat4& b) {
  Mat4 m{};
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r)
      for (int k = 0; k < 4; ++k) m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
  return m;
}

// glRotated's matrix for a turn about a unit axis.
Mat4 Rotation(double degrees, double x, double y, double z) {
  const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
  Mat4 m = Identity();
  m[0] = x * x * (1 - c) + c, m[4] = x * y * (1 - c) - z * s, m[8] = x * z * (1 - c) + y * s;
  m[1] = y * x * (1 - c) + z * s, m[5] = y * y * (1 - c) + c, m[9] = y * z * (1 - c) - x * s;
  m[2] = x * z * (1 - c) - y * s, m[6] = y * z * (1 - c) + x * s, m[10] = z * z * (1 - c) + c;
  return m;
}

// gluLookAt from the eye along the camera's forward vector, +y up.
Mat4 LookAt(const double* eye, double tilt, double heading) {
  const double a = tilt * M_PI / 180, b = heading * M_PI / 180;
  const double f[3] = {-std::sin(a) * std::sin(b), std::cos(a), -std::sin(a) * std::cos(b)};
  double s[3] = {f[1] * 0 - f[2] * 1, f[2] * 0 - f[0] * 0, f[0] * 1 - f[1] * 0};
  const double n = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
  for (double& v : s) v /= n;
  const double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
  Mat4 m = Identity();
  for (int i = 0; i < 3; ++i) {
    m[i * 4 + 0] = s[i];
    m[i * 4 + 1] = u[i];
    m[i * 4 + 2] = -f[i];
  }
  Mat4 t = Identity();
  t[12] = -eye[0], t[13] = -eye[1], t[14] = -eye[2];
  return Times(m, t);
}

struct Projector {
  Mat4 model_view;
  double focal, width, height;

  // Window pixels of a grid point at height h; false when behind the eye or out of view.
  bool Project(const mesh::ViewPose& p, double x, double h, double z, double& px, double& py) const {
    const double q[3] = {x * p.scales.column + p.offset_x, h * p.scales.height, z * p.scales.row + p.offset_z};
    double e[3];
    for (int r = 0; r < 3; ++r) e[r] = model_view[r] * q[0] + model_view[4 + r] * q[1] + model_view[8 + r] * q[2] + model_view[12 + r];
    if (-e[2] <= 1e-9) return false;
    px = width / 2 + focal * e[0] / -e[2];
    py = height / 2 + focal * e[1] / -e[2];
    return px >= 0 && px <= width && py >= 0 && py <= height;
  }
};

Projector ProjectorOf(const mesh::ViewPose& p) {
  Mat4 m = LookAt(p.eye, p.tilt, p.heading);
  m = Times(m, Rotation(p.turn_x, 1, 0, 0));
  m = Times(m, Rotation(p.turn_y, 0, 1, 0));
  m = Times(m, Rotation(p.turn_z, 0, 0, 1));
  return Projector{m, 0.5 * p.height / std::tan(p.fov_degrees * M_PI / 360), double(p.width), double(p.height)};
}

// The mesh's surface height over every grid point (NaN where no triangle covers it), and
// whether every edge off the grid's border is shared by exactly two triangles.
std::vector<double> SurfaceOf(const data& grid, const IndexedMesh& m, bool& conforming) {
  std::vector<double> surface(static_cast<size_t>(grid.rows) * grid.cols, std::nan(""));
  std::map<std::pair<long, long>, int> edges;
  for (size_t t = 0; t + 2 < m.indices.size(); t += 3) {
    double x[3], z[3], h[3];
    long id[3];
    for (int k = 0; k < 3; ++k) {
      const IndexedMesh::Point p = m.points[m.indices[t + k]];
      x[k] = p.x, z[k] = p.z, h[k] = grid.values[p.z][p.x];
      id[k] = long(p.z) * grid.cols + p.x;
    }
    for (int k = 0; k < 3; ++k) ++edges[std::minmax(id[k], id[(k + 1) % 3])];
    const double det = (x[1] - x[0]) * (z[2] - z[0]) - (x[2] - x[0]) * (z[1] - z[0]);
    for (int pz = int(std::min({z[0], z[1], z[2]})); pz <= int(std::max({z[0], z[1], z[2]})); ++pz)
      for (int px = int(std::min({x[0], x[1], x[2]})); px <= int(std::max({x[0], x[1], x[2]})); ++px) {
        const double b1 = ((px - x[0]) * (z[2] - z[0]) - (x[2] - x[0]) * (pz - z[0])) / det;
        const double b2 = ((x[1] - x[0]) * (pz - z[0]) - (px - x[0]) * (z[1] - z[0])) / det;
        if (b1 < -1e-12 || b2 < -1e-12 || b1 + b2 > 1 + 1e-12) continue;
        surface[size_t(pz) * grid.cols + px] = h[0] + b1 * (h[1] - h[0]) + b2 * (h[2] - h[0]);
      }
  }
  conforming = true;
  for (const auto& [edge, uses] : edges) {
    const long a = edge.first, b = edge.second;
    const long ax = a % grid.cols, az = a / grid.cols, bx = b % grid.cols, bz = b / grid.cols;
    const bool border = (ax == bx && (ax == 0 || ax == grid.cols - 1)) || (az == bz && (az == 0 || az == grid.rows - 1));
    if (uses != (border ? 1 : 2)) conforming = false;
  }
  return surface;
}

GridValue Rough(int rows, int cols, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> noise(-30, 30);
  return GridValue(rows, cols, [&](int r, int c) {
    return int(400 * std::sin(r * 0.07) * std::cos(c * 0.05) + 150 * std::sin((r + 2 * c) * 0.21)) + noise(random);
  });
}

void ExpectBoundHolds(const data& grid, int mode, unsigned seed) {
  std::mt19937 random(seed);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  for (int trial = 0; trial < 12; ++trial) {
    mesh::Settings s;
    s.mode = mode;
    s.size = std::max(grid.rows, grid.cols);
    s.border_2 = Vertex{grid.cols, 0, grid.rows};
    s.screen.on = true;
    s.screen.bound_px = trial % 3 == 0 ? 0.5 : trial % 3 == 1 ? 1 : 3;
    s.screen.cap = 1 << 30;
    mesh::ViewPose& p = s.screen.pose;
    p.width = 320 + 64 * (trial % 4);
    p.height = 240;
    p.scales = ScalesFor(grid.grid_space, trial % 2 ? 1.0 : 0.8, float(uniform(0.5, 3)), float(uniform(0.5, 2)));
    p.offset_x = -0.5 * grid.cols * p.scales.column;
    p.offset_z = -0.5 * grid.rows * p.scales.row;
    const double side = grid.cols * p.scales.column;
    p.eye[0] = uniform(-0.7, 0.7) * side;
    p.eye[1] = uniform(0.1, 1.0) * side;
    p.eye[2] = uniform(-0.7, 0.9) * side;
    p.tilt = uniform(100, 170);
    // Towards the terrain's middle, give or take.
    p.heading = std::atan2(p.eye[0], p.eye[2]) * 180 / M_PI + uniform(-40, 40);
    if (trial % 4 == 3) p.turn_x = uniform(-20, 20), p.turn_y = uniform(-180, 180), p.turn_z = uniform(-20, 20);
    const IndexedMesh m = mesh::BuildIndexedMesh(grid, s);
    ASSERT_TRUE(m.screen.on);
    EXPECT_LE(m.screen.achieved_px, m.screen.bound_px);
    bool conforming = false;
    const std::vector<double> surface = SurfaceOf(grid, m, conforming);
    EXPECT_TRUE(conforming) << "trial " << trial;
    const Projector eye = ProjectorOf(p);
    double worst = 0;
    long seen = 0;
    for (int z = 0; z < grid.rows; ++z)
      for (int x = 0; x < grid.cols; ++x) {
        const double drawn = surface[size_t(z) * grid.cols + x];
        ASSERT_FALSE(std::isnan(drawn)) << "uncovered at " << x << "," << z;
        double ax = 0, ay = 0, bx = 0, by = 0;
        if (!eye.Project(p, x, grid.values[z][x], z, ax, ay)) continue;
        ++seen;
        eye.Project(p, x, drawn, z, bx, by);
        worst = std::max(worst, std::hypot(ax - bx, ay - by));
      }
    EXPECT_GT(seen, 0);
    EXPECT_LE(worst, m.screen.bound_px * (1 + 1e-9)) << "trial " << trial << " mode " << mode;
    EXPECT_LT(m.triangle_count, 2LL * (grid.rows - 1) * (grid.cols - 1)) << "nothing was left coarse";
  }
}

class ScreenMeshTest : public testing::TestWithParam<int> {};

TEST_P(ScreenMeshTest, EveryPointInViewLiesWithinTheBoundInPixels) {
  GridValue rough = Rough(97, 81, 7);
  rough.SetSpacing(10);
  ExpectBoundHolds(rough, GetParam(), 11);
  GridValue real = mesh_test::ReadAsciiHeights(REPO_DATA_DIR "/jacksboro_403x344.asc", 344, 403);
  real.SetSpacing(30);
  ExpectBoundHolds(real, GetParam(), 12);
}

INSTANTIATE_TEST_SUITE_P(BothMeshers, ScreenMeshTest, testing::Values(0, 1));

}  // namespace
