// The help card over the frame.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "FrameTest.h"
#include "KeyTable.h"

namespace {

// The help card comes over everything, the panel too, as a translucent dark box in window
// pixels with the depth test off inside a saved attribute block, its text in 9 x 15.
TEST_F(FrameTest, HelpCardIsDrawnLastOverTheViewAndListsTheKeys) {
  show_help = 1;
  GlutDisplay();
  const auto& calls = RecordedCalls();
  auto index_of = [&](const std::string& name) {
    for (size_t i = 0; i < calls.size(); ++i)
      if (calls[i].name == name) return static_cast<int>(i);
    return -1;
  };
  const int panel = index_of("RenderControlPanel"), push = index_of("glPushAttrib"),
            pop = index_of("glPopAttrib"), swap = index_of("glutSwapBuffers");
  ASSERT_GT(push, panel);
  ASSERT_GT(pop, push);
  ASSERT_GT(swap, pop);
  std::vector<GLCall> card(calls.begin() + push, calls.begin() + pop);
  auto within = [&](const std::string& name, std::vector<double> args) {
    for (const GLCall& c : card)
      if (c.name == name && c.args == args) return true;
    return false;
  };
  EXPECT_TRUE(within("glViewport", {0, 0, 1024, 768}));
  EXPECT_TRUE(within("gluOrtho2D", {0, 1024, 0, 768}));
  EXPECT_TRUE(within("glDisable", {double(GL_DEPTH_TEST)}));
  EXPECT_TRUE(within("glEnable", {double(GL_BLEND)}));
  EXPECT_TRUE(within("glPolygonMode", {double(GL_FRONT_AND_BACK), double(GL_FILL)}));
  const auto box = CallsNamed("glColor4f");
  ASSERT_EQ(box.size(), 1u);
  EXPECT_LT(box[0].args[0] + box[0].args[1] + box[0].args[2], 0.5);
  EXPECT_GT(box[0].args[3], 0.5);
  EXPECT_LT(box[0].args[3], 1.0);

  const std::vector<std::string> text = ScreenLines();
  for (const char* expected : {"Home  r", "h  F1", "Esc  q", "wheel", "left drag", "m", "quit"})
    EXPECT_NE(std::find(text.begin(), text.end(), expected), text.end()) << expected;
  // Screen Error leads, above the title.
  const auto title = std::find(text.begin(), text.end(), "Keys and mouse");
  ASSERT_GE(title - text.begin(), 2);
  EXPECT_EQ(title[-2], ScreenErrorLead().card[0]);
  EXPECT_EQ(title[-1], ScreenErrorLead().card[1]);
  int card_chars = 0;
  for (const GLCall& c : CallsNamed("glutBitmapCharacter")) card_chars += c.args[0] == kFont9By15;
  EXPECT_GT(card_chars, 200);

  show_help = 0;
  ClearRecordedCalls();
  GlutDisplay();
  EXPECT_EQ(CountCalls("glPushAttrib"), 0);
  for (const GLCall& c : CallsNamed("glutBitmapCharacter")) EXPECT_NE(c.args[0], kFont9By15);
}

// The card's box (its four glVertex2i corners, GL y from the bottom) is centred on the
// view above the panel, and a view lower than the card lets it start at the window's top.
TEST_F(FrameTest, HelpCardIsCentredOnTheViewAboveThePanel) {
  struct Box {
    double left, right, bottom, top;
  };
  auto draw_card = [] {
    ClearRecordedCalls();
    RenderHelpCard();
    const auto corners = CallsNamed("glVertex2i");
    EXPECT_EQ(corners.size(), 4u);
    Box b{1e9, -1e9, 1e9, -1e9};
    for (const GLCall& c : corners) {
      b.left = std::min(b.left, c.args[0]);
      b.right = std::max(b.right, c.args[0]);
      b.bottom = std::min(b.bottom, c.args[1]);
      b.top = std::max(b.top, c.args[1]);
    }
    return b;
  };
  Box b = draw_card();  // no panel: the whole window
  EXPECT_NEAR((b.left + b.right) / 2, 512, 1);
  EXPECT_NEAR((b.bottom + b.top) / 2, 384, 1);
  const double card_h = b.top - b.bottom;
  EXPECT_GT(card_h, 200);
  EXPECT_LT(card_h, 500);

  fake_panel_top = 500;  // the view is the top 500 rows: its centre is 250 down
  b = draw_card();
  EXPECT_NEAR((b.bottom + b.top) / 2, 768 - 250, 1);

  fake_panel_top = 100;
  b = draw_card();
  EXPECT_EQ(b.top, 768);
  EXPECT_EQ(b.top - b.bottom, card_h);
}

}  // namespace
