// The routing of the main window's GLUT input between the control panel (ImGui) and the
// navigation callbacks. The panel's controls and drawing are in ControlPanel.cpp.
//
// Index
//   1. Input held for the panel   events reach ImGui in order, one button change a frame
//   2. Routing                    which events the navigation callbacks see (PressRouting)
//   3. GLUT callbacks             installed on the main window
#include "PanelInput.h"

#include <GL/freeglut.h>

#include <cstring>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "Brackenholmer.h"
#include "ControlPanel.h"
#include "PressRouting.h"
#include "backends/imgui_impl_glut.h"
#include "imgui.h"

namespace {

// ---------------------------------------------------------------------------------------
// 1. Input held for the panel
//
// The GLUT backend writes button and key states straight into ImGuiIO, so a press and
// its release that both arrive before the next frame cancel out and the frame never
// sees the click. Every event is therefore turned into the change it makes to ImGuiIO
// (worked out by the backend inside the GLUT callback, where glutGetModifiers() is
// valid) and applied at once only when that cannot hide an earlier press; otherwise it
// waits in a queue that each frame releases up to the next button or key change.

constexpr int kMouseButtons = 5;
constexpr int kKeys = 512;

// The parts of ImGuiIO that the GLUT backend writes.
struct IoInput {
  ImVec2 mouse_pos;
  bool mouse_down[kMouseButtons];
  bool ctrl, shift, alt;
  bool keys[kKeys];
};

IoInput ReadIo() {
  const ImGuiIO& io = ImGui::GetIO();
  IoInput s;
  s.mouse_pos = io.MousePos;
  std::memcpy(s.mouse_down, io.MouseDown, sizeof s.mouse_down);
  s.ctrl = io.KeyCtrl;
  s.shift = io.KeyShift;
  s.alt = io.KeyAlt;
  std::memcpy(s.keys, io.KeysDown, sizeof s.keys);
  return s;
}

void WriteIo(const IoInput& s) {
  ImGuiIO& io = ImGui::GetIO();
  io.MousePos = s.mouse_pos;
  std::memcpy(io.MouseDown, s.mouse_down, sizeof s.mouse_down);
  io.KeyCtrl = s.ctrl;
  io.KeyShift = s.shift;
  io.KeyAlt = s.alt;
  std::memcpy(io.KeysDown, s.keys, sizeof s.keys);
}

// What one event changes in ImGuiIO.
struct IoChange {
  bool press = false;    // a button or key went down
  bool release = false;  // a button or key came up
  std::optional<ImVec2> mouse_pos;
  std::vector<std::pair<int, bool>> mouse_down;
  std::optional<int> modifiers;  // GLUT_ACTIVE_* bits
  std::vector<std::pair<int, bool>> keys;
  std::vector<ImWchar> chars;
  float wheel = 0;
};

void Apply(const IoChange& c) {
  ImGuiIO& io = ImGui::GetIO();
  if (c.mouse_pos) io.MousePos = *c.mouse_pos;
  for (auto [button, down] : c.mouse_down) io.MouseDown[button] = down;
  if (c.modifiers) {
    io.KeyCtrl = (*c.modifiers & GLUT_ACTIVE_CTRL) != 0;
    io.KeyShift = (*c.modifiers & GLUT_ACTIVE_SHIFT) != 0;
    io.KeyAlt = (*c.modifiers & GLUT_ACTIVE_ALT) != 0;
  }
  for (auto [key, down] : c.keys) io.KeysDown[key] = down;
  for (ImWchar ch : c.chars) io.InputQueueCharacters.push_back(ch);
  io.MouseWheel += c.wheel;
}

int ModifierBits(const IoInput& s) {
  return (s.ctrl ? GLUT_ACTIVE_CTRL : 0) | (s.shift ? GLUT_ACTIVE_SHIFT : 0) |
         (s.alt ? GLUT_ACTIVE_ALT : 0);
}

std::deque<IoChange> held_input;
// The state ImGuiIO will have once every held change is applied.
IoInput pending_state;
// A press, or a release, has reached ImGuiIO that no frame has seen yet.
bool press_unseen = false;
bool release_unseen = false;

enum class Writes { kMouse, kMotion, kKey };

// Runs a backend handler against the pending state and records what it changed, leaving
// ImGuiIO as it was. `fix` corrects the state after the backend (modifiers it misses).
template <typename Backend, typename Fix>
IoChange Capture(Writes writes, Backend backend, Fix fix) {
  ImGuiIO& io = ImGui::GetIO();
  const IoInput live = ReadIo();
  if (held_input.empty()) pending_state = live;
  const IoInput before = pending_state;
  const int chars_before = io.InputQueueCharacters.Size;
  const float wheel_before = io.MouseWheel;
  WriteIo(before);
  backend();
  fix(io);
  const IoInput after = ReadIo();

  IoChange c;
  if (writes != Writes::kKey) c.mouse_pos = after.mouse_pos;
  if (writes != Writes::kMotion) c.modifiers = ModifierBits(after);
  for (int b = 0; b < kMouseButtons; ++b) {
    if (after.mouse_down[b] == before.mouse_down[b]) continue;
    c.mouse_down.emplace_back(b, after.mouse_down[b]);
    (after.mouse_down[b] ? c.press : c.release) = true;
  }
  for (int k = 0; k < kKeys; ++k) {
    if (after.keys[k] == before.keys[k]) continue;
    c.keys.emplace_back(k, after.keys[k]);
    (after.keys[k] ? c.press : c.release) = true;
  }
  if (after.ctrl != before.ctrl || after.shift != before.shift || after.alt != before.alt) {
    const bool went_down = (after.ctrl && !before.ctrl) || (after.shift && !before.shift) ||
                           (after.alt && !before.alt);
    (went_down ? c.press : c.release) = true;
  }
  for (int i = chars_before; i < io.InputQueueCharacters.Size; ++i) {
    c.chars.push_back(io.InputQueueCharacters[i]);
  }
  c.wheel = io.MouseWheel - wheel_before;

  WriteIo(live);
  io.InputQueueCharacters.resize(chars_before);
  io.MouseWheel = wheel_before;
  pending_state = after;
  return c;
}

template <typename Backend>
IoChange Capture(Writes writes, Backend backend) {
  return Capture(writes, backend, [](ImGuiIO&) {});
}

// A release is taken where the pointer is when a frame sees it (a header toggles on the
// release over it): the pointer may not move on before that frame.
bool MovesFromUnseenRelease(const IoChange& c) { return release_unseen && c.mouse_pos.has_value(); }

void Deliver(IoChange c) {
  const bool hides_unseen_press = press_unseen && !c.press;
  if (held_input.empty() && !hides_unseen_press && !MovesFromUnseenRelease(c)) {
    Apply(c);
    if (c.press) press_unseen = true;
    if (c.release) release_unseen = true;
  } else {
    held_input.push_back(std::move(c));
  }
}

// After a frame has seen the input so far: let the held changes through up to the next
// button or key change, so that every press and every release gets a frame of its own.
void ReleaseHeldInput() {
  bool changed = false;
  while (!held_input.empty()) {
    const IoChange& c = held_input.front();
    const bool is_change = c.press || c.release;
    if (changed && is_change) break;
    if (press_unseen) break;  // nothing may follow a press within its frame
    if (MovesFromUnseenRelease(c)) break;
    Apply(c);
    if (c.press) press_unseen = true;
    if (c.release) release_unseen = true;
    changed = changed || is_change;
    held_input.pop_front();
  }
}

bool HavePanel() { return ImGui::GetCurrentContext() != nullptr; }

// ---------------------------------------------------------------------------------------
// 2. Routing

PressRouting press_routing;

bool OverPanel(int x, int y) {
  if (!HavePanel()) return false;
  const ImGuiIO& io = ImGui::GetIO();
  return InPanelArea(ControlPanelTop(), io.DisplaySize.x, io.DisplaySize.y, x, y);
}

// Keys go to the panel alone while it edits a value or the pointer rests on it.
bool KeysToPanel(int x, int y) {
  if (!HavePanel()) return false;
  const ImGuiIO& io = ImGui::GetIO();
  return io.WantTextInput || io.WantCaptureKeyboard || OverPanel(x, y);
}

// Which modifier a GLUT modifier key sets, as a GLUT_ACTIVE_* bit; 0 for other keys.
int ModifierOfKey(int key) {
  switch (key) {
    case GLUT_KEY_SHIFT_L:
    case GLUT_KEY_SHIFT_R: return GLUT_ACTIVE_SHIFT;
    case GLUT_KEY_CTRL_L:
    case GLUT_KEY_CTRL_R: return GLUT_ACTIVE_CTRL;
    case GLUT_KEY_ALT_L:
    case GLUT_KEY_ALT_R: return GLUT_ACTIVE_ALT;
    default: return 0;
  }
}

void SetModifier(ImGuiIO& io, int bit, bool down) {
  if (bit == GLUT_ACTIVE_SHIFT) io.KeyShift = down;
  if (bit == GLUT_ACTIVE_CTRL) io.KeyCtrl = down;
  if (bit == GLUT_ACTIVE_ALT) io.KeyAlt = down;
}

// ---------------------------------------------------------------------------------------
// 3. GLUT callbacks

void PanelReshape(int w, int h) {
  if (HavePanel()) ImGui_ImplGLUT_ReshapeFunc(w, h);
  GlutReshape(w, h);
}

void MouseCallback(int button, int state, int x, int y) {
  PanelMouse(button, state, x, y, glutGetModifiers());
}

}  // namespace

