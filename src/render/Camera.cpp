// The flying camera: viewport, perspective and view. The view goes into the projection
// matrix so the modelview holds only model transforms and the light stays fixed in the world.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "Brackenholmer.h"
#include "CameraMath.h"
#include "CurrentDrawScales.h"

void Brackenholmer::FlyingCamera() {
  cam_x_angle = camera_math::ClampTilt(cam_x_angle);
  // The view ends at the panel's top edge, so the open panel hides no terrain. GL counts
  // viewport rows from the window's bottom.
  const int view_height = camera_math::ViewHeight(height, panel_top);
  glViewport(0, height - view_height, width, view_height);

  // A view of height 0 (a minimised window) has no aspect: keep the projection as it was.
  if (view_height > 0) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Every drawn point lies within this of the centre, however the model is turned.
    const DrawScales scales = CurrentDrawScales();
    const double half_x = 0.5 * input.cols * std::fabs(static_cast<double>(scales.column));
    const double half_z = 0.5 * input.rows * std::fabs(static_cast<double>(scales.row));
    const double half_y = std::max(std::fabs(static_cast<double>(input.y_min)), std::fabs(static_cast<double>(input.y_max))) *
                          std::fabs(scales.height);
    const double radius = std::sqrt(half_x * half_x + half_y * half_y + half_z * half_z);
    const double far_plane =
        camera_math::FarPlaneFrom(camera_math::FarPlane(input.rows, input.cols, input.grid_space),
                                  std::sqrt(cam_x * cam_x + cam_y * cam_y + cam_z * cam_z), radius);
    gluPerspective(camera_math::kFieldOfView, camera_math::Aspect(width, view_height),
                   camera_math::NearPlaneFor(far_plane), far_plane);
    const camera_math::Vec3 target =
        camera_math::LookAtPoint({cam_x, cam_y, cam_z}, cam_x_angle, cam_y_angle);
    gluLookAt(cam_x, cam_y, cam_z, target.x, target.y, target.z, 0, 1, 0);
  }
  glMatrixMode(GL_MODELVIEW);
}

// The start view: 1.5 terrain sides out along +z, one side high (above the terrain's top
// when that would not see it), looking 30 degrees down at the terrain's centre, or the
// camera the command line gave; the model unturned and still. The air speed is the user's.
void ResetView() {
  // In double: the product of a large grid and its spacing leaves the int range.
  const double side = static_cast<double>(input.rows) * input.grid_space;
  // The drawn top from the grid's extremes as read.
  double lift = 0;
  if (input.y_min <= input.y_max) {
    const double a = input.y_min * static_cast<double>(y_multiplier), b = input.y_max * static_cast<double>(y_multiplier);
    lift = camera_math::StartLift(side, std::max(a, b));
  }
  Viewer.cam_x_angle = 120.0;
  Viewer.cam_y_angle = 0.0;
  Viewer.cam_x = 0.0;
  Viewer.cam_y = side + lift;
  Viewer.cam_z = side * 1.5;
  if (start_camera_given) {
    Viewer.cam_x_angle = 90.0 + start_camera.tilt;
    Viewer.cam_y_angle = start_camera.heading;
    Viewer.cam_x = start_camera.x;
    Viewer.cam_y = start_camera.y;
    Viewer.cam_z = start_camera.z;
  }
  angle_x = angle_y = angle_z = 0;
  animation = 0;
}
