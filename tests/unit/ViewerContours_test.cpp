// The viewer's contours come from a worker: a set after a request, and only the newest
// interval's when a newer one supersedes an older.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "Brackenholmer.h"
#include "GridValue.h"
#include "MeasureGlobals.h"
#include "ViewerContours.h"

namespace {

class ViewerContoursTest : public ::testing::Test {
 protected:
  // Hills big enough that a set takes a while, so a new interval comes while one is made.
  ViewerContoursTest()
      : grid_(700, 700, [](int r, int c) { return static_cast<int>(500 + 300 * std::sin(r * 0.05) * std::cos(c * 0.07)); }) {}
  void SetUp() override {
    saved_ = input;
    input = grid_.Grid();
    ForgetContours();
    show_contours = 1;
    mesh_builds_in_background = true;
  }
  void TearDown() override {
    ForgetContours();
    input = saved_;
  }
  // Frames until the set asked for is taken.
  const ContourSet* Settle() {
    const ContourSet* set = UpdateContours();
    while (ContoursPending()) {
      std::this_thread::yield();
      set = UpdateContours();
    }
    return set;
  }

  mesh_test::GridValue grid_;
  data saved_{};
};

TEST_F(ViewerContoursTest, HandsOutTheSetOfTheNewestInterval) {
  contour_interval = 50;
  const unsigned long before = ContourVersion();
  const ContourSet* set = Settle();
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->interval, 50);
  EXPECT_FALSE(set->lines.empty());
  EXPECT_EQ(ContourVersion(), before + 1);

  contour_interval = 20;
  EXPECT_EQ(UpdateContours(), set);  // the last set stays until the new one is made
  EXPECT_TRUE(ContoursPending());
  contour_interval = 100;
  set = Settle();
  EXPECT_EQ(set->interval, 100);
  EXPECT_EQ(ContourVersion(), before + 2);  // the 20 m set was never handed out
  for (const ContourLine& line : set->lines) EXPECT_EQ(std::fmod(line.level, 100), 0);
}

TEST_F(ViewerContoursTest, NothingWhileHiddenAndAtOnceForPictures) {
  show_contours = 0;
  contour_interval = 50;
  EXPECT_EQ(UpdateContours(), nullptr);
  EXPECT_FALSE(ContoursPending());
  MakeContoursNow();
  EXPECT_EQ(UpdateContours(), nullptr);
  show_contours = 1;
  MakeContoursNow();
  EXPECT_FALSE(ContoursPending());
  const ContourSet* set = UpdateContours();
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->interval, 50);
  // A video's next frame keeps the set it has.
  const unsigned long version = ContourVersion();
  MakeContoursNow();
  EXPECT_EQ(ContourVersion(), version);
  contour_interval = 100;
  MakeContoursNow();
  EXPECT_EQ(ContourVersion(), version + 1);
}

}  // namespace
