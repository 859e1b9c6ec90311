// A typed entry reaches its variable when the typing ends, and is reported then, once.
#include "SpinnerTyping.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> reported;
void Report(int id) { reported.push_back(id); }

// One spinner frame as the panel draws it: ImGui edits what is shown, and may write
// `drawn_value` there (its drag, or the value the field opens with).
struct Panel {
  SpinnerTyping typing{Report};

  bool Draw(int id, int* variable, bool typed_into, int drawn_value) {
    const int before = *variable;
    int* shown = static_cast<int*>(typing.Shown(id, variable));
    const bool changed = *shown != drawn_value;
    *shown = drawn_value;
    return typing.Drawn(id, variable, sizeof(int), &before, typed_into, changed);
  }
};

class SpinnerTypingTest : public testing::Test {
 protected:
  void SetUp() override { reported.clear(); }
  Panel panel;
  int precision = 6, error = 10;
};

TEST_F(SpinnerTypingTest, AnEntryWaitsForTheTypingToEndAndIsReportedOnce) {
  EXPECT_FALSE(panel.Draw(108, &precision, true, 6));  // Ctrl+click opens the field
  EXPECT_FALSE(panel.Draw(108, &precision, true, 15));  // "15" on the way to "150"
  EXPECT_EQ(precision, 6);
  EXPECT_FALSE(panel.Draw(108, &precision, true, 100));  // "150", clamped
  EXPECT_EQ(precision, 6);
  EXPECT_TRUE(reported.empty());
  EXPECT_FALSE(panel.Draw(108, &precision, false, 100));  // Enter
  EXPECT_EQ(precision, 100);
  EXPECT_EQ(reported, std::vector<int>{108});
  // Drawn again, no typing: what ImGui shows is the variable itself.
  EXPECT_FALSE(panel.Draw(108, &precision, false, 100));
  EXPECT_EQ(reported, std::vector<int>{108});
}

TEST_F(SpinnerTypingTest, AFieldOpenedWithAChangedValueKeepsTheVariableUntilTheEnd) {
  EXPECT_FALSE(panel.Draw(108, &precision, true, 7));
  EXPECT_EQ(precision, 6);
  EXPECT_FALSE(panel.Draw(108, &precision, false, 6));  // typed back to what it was
  EXPECT_EQ(precision, 6);
  EXPECT_TRUE(reported.empty());
}

TEST_F(SpinnerTypingTest, ADragChangeStandsAndIsTheCallersToReport) {
  EXPECT_TRUE(panel.Draw(108, &precision, false, 7));
  EXPECT_EQ(precision, 7);
  EXPECT_TRUE(reported.empty());
}

TEST_F(SpinnerTypingTest, TabToAnotherFieldEndsTheFirstEntryFirst) {
  panel.Draw(112, &precision, true, 31);
  panel.Draw(111, &error, true, 10);  // Tab: the next field opens
  EXPECT_EQ(precision, 31);
  EXPECT_EQ(reported, std::vector<int>{112});
  panel.Draw(111, &error, true, 42);
  panel.Draw(111, &error, false, 42);
  EXPECT_EQ(error, 42);
  EXPECT_EQ(reported, (std::vector<int>{112, 111}));
}

TEST_F(SpinnerTypingTest, AFieldNoLongerDrawnEndsItsTypingAtTheFramesEnd) {
  panel.typing.FrameStarted();
  panel.Draw(108, &precision, true, 8);
  panel.typing.FrameDone();
  EXPECT_EQ(precision, 6);
  panel.typing.FrameStarted();  // the header closed: the field is not drawn
  panel.typing.FrameDone();
  EXPECT_EQ(precision, 8);
  EXPECT_EQ(reported, std::vector<int>{108});
  precision = 5;  // a key changes it; nothing typed comes back over it
  panel.typing.FrameStarted();
  panel.typing.FrameDone();
  EXPECT_FALSE(panel.Draw(108, &precision, false, 5));
  EXPECT_EQ(precision, 5);
  EXPECT_EQ(reported, std::vector<int>{108});
}

}  // namespace
