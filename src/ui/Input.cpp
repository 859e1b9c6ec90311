// Mouse and keyboard navigation of the main window: drags, the wheel and keys turn into
// camera moves, model turns, the spin switch, the subdivision limit, the start view, the
// help card, pictures of the view and quitting; Ctrl + clicks place the profile path. In "Screen Error" the camera flies low:
// steps shrink near the ground and moves stop short of it. Only events that the control
// panel does not take reach these callbacks.
#include <GL/freeglut.h>

#include <algorithm>
#include <cstdlib>

#include "Brackenholmer.h"
#include "CameraMath.h"
#include "GroundUnderCamera.h"

namespace {

camera_math::Vec3 CameraPosition() { return {Viewer.cam_x, Viewer.cam_y, Viewer.cam_z}; }

// The length of one step: the air speed, scaled down near the ground in "Screen Error",
// where the mesh is fine enough to fly low.
double StepLength() {
  const double speed = Viewer.air_speed;
  return screen_error ? speed * ground::CurrentStepFactor(CameraPosition()) : speed;
}

// Moves the camera by `steps` times its forward vector scaled by the step length.
void MoveAlongView(double steps) {
  const camera_math::Vec3 d =
      camera_math::ForwardVector(Viewer.cam_x_angle, Viewer.cam_y_angle);
  const double step = StepLength();
  Viewer.cam_x += d.x * steps * step;
  Viewer.cam_y += d.y * steps * step;
  Viewer.cam_z += d.z * steps * step;
}

// Moves the camera sideways, level, by `steps` times its right vector.
void MoveSideways(double steps) {
  const camera_math::Vec3 r = camera_math::RightVector(Viewer.cam_y_angle);
  const double step = StepLength();
  Viewer.cam_x += r.x * steps * step;
  Viewer.cam_z += r.z * steps * step;
}

// In "Screen Error" a move ends no closer to the terrain than its clearance.
void KeepAboveGround() {
  if (!screen_error) return;
  const camera_math::Vec3 kept = ground::CurrentlyKeptAboveGround(CameraPosition());
  Viewer.cam_x = kept.x;
  Viewer.cam_y = kept.y;
  Viewer.cam_z = kept.z;
}

// A flight move: kept above the ground, re-applied.
void Moved() {
  KeepAboveGround();
  Viewer.FlyingCamera();
}

void CameraChanged() {
  Viewer.FlyingCamera();
  glutPostRedisplay();
}

// The precision control's limits bound the keys as they bound the control.
void SetPrecision(int value) {
  refresh_mesh = true;
  max_precision = std::clamp(value, kMinPrecision, kMaxPrecision);
}

constexpr unsigned char kEscape = 27;

}  // namespace

void QuitViewer() { std::exit(0); }

void GlutMouse(int button, int state, int x, int y) {
  // A notch flies one step along the view, as `w` and `s` do; it starts no drag.
  if (button == kWheelUpButton || button == kWheelDownButton) {
    if (state == GLUT_DOWN) {
      MoveAlongView(button == kWheelUpButton ? 1 : -1);
      KeepAboveGround();
      CameraChanged();
    }
    return;
  }
  // Ctrl + click places the profile path: a press that starts no drag.
  if (state == GLUT_DOWN && (button == GLUT_LEFT_BUTTON || button == GLUT_RIGHT_BUTTON) &&
      (glutGetModifiers() & GLUT_ACTIVE_CTRL) != 0) {
    ClickProfilePath(x, y, button == GLUT_LEFT_BUTTON);
    RequestRedraw();
    return;
  }
  if (state == GLUT_DOWN) {
    prev_x = x;
    prev_y = y;
  }
  if (button == GLUT_LEFT_BUTTON) {
    left_button = state == GLUT_DOWN ? 1 : 0;
  } else if (button == GLUT_RIGHT_BUTTON) {
    right_button = state == GLUT_DOWN ? 1 : 0;
  }
}

void GlutMotion(int x, int y) {
  const double dx = x - prev_x;
  const double dy = y - prev_y;
  if (left_button && !right_button) {
    // One pixel is one degree; dragging right turns the view right.
    Viewer.cam_y_angle = Brackenholmer::ModRotd(Viewer.cam_y_angle - dx);
    Viewer.cam_x_angle = Brackenholmer::ModRotd(Viewer.cam_x_angle + dy);
  } else if (right_button && !left_button) {
    MoveSideways(dx);
    // Dragging down backs away along the view axis, as `s` does.
    MoveAlongView(-dy);
    KeepAboveGround();
  } else if (left_button && right_button) {
    const double step = StepLength();
    MoveSideways(dx);
    Viewer.cam_y -= dy * step;
    KeepAboveGround();
  }
  CameraChanged();
  prev_x = x;
  prev_y = y;
}

void GlutKeyboard(unsigned char key, int, int) {
  switch (key) {
    case 'x': angle_x = Brackenholmer::ModRotd(angle_x + rotation_speed); break;
    case 'X': angle_x = Brackenholmer::ModRotd(angle_x - rotation_speed); break;
    case 'y': angle_y = Brackenholmer::ModRotd(angle_y + rotation_speed); break;
    case 'Y': angle_y = Brackenholmer::ModRotd(angle_y - rotation_speed); break;
    case 'z': angle_z = Brackenholmer::ModRotd(angle_z + rotation_speed); break;
    case 'Z': angle_z = Brackenholmer::ModRotd(angle_z - rotation_speed); break;
    case 'w': MoveAlongView(1); Moved(); break;
    case 's': MoveAlongView(-1); Moved(); break;
    case 'a': Viewer.cam_x -= StepLength(); Moved(); break;
    case 'd': Viewer.cam_x += StepLength(); Moved(); break;
    case 'm': animation = !animation; break;
    case 'r': ResetView(); Viewer.FlyingCamera(); break;
    case 'h': show_help = !show_help; break;
    case 'p': RequestSnapshot(); return;
    case 'k': AddViewKeyframe(); return;
    case 'K': RemoveLastKeyframe(); return;
    case kEscape:
    case 'q': QuitViewer(); break;
    case '+': SetPrecision(max_precision + 1); break;
    case '-': SetPrecision(max_precision - 1); break;
    default: return;  // not a navigation key: nothing to redraw
  }
  glutPostRedisplay();
}

void GlutSpecial(int key, int, int) {
  switch (key) {
    case GLUT_KEY_LEFT:
      Viewer.cam_y_angle = Brackenholmer::ModRotd(Viewer.cam_y_angle + rotation_speed);
      break;
    case GLUT_KEY_RIGHT:
      Viewer.cam_y_angle = Brackenholmer::ModRotd(Viewer.cam_y_angle - rotation_speed);
      break;
    case GLUT_KEY_UP:
      Viewer.cam_x_angle = Brackenholmer::ModRotd(Viewer.cam_x_angle - rotation_speed);
      break;
    case GLUT_KEY_DOWN:
      Viewer.cam_x_angle = Brackenholmer::ModRotd(Viewer.cam_x_angle + rotation_speed);
      break;
    case GLUT_KEY_HOME: ResetView(); break;
    case GLUT_KEY_F1:
      show_help = !show_help;
      glutPostRedisplay();
      return;
    default: return;
  }
  CameraChanged();
}
