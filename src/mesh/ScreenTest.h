// How large an error looks from a camera, and whether a box can be seen at all: the test a
// mesh that follows the screen splits its elements by.
//
// An error of e drawn units at a point p seen from the eye moves its picture by at most
// f * e * (1 + t^2) / |p| pixels, where f is the focal length in pixels ((height / 2) /
// tan(fov / 2)) and t the tangent of p's angle off the view axis: the screen position
// f * p_side / p_depth changes with p by f / depth * (dp_side - dp_depth * p_side / depth),
// at most f * |dp| * sqrt(1 + t^2) / depth, and depth = |p| / sqrt(1 + t^2). Over a vertical
// segment (a grid point and the surface drawn over it) that lies in a box whose nearest point
// is d from the eye and whose points in view have t at most the view corner's, the picture
// of the segment is at most f * e * (1 + t_corner^2) / d long. The corner is taken a margin
// of kMaxScreenError pixels outside the view, for the surface point just past the edge.
//
// Boxes are in grid terms (columns, rows, height units); the test works in the drawn,
// scaled frame before the model turns, where distances are those on screen's 3-D side.
#pragma once

#include <cmath>
#include <limits>

#include "ScreenView.h"

namespace mesh {

// A box of the grid: columns x0..x1, rows z0..z1, heights y0..y1 (height units).
struct GridBox {
  double x0, x1, z0, z1, y0, y1;
};

class ScreenTest {
 public:
  explicit ScreenTest(const ViewPose& pose);

  // The most pixels an error of `error` height units (before the height scale) inside `box`
  // can show: infinite when the eye lies in the box, 0 for no error and for a box wholly
  // outside the view's pyramid (the near and far planes aside).
  double PixelsInView(double error, const GridBox& box) const {
    const Scaled b = Scale(box);
    const double px = PixelsOf(error, b);
    return px == 0 || Outside(b) ? 0 : px;
  }
 private:
  struct Scaled {
    double lo[3], hi[3];
  };
  Scaled Scale(const GridBox& box) const {
    const double lo[3] = {box.x0, box.y0, box.z0}, hi[3] = {box.x1, box.y1, box.z1};
    Scaled out;
    for (int i = 0; i < 3; ++i) {
      const double p = lo[i] * scale_[i], q = hi[i] * scale_[i];
      out.lo[i] = p < q ? p : q;
      out.hi[i] = p < q ? q : p;
    }
    return out;
  }
  double PixelsOf(double error, const Scaled& b) const {
    if (error <= 0 || per_unit_ == 0) return 0;
    const double d = Distance(b);
    if (d <= 0) return std::numeric_limits<double>::infinity();
    return error * per_unit_ / d;
  }
  double Distance(const Scaled& b) const {
    double sum = 0;
    for (int i = 0; i < 3; ++i) {
      const double below = b.lo[i] - eye_[i], above = eye_[i] - b.hi[i];
      const double d = below > 0 ? below : above > 0 ? above : 0;
      sum += d * d;
    }
    return std::sqrt(sum);
  }
  bool Outside(const Scaled& b) const {
    for (const auto& n : planes_) {
      double most = 0;
      for (int i = 0; i < 3; ++i) {
        const double centre = 0.5 * (b.lo[i] + b.hi[i]) - eye_[i], half = 0.5 * (b.hi[i] - b.lo[i]);
        most += n[i] * centre + std::fabs(n[i]) * half;
      }
      if (most < 0) return true;
    }
    return false;
  }

  double scale_[3];   // drawn units per column, height unit, row
  double eye_[3];     // the eye in the scaled frame
  double planes_[4][3];  // inward normals of the side planes through the eye, scaled frame
  double per_unit_;   // f * (1 + t_corner^2) * |height scale|
};

}  // namespace mesh