void PanelMouse(int button, int state, int x, int y, int modifiers) {
  if (HavePanel()) {
    if (button == kWheelUpButton || button == kWheelDownButton) {
      // ImGui gets every notch; it scrolls only what lies under the pointer.
      if (state == GLUT_DOWN) {
        Deliver(Capture(Writes::kMotion, [&] {
          ImGui_ImplGLUT_MouseWheelFunc(0, button == kWheelUpButton ? 1 : -1, x, y);
        }));
      }
    } else {
      // The backend leaves the modifiers alone on mouse events; Ctrl+click needs them.
      Deliver(Capture(
          Writes::kMouse, [&] { ImGui_ImplGLUT_MouseFunc(button, state, x, y); },
          [&](ImGuiIO& io) {
            io.KeyCtrl = (modifiers & GLUT_ACTIVE_CTRL) != 0;
            io.KeyShift = (modifiers & GLUT_ACTIVE_SHIFT) != 0;
            io.KeyAlt = (modifiers & GLUT_ACTIVE_ALT) != 0;
          }));
    }
  }
  const bool to_view =
      state == GLUT_DOWN ? press_routing.Press(button, OverPanel(x, y)) : press_routing.Release(button);
  if (to_view) GlutMouse(button, state, x, y);
}

void PanelMotion(int x, int y) {
  if (HavePanel()) {
    Deliver(Capture(Writes::kMotion, [&] { ImGui_ImplGLUT_MotionFunc(x, y); }));
  }
  if (press_routing.ViewDrags() || !HavePanel()) GlutMotion(x, y);
}

