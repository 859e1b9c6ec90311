// The flying camera's geometry, free of GL: view vectors, look-at point, tilt limits and
// the projection's figures. FlyingCamera hands these to GL; navigation moves along them.
#pragma once

namespace camera_math {

struct Vec3 {
  double x, y, z;
};

// Degrees to radians with pi taken to twelve decimals, as everywhere in the camera.
constexpr double kPi = 3.141592653589;
double ToRadians(double degrees);

// Tilt limits: they keep the view direction off the up vector (0, 1, 0).
constexpr double kMinTilt = 0.5;
constexpr double kMaxTilt = 179.5;
double ClampTilt(double tilt_degrees);

// Unit forward vector for a tilt from +y and a heading about +y (0 looks along -z,
// 90 along -x).
Vec3 ForwardVector(double tilt_degrees, double heading_degrees);
// Level unit vector to the right of the heading.
Vec3 RightVector(double heading_degrees);
// The point one unit ahead of the camera along its forward vector.
Vec3 LookAtPoint(Vec3 camera, double tilt_degrees, double heading_degrees);

constexpr double kFieldOfView = 45.0;
// Four terrain sides away. The side is the longer of the two grid extents, so a grid
// wider than tall is not clipped; for square and tall grids it is rows x grid_space.
double FarPlane(int rows, int cols, int grid_space);
// The far plane over this, at most: a 24-bit depth buffer still tells the terrain at
// the far plane from the cleared background.
constexpr double kDepthRange = 1e5;
// At least one unit, and no closer than the depth range allows for the far plane: a
// coarse grid tens of millions of units wide then keeps its depth precision, while a
// fine one can still be flown over closely.
double NearPlane(int rows, int cols, int grid_space);
// The far plane for a camera `camera_distance` from the terrain's centre, the terrain
// lying within `radius` of that centre however the model is turned: its far side, and
// never nearer than `standard_far` (FarPlane).
double FarPlaneFrom(double standard_far, double camera_distance, double radius);
// The near plane for a far plane, as NearPlane keeps it.
double NearPlaneFor(double far_plane);

// The start view stands one terrain side (`side`) up and one and a half out, looking 30
// degrees down at the centre. How much higher it must stand to see a terrain whose drawn
// top is `highest`: nothing while that top lies at most half a side above zero and within
// the field of view over the centre; otherwise `highest`, so that the camera stands one
// side above the top, as it stands above zero for a terrain around zero.
double StartLift(double side, double highest);

// Width over height; only meaningful for height > 0 (the caller skips the projection
// otherwise).
double Aspect(int width, int height);

// The window rows the 3-D view gets: those above the panel's top edge, a window y counted
// from the top (ControlPanelTop). All of them when the panel lies below the window.
int ViewHeight(int window_height, float panel_top);

}  // namespace camera_math
