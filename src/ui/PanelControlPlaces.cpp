#include "PanelControlPlaces.h"

#include <cstring>
#include <vector>

namespace {

struct DrawnControl {
  const char* label;
  PanelRect rect;
};
std::vector<DrawnControl> drawn_controls;

}  // namespace

bool FindPanelControl(const char* label, PanelRect* rect) {
  for (const DrawnControl& c : drawn_controls) {
    if (std::strcmp(c.label, label) == 0) {
      *rect = c.rect;
      return true;
    }
  }
  return false;
}

void ForgetPanelControlPlaces() { drawn_controls.clear(); }

void NotePanelControlPlace(const char* label, const PanelRect& rect) { drawn_controls.push_back({label, rect}); }
