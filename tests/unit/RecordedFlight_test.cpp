// The window's keyframes get the time since the first, to a tenth of a second, always
// growing, so that the recorded flight is one --flight can play.
#include "RecordedFlight.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordedFlight, KeyframesTakeTheTimeSinceTheFirstAndAlwaysGrow) {
  recorded_flight.clear();
  const CameraPlace camera{1, 2, 3, 30, 90};
  for (int ms : {5000, 7349, 7360, 7370, 20051}) RecordKeyframe(camera, ms);
  ASSERT_EQ(recorded_flight.size(), 5u);
  const double expected[] = {0, 2.3, 2.4, 2.5, 15.1};
  for (int i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(recorded_flight[i].seconds, expected[i]) << i;
  EXPECT_EQ(recorded_flight[4].camera.heading, 90);

  EXPECT_TRUE(DropLastKeyframe());
  EXPECT_EQ(recorded_flight.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(DropLastKeyframe());
  EXPECT_FALSE(DropLastKeyframe());
  // A new flight starts its clock afresh.
  RecordKeyframe(camera, 90000);
  EXPECT_EQ(recorded_flight[0].seconds, 0);
  recorded_flight.clear();
}

}  // namespace
