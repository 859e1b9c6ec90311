// The control panel along the bottom of the main window, drawn with Dear ImGui over the
// 3-D view, and the routing of the main window's GLUT input between the panel and the
// navigation callbacks.
//
// Index
//   1. Input held for the panel   events reach ImGui in order, one button change a frame
//   2. Routing                    which events the navigation callbacks see
//   3. GLUT callbacks             installed on the main window
//   4. Controls                   framed groups, spinners, the control table
//   5. Creation and drawing
#include "ControlPanel.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "Brackenholmer.h"
#include "backends/imgui_impl_glut.h"
#include "backends/imgui_impl_opengl2.h"
#include "imgui.h"
#include "imgui_internal.h"

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
// A press has reached ImGuiIO that no frame has seen yet.
bool press_unseen = false;

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

void Deliver(IoChange c) {
  const bool hides_unseen_press = press_unseen && !c.press;
  if (held_input.empty() && !hides_unseen_press) {
    Apply(c);
    if (c.press) press_unseen = true;
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
    Apply(c);
    if (c.press) press_unseen = true;
    changed = changed || is_change;
    held_input.pop_front();
  }
}

bool HavePanel() { return ImGui::GetCurrentContext() != nullptr; }

// ---------------------------------------------------------------------------------------
// 2. Routing

constexpr float kNoPanel = 1e9f;
float panel_top = kNoPanel;

enum class Owner { kNone, kViewer, kPanel };
// GLUT buttons 0 to 2 and the wheel's 3 and 4.
Owner button_owner[kMouseButtons] = {};

bool OverPanel(int x, int y) {
  if (!HavePanel()) return false;
  const ImGuiIO& io = ImGui::GetIO();
  return y >= panel_top && y < io.DisplaySize.y && x >= 0 && x < io.DisplaySize.x;
}

// Keys go to the panel alone while it edits a value or the pointer rests on it.
bool KeysToPanel(int x, int y) {
  if (!HavePanel()) return false;
  const ImGuiIO& io = ImGui::GetIO();
  return io.WantTextInput || io.WantCaptureKeyboard || OverPanel(x, y);
}

