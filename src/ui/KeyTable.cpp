#include "KeyTable.h"

#include <algorithm>
#include <iterator>

namespace {

const KeyBinding kBindings[] = {
    {"left drag", "turn the camera", "left drag", "turn the camera (one pixel is one degree)"},
    {"right drag", "fly along the view, move sideways", "right drag",
     "move along the view (up/down) and sideways (left/right)"},
    {"both buttons", "move up/down and sideways", "both buttons drag", "move up/down and sideways"},
    {"wheel", "fly forward, backward", "wheel", "fly forward, backward, one air-speed step a notch"},
    {"w s", "fly forward, backward", "w s", "fly forward, backward"},
    {"a d", "move along the terrain's x axis", "a d", "move along the terrain's x axis"},
    {"arrow keys", "turn left/right, look up/down", "arrow keys", "turn left/right, look up/down"},
    {"x y z  X Y Z", "turn the model about its axes", "x y z (X Y Z)", "turn the model about its axes"},
    {"m", "start or stop the spin", "m", "start or stop the spin"},
    {"+ -", "one subdivision level more or less", "+ -", "one subdivision level more or less"},
    {"Home  r", "back to the start view", "Home r", "back to the start view"},
    {"h  F1", "show or hide this help", "h F1", "the key card"},
    {"p", "save the view as a PNG picture", "p", "save the view as a numbered PNG in the current folder"},
    {"k  K", "add the view to the flight, take the last away", "k K",
     "add the view as a flight's keyframe, take the last away (Save Flight)"},
    {"Ctrl+click", "profile path: add a point (right: take one)", "Ctrl+click",
     "add the terrain point to the profile path (Ctrl+right click takes the last away)"},
    {"Esc  q", "quit", "Esc q", "quit"},
};

const ScreenErrorNote kScreenErrorNote = {
    {"Screen Error (panel): the mesh follows the camera, every",
     "grid point in view within the bound (px) of the surface."},
    "Screen Error (panel check box, --screen-error PX): the mesh follows the camera,\n"
    "every grid point in view within the bound, in pixels, of the surface drawn.",
};

// Where --help's actions start, counted from the line's start.
constexpr size_t kConsoleActionColumn = 23;

}  // namespace

std::span<const KeyBinding> KeyTable() { return {std::begin(kBindings), std::end(kBindings)}; }

const ScreenErrorNote& ScreenErrorLead() { return kScreenErrorNote; }

std::string KeyTableForConsole() {
  std::string out;
  for (const KeyBinding& b : KeyTable()) {
    std::string line = std::string("  ") + b.console_keys;
    line.resize(std::max(kConsoleActionColumn, line.size() + 1), ' ');  // a space at least
    out += line + b.console_action + "\n";
  }
  return out;
}
