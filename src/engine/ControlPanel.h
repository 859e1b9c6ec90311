// The control panel docked along the bottom of the main window (Dear ImGui), and the
// routing of GLUT input between the panel and the navigation callbacks.
#pragma once

// Registers the main window's reshape, keyboard, special-key, mouse and motion callbacks:
// each forwards the event to the panel and passes it on to GlutReshape, GlutKeyboard,
// GlutSpecial, GlutMouse or GlutMotion when the panel does not take it.
void InstallPanelCallbacks();

// Creates the panel (ImGui context and backends); after the GL context exists.
void CreateControlPanel();

// Removes the panel and forgets held input and press owners (tests start afresh with it).
void DestroyControlPanel();

// Draws the panel over the current frame; called at the end of every frame, before the swap.
void RenderControlPanel();

// Control ids, handed to GluiControl when a control changes its value.
constexpr int kQuitId = 0;
constexpr int kWireframeId = 101;
constexpr int kLightId = 102;
constexpr int kRenderingModeId = 103;
constexpr int kMeshModeId = 104;
constexpr int kMeshSimplificationId = 105;
constexpr int kAnimationId = 106;
constexpr int kAirSpeedId = 107;
constexpr int kPrecisionId = 108;
constexpr int kYMultiplierId = 109;
constexpr int kXZMultiplierId = 110;
constexpr int kMaxApproxErrorId = 111;
constexpr int kBorderX1Id = 112;
constexpr int kBorderZ1Id = 113;
constexpr int kBorderX2Id = 114;
constexpr int kBorderZ2Id = 115;

// What the panel calls with a control's id; GluiControl unless a test wraps it.
extern void (*panel_control_callback)(int);

// The panel's input handlers, registered by InstallPanelCallbacks. `modifiers` is what
// glutGetModifiers() reports inside the GLUT callback (GLUT_ACTIVE_* bits); the GLUT
// callbacks pass it in so that tests can drive the routing without a GLUT event.
void PanelMouse(int button, int state, int x, int y, int modifiers);
void PanelMotion(int x, int y);
void PanelPassiveMotion(int x, int y);
void PanelKeyboard(unsigned char key, int x, int y);
void PanelKeyboardUp(unsigned char key, int x, int y);
void PanelSpecial(int key, int x, int y);
void PanelSpecialUp(int key, int x, int y);

// The window y of the panel's top edge in the last drawn frame; presses at or below it
// belong to the panel. Larger than any window before the first frame.
float ControlPanelTop();

// Where the last drawn frame placed a control, in window pixels, found by its visible
// label ("Properties", "Quit", "Wireframe", "             Precision:", ...); for a
// spinner the rectangle is its value field. False when the control was not drawn.
struct PanelRect {
  float x0, y0, x1, y1;
};
bool FindPanelControl(const char* label, PanelRect* rect);
