// The flying camera: viewport, perspective and view. The view goes into the projection
// matrix so the modelview holds only model transforms and the light stays fixed in the world.
#include <GL/gl.h>
#include <GL/glu.h>

#include "Brackenholmer.h"
#include "CameraMath.h"

void Brackenholmer::FlyingCamera() {
  cam_x_angle = camera_math::ClampTilt(cam_x_angle);
  glViewport(0, 0, width, height);

  // A window of height 0 (minimised) has no aspect: keep the projection as it was.
  if (height > 0) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(camera_math::kFieldOfView, camera_math::Aspect(width, height),
                   camera_math::NearPlane(input.rows, input.cols, input.grid_space),
                   camera_math::FarPlane(input.rows, input.cols, input.grid_space));
    const camera_math::Vec3 target =
        camera_math::LookAtPoint({cam_x, cam_y, cam_z}, cam_x_angle, cam_y_angle);
    gluLookAt(cam_x, cam_y, cam_z, target.x, target.y, target.z, 0, 1, 0);
  }
  glMatrixMode(GL_MODELVIEW);
}
