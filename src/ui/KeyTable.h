// The window's keys and mouse actions, listed once for the two places that show them: the
// help card drawn over the view (`h`, F1) and the --help text. Both lead with Screen Error,
// a panel setting rather than a key, since it changes what every view shows.
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

// What Screen Error does, as the card and --help put it first.
struct ScreenErrorNote {
  const char* card[2];  // the card's two lines, above its title
  const char* console;  // --help's paragraph, lines under 80 characters, no final newline
};
const ScreenErrorNote& ScreenErrorLead();
