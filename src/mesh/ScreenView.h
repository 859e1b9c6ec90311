// Meshes that follow the screen: what a build needs to know of the camera, and what it
// tells of the mesh it made. Free of GL: the figures are the flying camera's, taken from
// the viewer between frames.
#pragma once

#include "DrawScales.h"

namespace mesh {

// The camera and the drawing as one frame sees them. A grid point (column x, row z,
// height h) is drawn at (x * scales.column + offset_x, h * scales.height, z * scales.row
// + offset_z), turned by turn_x about x, then turn_y about y, then turn_z about z
// (degrees, in that order as the modelview applies them), and seen from `eye` looking
// along the tilt (from +y) and heading (0 along -z, 90 along -x) with +y up, through a
// vertical field of view of `fov_degrees` onto `width` x `height` pixels.
struct ViewPose {
  double eye[3] = {0, 0, 0};
  double tilt = 90, heading = 0;
  double turn_x = 0, turn_y = 0, turn_z = 0;
  double offset_x = 0, offset_z = 0;
  DrawScales scales;
  int width = 1, height = 1;
  double fov_degrees = 45;

  bool operator==(const ViewPose&) const = default;
};

// "Screen Error": the mesh is refined wherever an element's error, seen from `pose`, would
// exceed `bound_px` pixels, with at most `cap` triangles (the bound is raised for the view
// when more would be needed).
struct ScreenSettings {
  bool on = false;
  double bound_px = 1;
  long long cap = 1000000;
  ViewPose pose;
  // While the grid's error hierarchy is not made yet, hand back a coarse uniform mesh at
  // once (marked `coarse`) instead of waiting for it: for a window's first picture.
  bool coarse_first = false;

  bool operator==(const ScreenSettings&) const = default;
};

constexpr double kMinScreenError = 0.25;
constexpr double kMaxScreenError = 20;
constexpr double kDefaultScreenError = 1;
constexpr long long kDefaultScreenTriangleCap = 1000000;
constexpr int kMinScreenTriangleCap = 1000;
constexpr int kMaxScreenTriangleCap = 100000000;

// What a build under a screen bound achieved: the largest error in pixels that any element
// in view may show (an upper bound of every grid point's), the bound it worked to (raised
// above the one asked for when `limited` by the triangle cap).
struct ScreenResult {
  bool on = false;
  double achieved_px = 0;
  double bound_px = 0;
  bool limited = false;
  bool coarse = false;  // a first, uniform mesh shown while the error hierarchy is made
};

}  // namespace mesh
