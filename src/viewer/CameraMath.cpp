// The flying camera's geometry and the angle wrap shared by every angle of the viewer.
#include "CameraMath.h"

#include <algorithm>
#include <cmath>

#include "Brackenholmer.h"

// One correction only: angles drift by at most one step past a turn between calls.
GLdouble Brackenholmer::ModRotd(GLdouble angle) {
  if (angle >= 360) return angle - 360;
  if (angle <= -360) return angle + 360;
  return angle;
}

namespace camera_math {

double ToRadians(double degrees) { return degrees * kPi / 180; }

double ClampTilt(double tilt_degrees) {
  if (tilt_degrees > kMaxTilt) tilt_degrees = kMaxTilt;
  if (tilt_degrees < kMinTilt) tilt_degrees = kMinTilt;
  return tilt_degrees;
}

Vec3 ForwardVector(double tilt_degrees, double heading_degrees) {
  const double a = ToRadians(tilt_degrees);
  const double b = ToRadians(heading_degrees);
  return {-std::sin(a) * std::sin(b), std::cos(a), -std::sin(a) * std::cos(b)};
}

Vec3 RightVector(double heading_degrees) {
  const double b = ToRadians(heading_degrees);
  return {std::cos(b), 0, -std::sin(b)};
}

Vec3 LookAtPoint(Vec3 camera, double tilt_degrees, double heading_degrees) {
  const Vec3 d = ForwardVector(tilt_degrees, heading_degrees);
  return {camera.x + d.x, camera.y + d.y, camera.z + d.z};
}

double FarPlane(int rows, int cols, int grid_space) {
  return 4.0 * static_cast<double>(std::max(rows, cols)) * static_cast<double>(grid_space);
}

double NearPlane(int rows, int cols, int grid_space) { return NearPlaneFor(FarPlane(rows, cols, grid_space)); }

double NearPlaneFor(double far_plane) { return std::max(1.0, far_plane / kDepthRange); }

double FarPlaneFrom(double standard_far, double camera_distance, double radius) {
  return std::max(standard_far, camera_distance + radius);
}

double StartLift(double side, double highest) {
  // Over the centre, the view's lower edge lies 30 + 22.5 degrees below level.
  const double seen_bottom = side - 1.5 * side * std::tan(ToRadians(30 + kFieldOfView / 2));
  const bool sees = highest <= 0.5 * side && highest >= seen_bottom;
  return sees ? 0.0 : highest;
}

double Aspect(int width, int height) {
  return static_cast<double>(width) / static_cast<double>(height);
}

int ViewHeight(int window_height, float panel_top) {
  if (!(panel_top < static_cast<float>(window_height))) return window_height;
  if (panel_top <= 0) return 0;
  return static_cast<int>(panel_top);  // a row the panel covers in part is the panel's
}

}  // namespace camera_math
