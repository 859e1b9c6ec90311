#include "ScreenTest.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace mesh {

namespace {

using Vec = std::array<double, 3>;
using Mat = std::array<Vec, 3>;  // rows

double Radians(double degrees) { return degrees * M_PI / 180; }

Mat Times(const Mat& a, const Mat& b) {
  Mat m{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
  return m;
}

// The turns as glRotated makes them, about x, y and z.
Mat Turn(int axis, double degrees) {
  const double c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
  if (axis == 0) return Mat{Vec{1, 0, 0}, Vec{0, c, -s}, Vec{0, s, c}};
  if (axis == 1) return Mat{Vec{c, 0, s}, Vec{0, 1, 0}, Vec{-s, 0, c}};
  return Mat{Vec{c, -s, 0}, Vec{s, c, 0}, Vec{0, 0, 1}};
}

// R^T v: a world vector in the model's frame.
Vec Unturn(const Mat& r, const Vec& v) {
  return Vec{r[0][0] * v[0] + r[1][0] * v[1] + r[2][0] * v[2], r[0][1] * v[0] + r[1][1] * v[1] + r[2][1] * v[2],
             r[0][2] * v[0] + r[1][2] * v[1] + r[2][2] * v[2]};
}

Vec Normalised(const Vec& v) {
  const double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  return n > 0 ? Vec{v[0] / n, v[1] / n, v[2] / n} : v;
}

}  // namespace

ScreenTest::ScreenTest(const ViewPose& pose) {
  scale_[0] = pose.scales.column;
  scale_[1] = pose.scales.height;
  scale_[2] = pose.scales.row;
  const Mat r = Times(Times(Turn(0, pose.turn_x), Turn(1, pose.turn_y)), Turn(2, pose.turn_z));
  // The flying camera's axes, as gluLookAt forms them with +y up.
  const double a = Radians(pose.tilt), b = Radians(pose.heading);
  const Vec forward{-std::sin(a) * std::sin(b), std::cos(a), -std::sin(a) * std::cos(b)};
  const Vec side = Normalised(Vec{-forward[2], 0, forward[0]});
  const Vec up{side[1] * forward[2] - side[2] * forward[1], side[2] * forward[0] - side[0] * forward[2],
               side[0] * forward[1] - side[1] * forward[0]};
  const Vec eye = Unturn(r, Vec{pose.eye[0], pose.eye[1], pose.eye[2]});
  const double offset[3] = {pose.offset_x, 0, pose.offset_z};
  for (int i = 0; i < 3; ++i) eye_[i] = eye[i] - offset[i];
  const Vec f = Unturn(r, forward), s = Unturn(r, side), u = Unturn(r, up);
  const int w = std::max(pose.width, 1), h = std::max(pose.height, 1);
  const double ty = std::tan(Radians(pose.fov_degrees) / 2), tx = ty * w / h;
  for (int i = 0; i < 3; ++i) {
    planes_[0][i] = tx * f[i] - s[i];
    planes_[1][i] = tx * f[i] + s[i];
    planes_[2][i] = ty * f[i] - u[i];
    planes_[3][i] = ty * f[i] + u[i];
  }
  const double focal = 0.5 * h / ty;
  const double cx = 0.5 * w + kMaxScreenError, cy = 0.5 * h + kMaxScreenError;
  const double corner = (cx * cx + cy * cy) / (focal * focal);
  per_unit_ = focal * (1 + corner) * std::fabs(pose.scales.height);
}

}  // namespace mesh