void PanelPassiveMotion(int x, int y) {
  if (HavePanel()) {
    Deliver(Capture(Writes::kMotion, [&] { ImGui_ImplGLUT_MotionFunc(x, y); }));
  }
}

// Keys that go to the navigation stay out of the panel's input: each would hold a frame
// of its own there, and keys repeated faster than slow frames are drawn would hold up the
// panel's clicks behind them. Their releases still go, and change nothing there.
void PanelKeyboard(unsigned char key, int x, int y) {
  const bool to_panel = KeysToPanel(x, y);
  if (HavePanel() && to_panel) {
    Deliver(Capture(Writes::kKey, [&] { ImGui_ImplGLUT_KeyboardFunc(key, x, y); }));
  }
  if (!to_panel) GlutKeyboard(key, x, y);
}

void PanelKeyboardUp(unsigned char key, int x, int y) {
  if (HavePanel()) {
    Deliver(Capture(Writes::kKey, [&] { ImGui_ImplGLUT_KeyboardUpFunc(key, x, y); }));
  }
}

void PanelSpecial(int key, int x, int y) {
  const bool to_panel = KeysToPanel(x, y);
  const int bit = ModifierOfKey(key);
  if (HavePanel() && (to_panel || bit != 0)) {
    // GLUT reports the modifiers as they were before this key went down.
    Deliver(Capture(
        Writes::kKey, [&] { ImGui_ImplGLUT_SpecialFunc(key, x, y); },
        [&](ImGuiIO& io) { SetModifier(io, bit, true); }));
  }
  if (!to_panel) GlutSpecial(key, x, y);
}

void PanelSpecialUp(int key, int x, int y) {
  if (HavePanel()) {
    const int bit = ModifierOfKey(key);
    Deliver(Capture(
        Writes::kKey, [&] { ImGui_ImplGLUT_SpecialUpFunc(key, x, y); },
        [&](ImGuiIO& io) { SetModifier(io, bit, false); }));
  }
}

void InstallPanelCallbacks() {
  // Every event may change what is drawn, in the view or in the panel.
  glutReshapeFunc(PanelReshape);
  glutKeyboardFunc([](unsigned char key, int x, int y) {
    RequestRedraw();
    PanelKeyboard(key, x, y);
  });
  glutKeyboardUpFunc([](unsigned char key, int x, int y) {
    RequestRedraw();
    PanelKeyboardUp(key, x, y);
  });
  glutSpecialFunc([](int key, int x, int y) {
    RequestRedraw();
    PanelSpecial(key, x, y);
  });
  glutSpecialUpFunc([](int key, int x, int y) {
    RequestRedraw();
    PanelSpecialUp(key, x, y);
  });
  glutMouseFunc([](int button, int state, int x, int y) {
    RequestRedraw();
    MouseCallback(button, state, x, y);
  });
  glutMotionFunc([](int x, int y) {
    RequestRedraw();
    pointer_x = x, pointer_y = y;
    PanelMotion(x, y);
  });
  glutPassiveMotionFunc([](int x, int y) {
    RequestRedraw();
    pointer_x = x, pointer_y = y;
    PanelPassiveMotion(x, y);
  });
  // The probe says nothing once the pointer has left the window.
  glutEntryFunc([](int state) {
    if (state == GLUT_LEFT) {
      pointer_x = pointer_y = -1;
      RequestRedraw();
    }
  });
}

void PanelInputFrameStarted() { press_unseen = release_unseen = false; }

void PanelInputFrameDone() {
  ReleaseHeldInput();
  // Input still held needs frames of its own to reach the panel.
  if (!held_input.empty() || press_unseen || release_unseen) RequestRedraw();
}

void ForgetPanelInput() {
  held_input.clear();
  press_unseen = release_unseen = false;
  press_routing.Forget();
}
