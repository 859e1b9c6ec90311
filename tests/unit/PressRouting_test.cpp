// Which presses the panel takes and which the 3-D view gets, and where drags go.
#include "PressRouting.h"

#include <gtest/gtest.h>

namespace {

// A 1024 x 768 window whose panel starts at y 700.
TEST(PressRouting, ThePanelAreaRunsFromItsTopEdgeToTheWindowsBottomAcrossTheWindow) {
  struct Point {
    int x, y;
    bool on_panel;
  };
  for (const Point p : {Point{500, 700, true}, Point{500, 699, false}, Point{500, 767, true},
                        Point{500, 768, false}, Point{0, 720, true}, Point{-1, 720, false},
                        Point{1023, 720, true}, Point{1024, 720, false}}) {
    EXPECT_EQ(InPanelArea(700.0f, 1024.0f, 768.0f, p.x, p.y), p.on_panel) << p.x << ", " << p.y;
  }
  EXPECT_TRUE(InPanelArea(699.5f, 1024.0f, 768.0f, 5, 700));  // a fractional edge
  EXPECT_FALSE(InPanelArea(699.5f, 1024.0f, 768.0f, 5, 699));
}

TEST(PressRouting, APressAndItsReleaseGoWhereThePressLanded) {
  PressRouting r;
  for (int button = 0; button < PressRouting::kButtons; ++button) {
    SCOPED_TRACE(button);
    EXPECT_TRUE(r.Press(button, false));
    EXPECT_TRUE(r.ViewDrags());
    EXPECT_TRUE(r.Release(button));  // released over the panel all the same
    EXPECT_FALSE(r.ViewDrags());
    EXPECT_FALSE(r.Press(button, true));  // a wheel notch over the panel never flies
    EXPECT_FALSE(r.ViewDrags());
    EXPECT_FALSE(r.Release(button));
  }
  // Buttons beyond the wheel's always go to the view.
  EXPECT_TRUE(r.Press(5, true));
  EXPECT_TRUE(r.Release(5));
  EXPECT_TRUE(r.Press(-1, true));
  EXPECT_FALSE(r.ViewDrags());
  // A release with no press seen (pressed before the panel was there) goes to the view.
  EXPECT_TRUE(r.Release(2));
}

TEST(PressRouting, ButtonsHeldAcrossTheEdgeKeepTheirOwnOwners) {
  PressRouting r;
  EXPECT_FALSE(r.Press(0, true));  // left on the panel
  EXPECT_TRUE(r.Press(2, false));  // right on the view: the view drags
  EXPECT_TRUE(r.ViewDrags());
  EXPECT_TRUE(r.Release(2));
  EXPECT_FALSE(r.ViewDrags());  // the panel's left button drags no view
  EXPECT_FALSE(r.Release(0));
  EXPECT_TRUE(r.Press(1, false));
  r.Forget();
  EXPECT_FALSE(r.ViewDrags());
  EXPECT_TRUE(r.Release(1));
}

}  // namespace
