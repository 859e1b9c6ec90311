#include "PressRouting.h"

bool InPanelArea(float panel_top, float window_width, float window_height, int x, int y) {
  return y >= panel_top && y < window_height && x >= 0 && x < window_width;
}

bool PressRouting::Press(int button, bool over_panel) {
  if (button < 0 || button >= kButtons) return true;
  owner_[button] = over_panel ? Owner::kPanel : Owner::kView;
  return owner_[button] == Owner::kView;
}

bool PressRouting::Release(int button) {
  if (button < 0 || button >= kButtons) return true;
  const bool to_view = owner_[button] != Owner::kPanel;
  owner_[button] = Owner::kNone;
  return to_view;
}

bool PressRouting::ViewDrags() const {
  for (Owner o : owner_) {
    if (o == Owner::kView) return true;
  }
  return false;
}

void PressRouting::Forget() {
  for (Owner& o : owner_) o = Owner::kNone;
}
