#include "CurrentViewPose.h"

#include "Brackenholmer.h"
#include "CameraMath.h"
#include "CurrentDrawScales.h"

mesh::ViewPose CurrentViewPose() {
  mesh::ViewPose pose;
  pose.eye[0] = Viewer.cam_x;
  pose.eye[1] = Viewer.cam_y;
  pose.eye[2] = Viewer.cam_z;
  pose.tilt = camera_math::ClampTilt(Viewer.cam_x_angle);
  pose.heading = Viewer.cam_y_angle;
  pose.turn_x = angle_x;
  pose.turn_y = angle_y;
  pose.turn_z = angle_z;
  pose.scales = CurrentDrawScales();
  const DrawnHalf half = DrawnHalfOf(input.rows, input.cols, input.grid_space, xz_multiplier, DrawnColumnRatio());
  pose.offset_x = -half.x;
  pose.offset_z = -half.z;
  pose.width = width;
  pose.height = camera_math::ViewHeight(height, panel_top);
  pose.fov_degrees = camera_math::kFieldOfView;
  return pose;
}
