// The window's keys and mouse actions, listed once for the two places that show them: the
// help card drawn over the view (`h`, F1) and the --help text.
#pragma once

#include <span>
#include <string>

struct KeyBinding {
  const char* keys;            // as the card shows them: "Home  r"
  const char* action;          // the card's short line
  const char* console_keys;    // as --help prints them: "Home r"
  const char* console_action;  // --help's line, which may say more
};

// Every binding, in the order both lists show them.
std::span<const KeyBinding> KeyTable();

// The table as --help prints it: a line "  KEYS  ACTION" a binding, the actions lined up
// in one column.
std::string KeyTableForConsole();
