// Which mouse presses the control panel takes and which reach the 3-D view's navigation.
// A press belongs to whoever it lands on, by the panel's top edge in the last frame; its
// release and its drags follow it there, so a drag begun on the terrain keeps turning the
// view over the panel, one begun on the panel never moves the camera, and a wheel notch
// over the panel never flies. GL-free: the GLUT callbacks in PanelInput.cpp ask it.
#pragma once

// Whether window point (x, y) (y down) lies on the panel: from its top edge `panel_top`
// to the window's bottom, across the window of `window_width` x `window_height`.
bool InPanelArea(float panel_top, float window_width, float window_height, int x, int y);

class PressRouting {
 public:
  // GLUT's buttons 0 to 2 and the wheel's notches 3 and 4 have owners; other buttons
  // always go to the view.
  static constexpr int kButtons = 5;

  // A button went down, on the panel or not: whether the view gets the press.
  bool Press(int button, bool over_panel);
  // It came up: whether the view gets the release (all but the panel's presses').
  bool Release(int button);
  // Whether pointer motion with buttons down drags the view: one of them is the view's.
  bool ViewDrags() const;
  // No button is held any more (the panel is removed).
  void Forget();

 private:
  enum class Owner { kNone, kView, kPanel };
  Owner owner_[kButtons] = {};
};