bool ViewerHoldsAButton() {
  for (Owner o : button_owner) {
    if (o == Owner::kViewer) return true;
  }
  return false;
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
    if (button == 3 || button == 4) {
      // Without a wheel callback freeglut reports the wheel as buttons 3 and 4.
      if (state == GLUT_DOWN) {
        Deliver(Capture(Writes::kMotion, [&] {
          ImGui_ImplGLUT_MouseWheelFunc(0, button == 3 ? 1 : -1, x, y);
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
  if (button < 0 || button >= kMouseButtons) {
    GlutMouse(button, state, x, y);
    return;
  }
  // A press belongs to whoever it lands on, by the panel's edge in the last frame, and
  // its release and drags follow it there.
  if (state == GLUT_DOWN) {
    button_owner[button] = OverPanel(x, y) ? Owner::kPanel : Owner::kViewer;
    if (button_owner[button] == Owner::kViewer) GlutMouse(button, state, x, y);
  } else {
    if (button_owner[button] != Owner::kPanel) GlutMouse(button, state, x, y);
    button_owner[button] = Owner::kNone;
  }
}

void PanelMotion(int x, int y) {
  if (HavePanel()) {
    Deliver(Capture(Writes::kMotion, [&] { ImGui_ImplGLUT_MotionFunc(x, y); }));
  }
  if (ViewerHoldsAButton() || !HavePanel()) GlutMotion(x, y);
}

void PanelPassiveMotion(int x, int y) {
  if (HavePanel()) {
    Deliver(Capture(Writes::kMotion, [&] { ImGui_ImplGLUT_MotionFunc(x, y); }));
  }
}

void PanelKeyboard(unsigned char key, int x, int y) {
  const bool to_panel = KeysToPanel(x, y);
  if (HavePanel()) {
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
  if (HavePanel()) {
    // GLUT reports the modifiers as they were before this key went down.
    const int bit = ModifierOfKey(key);
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

float ControlPanelTop() { return panel_top; }

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
    PanelMotion(x, y);
  });
  glutPassiveMotionFunc([](int x, int y) {
    RequestRedraw();
    PanelPassiveMotion(x, y);
  });
}

namespace {

// ---------------------------------------------------------------------------------------
// 4. Controls

// Limits read from the grid when the panel is created.
float air_speed_max = 0;
int border_x_max = 0;
int border_z_max = 0;

struct DrawnControl {
  const char* label;
  PanelRect rect;
};
std::vector<DrawnControl> drawn_controls;

void NoteLastItem(const char* label) {
  const ImVec2 a = ImGui::GetItemRectMin();
  const ImVec2 b = ImGui::GetItemRectMax();
  drawn_controls.push_back({label, {a.x, a.y, b.x, b.y}});
}

void Changed(int id) { panel_control_callback(id); }

// A framed box with its title on the top edge, holding the controls drawn between
// BeginFrame and EndFrame.
void BeginFrame(const char* title) {
  ImGui::BeginGroup();
  ImGui::TextUnformatted(title);
  ImGui::Indent();
}

void EndFrame() {
  ImGui::Unindent();
  ImGui::EndGroup();
  const ImGuiStyle& style = ImGui::GetStyle();
  const float half_line = ImGui::GetTextLineHeight() * 0.5f;
  ImVec2 a = ImGui::GetItemRectMin();
  ImVec2 b = ImGui::GetItemRectMax();
  a.x -= style.ItemSpacing.x * 0.5f;
  a.y += half_line;
  b.x += style.ItemSpacing.x * 0.5f;
  b.y += style.ItemSpacing.y * 0.5f;
  ImGui::GetWindowDrawList()->AddRect(a, b, ImGui::GetColorU32(ImGuiCol_Border));
  ImGui::Dummy(ImVec2(0, style.ItemSpacing.y));
}

void Checkbox(const char* label, int* value, int id) {
  bool on = *value != 0;
  if (ImGui::Checkbox(label, &on)) {
    *value = on ? 1 : 0;
    Changed(id);
  }
  NoteLastItem(label);
}

// A typed value reaches its variable only when the typing ends, so a half-typed number
// ("15" on the way to "150") never rebuilds the mesh. One field is typed into at a time.
int typing_id = -1;
alignas(double) unsigned char typed_value[sizeof(double)];
void* typing_target = nullptr;  // the variable the entry is meant for
size_t typing_size = 0;
bool typing_field_drawn = false;  // the field being typed into was drawn this frame

// The entry, clamped as it was typed, takes effect; reported when it changes the variable.
void EndTyping() {
  const int id = typing_id;
  typing_id = -1;
  const bool changed = std::memcmp(typing_target, typed_value, typing_size) != 0;
  std::memcpy(typing_target, typed_value, typing_size);
  if (changed) Changed(id);
}

// The label stands left of the field; `label_width` lines the fields of one group up
// (0: right after the label).
void Spinner(const char* label, int id, ImGuiDataType type, void* value, float speed,
             const void* low, const void* high, const char* format, float label_width) {
  const float x = ImGui::GetCursorPosX();
  ImGui::AlignTextToFramePadding();
  ImGui::TextUnformatted(label);
  ImGui::SameLine();
  if (label_width > 0) {
    ImGui::SetCursorPosX(x + label_width + ImGui::GetStyle().ItemSpacing.x);
  }
  ImGui::SetNextItemWidth(ImGui::GetFontSize() * 6);
  ImGui::PushID(id);
  const size_t size = type == ImGuiDataType_Float ? sizeof(float) : sizeof(int);
  unsigned char before[sizeof(double)];
  std::memcpy(before, value, size);
  void* shown = typing_id == id ? typed_value : value;
  bool changed = ImGui::DragScalar("##value", type, shown, speed, low, high, format,
                                   ImGuiSliderFlags_AlwaysClamp);
  const bool typing = ImGui::TempInputIsActive(ImGui::GetItemID());
  if (typing) {
    if (typing_id != id) {
      // Typing starts (Ctrl+click, or Tab from another field, whose entry ends first):
      // park the entry, keep the variable as it was.
      if (typing_id != -1) EndTyping();
      std::memcpy(typed_value, value, size);
      std::memcpy(value, before, size);
      typing_id = id;
      typing_target = value;
      typing_size = size;
    }
    typing_field_drawn = true;
    changed = false;
  } else if (typing_id == id) {
    // Typing ended (Enter, or a click elsewhere).
    EndTyping();
    changed = false;
  }
  if (changed) Changed(id);
  ImGui::PopID();
  NoteLastItem(label);
}

void IntSpinner(const char* label, int id, int* value, float speed, int low, int high,
                float label_width) {
  Spinner(label, id, ImGuiDataType_S32, value, speed, &low, &high, "%d", label_width);
}

void FloatSpinner(const char* label, int id, float* value, float speed, float low,
                  float high, float label_width) {
  Spinner(label, id, ImGuiDataType_Float, value, speed, &low, &high, "%.2f", label_width);
}

// Radio buttons of one group share the variable; the group reports a change once.
void RadioGroup(int id, int* value, const char* const* labels, int count) {
  const int before = *value;
  for (int i = 0; i < count; ++i) {
    ImGui::RadioButton(labels[i], value, i);
    NoteLastItem(labels[i]);
  }
  if (*value != before) Changed(id);
}

// The width of a group's longest label, where its fields start.
float LabelWidth(const char* const* labels, int count) {
  float widest = 0;
  for (int i = 0; i < count; ++i) {
    widest = std::max(widest, ImGui::CalcTextSize(labels[i]).x);
  }
  return widest;
}

const char* const kRenderingModes[] = {"Color                    ", "Texture                  ",
                                       "Simple                   "};
const char* const kMeshModes[] = {"Quad Subdivision", "Triangle Subdivision"};
const char* const kModifierLabels[] = {"             Precision:", "         Y-Multiplier:",
                                       "     X-Z-Multiplier:", "Max. Approx. Error:"};
const char* const kBorderLabels[] = {"X1:", "Z1:", "X2:", "Z2:"};

void PropertiesColumns() {
  if (!ImGui::BeginTable("##properties", 4,
                         ImGuiTableFlags_BordersInnerV | ImGuiTableFlags_SizingFixedFit)) {
    return;
  }
  ImGui::TableNextColumn();
  Checkbox("Wireframe", &wireframe, kWireframeId);
  Checkbox("Light", &light, kLightId);
  Checkbox("Mesh Simplification", &mesh_simplification, kMeshSimplificationId);
  Checkbox("Animation", &animation, kAnimationId);
  FloatSpinner("Air-Speed:", kAirSpeedId, &Viewer.air_speed, 0.5f, 0.0f, air_speed_max, 0);

  ImGui::TableNextColumn();
  BeginFrame("Rendering Mode");
  RadioGroup(kRenderingModeId, &rendering_mode, kRenderingModes, 3);
  EndFrame();
  BeginFrame("Mesh Mode");
  RadioGroup(kMeshModeId, &mesh_mode, kMeshModes, 2);
  EndFrame();

  ImGui::TableNextColumn();
  BeginFrame("Terrain Modifiers:");
  float x = LabelWidth(kModifierLabels, 4);
  IntSpinner(kModifierLabels[0], kPrecisionId, &max_precision, 0.2f, kMinPrecision,
             kMaxPrecision, x);
  FloatSpinner(kModifierLabels[1], kYMultiplierId, &y_multiplier, 0.1f, -20.0f, 20.0f, x);
  FloatSpinner(kModifierLabels[2], kXZMultiplierId, &xz_multiplier, 0.1f, 0.0f, 20.0f, x);
  IntSpinner(kModifierLabels[3], kMaxApproxErrorId, &max_approx_error, 0.2f, 1, 100, x);
  EndFrame();

  ImGui::TableNextColumn();
  BeginFrame("Terrain Borders");
  x = LabelWidth(kBorderLabels, 4);
  IntSpinner(kBorderLabels[0], kBorderX1Id, &terrain_border_1.x, 2.0f, 0, border_x_max, x);
  IntSpinner(kBorderLabels[1], kBorderZ1Id, &terrain_border_1.z, 2.0f, 0, border_z_max, x);
  IntSpinner(kBorderLabels[2], kBorderX2Id, &terrain_border_2.x, 2.0f, 0, border_x_max, x);
  IntSpinner(kBorderLabels[3], kBorderZ2Id, &terrain_border_2.z, 2.0f, 0, border_z_max, x);
  EndFrame();

  ImGui::EndTable();
}

void BuildPanel() {
  const ImGuiIO& io = ImGui::GetIO();
  // Pinned to the bottom edge at full width; the height follows the content.
  ImGui::SetNextWindowPos(ImVec2(0, io.DisplaySize.y), ImGuiCond_Always, ImVec2(0, 1));
  ImGui::SetNextWindowSize(ImVec2(io.DisplaySize.x, 0), ImGuiCond_Always);
  ImGui::SetNextWindowBgAlpha(1.0f);
  const ImGuiWindowFlags flags =
      ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize |
      ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoCollapse |
      ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse;
  typing_field_drawn = false;
  ImGui::Begin("##control panel", nullptr, flags);
  panel_top = ImGui::GetWindowPos().y;

  if (ImGui::BeginTable("##panel", 2, ImGuiTableFlags_BordersInnerV)) {
    ImGui::TableSetupColumn("##rollout", ImGuiTableColumnFlags_WidthStretch);
    ImGui::TableSetupColumn("##quit", ImGuiTableColumnFlags_WidthFixed);
    ImGui::TableNextColumn();
    const bool open = ImGui::CollapsingHeader("Properties");
    NoteLastItem("Properties");
    if (open) PropertiesColumns();
    ImGui::TableNextColumn();
    // The button's id is 0: it does not go through GluiControl.
    if (ImGui::Button("Quit")) std::exit(0);
    NoteLastItem("Quit");
    ImGui::EndTable();
  }
  ImGui::End();
  // A field typed into that is no longer drawn (its header was closed) ends the typing
  // as a click elsewhere does: the entry takes effect now, not when the panel next
  // shows the field, where it would undo whatever the keys changed meanwhile.
  if (typing_id != -1 && !typing_field_drawn) EndTyping();
}

}  // namespace

// ---------------------------------------------------------------------------------------
// 5. Creation and drawing

void CreateControlPanel() {
  if (HavePanel()) return;
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;  // nothing is written to disk
  io.LogFilename = nullptr;
  ImGui::StyleColorsDark();
  ImGui_ImplGLUT_Init();
  ImGui_ImplOpenGL2_Init();
  air_speed_max = static_cast<float>(input.grid_space) * 1000.0f;  // no int overflow
  border_x_max = input.cols;
  border_z_max = input.rows;
  drawn_controls.reserve(32);
}

void DestroyControlPanel() {
  if (!HavePanel()) return;
  ImGui_ImplOpenGL2_Shutdown();
  ImGui_ImplGLUT_Shutdown();
  ImGui::DestroyContext();
  held_input.clear();
  press_unseen = false;
  panel_top = kNoPanel;
  for (Owner& o : button_owner) o = Owner::kNone;
  typing_id = -1;
  drawn_controls.clear();
}

void RenderControlPanel() {
  if (!HavePanel()) return;
  ImGuiIO& io = ImGui::GetIO();
  io.DisplaySize = ImVec2(static_cast<float>(glutGet(GLUT_WINDOW_WIDTH)),
                          static_cast<float>(glutGet(GLUT_WINDOW_HEIGHT)));
  ImGui_ImplOpenGL2_NewFrame();
  ImGui_ImplGLUT_NewFrame();  // also starts the ImGui frame
  press_unseen = false;
  drawn_controls.clear();
  BuildPanel();
  ImGui::Render();
  ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
  ReleaseHeldInput();
}

bool FindPanelControl(const char* label, PanelRect* rect) {
  for (const DrawnControl& c : drawn_controls) {
    if (std::strcmp(c.label, label) == 0) {
      *rect = c.rect;
      return true;
    }
  }
  return false;
}
