// The one key table: --help prints every binding, actions in one column.
#include "KeyTable.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

TEST(KeyTable, TheConsoleListHasALineABindingWithTheActionsInOneColumn) {
  std::istringstream lines(KeyTableForConsole());
  std::string line;
  size_t count = 0;
  for (const KeyBinding& b : KeyTable()) {
    ASSERT_TRUE(std::getline(lines, line));
    ++count;
    EXPECT_EQ(line.rfind(std::string("  ") + b.console_keys + " ", 0), 0u) << line;
    EXPECT_EQ(line.find(b.console_action), 23u) << line;
  }
  EXPECT_FALSE(std::getline(lines, line)) << "an extra line: " << line;
  EXPECT_EQ(count, 14u);
  // Pinned lines, the wheel's among them.
  const std::string text = KeyTableForConsole();
  EXPECT_NE(text.find("\n  wheel                fly forward, backward, one air-speed step a notch\n"),
            std::string::npos);
  EXPECT_NE(text.find("\n  + -                  one subdivision level more or less\n"), std::string::npos);
}

}  // namespace
