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
  EXPECT_EQ(count, 16u);
  // Pinned lines, the wheel's among them.
  const std::string text = KeyTableForConsole();
  EXPECT_NE(text.find("\n  wheel                fly forward, backward, one air-speed step a notch\n"),
            std::string::npos);
  EXPECT_NE(text.find("\n  + -                  one subdivision level more or less\n"), std::string::npos);
}

// Screen Error leads both lists: --help's paragraph keeps to 80 columns, the card's lines
// to a 640-pixel window (9 pixels a character, 14 of padding each side).
TEST(KeyTable, TheScreenErrorLeadFitsTheConsoleAndTheCard) {
  std::istringstream lines(ScreenErrorLead().console);
  std::string line;
  int count = 0;
  for (; std::getline(lines, line); ++count) EXPECT_LT(line.size(), 80u) << line;
  EXPECT_EQ(count, 2);
  for (const char* card_line : ScreenErrorLead().card) {
    EXPECT_LE(std::string(card_line).size() * 9 + 28, 640u) << card_line;
  }
}

}  // namespace
