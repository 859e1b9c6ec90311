// The shading on several threads gives what it gives on one, and stops with them joined.
#include <gtest/gtest.h>

#include <random>

#include "ReliefShade.h"
#include "ReliefTestGrids.h"

namespace {

TEST(ReliefThreads, ThreeThreadsGiveTheShadeOfOne) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> step(-30, 30);
  int walk = 0;
  mesh_test::GridValue grid(150, 131, [&](int, int) { return walk += step(rng); });
  grid.SetNoData(grid.Grid().values[70][70]);
  relief::ShadeOptions o;
  o.shadows = o.ambient_occlusion = true;
  relief::ReliefGrid one{&grid.Grid(), 20, 30, 1.5, true, 1}, three = one;
  three.threads = 3;
  EXPECT_EQ(relief::MakeShade(one, o, nullptr).value(), relief::MakeShade(three, o, nullptr).value());
  // At least one ask a direction: the fifth comes while the threads walk.
  int asked = 0;
  std::vector<uint8_t> out(150 * 131);
  EXPECT_FALSE(relief::SkyView(three, 16, out.data(), [&] { return ++asked == 5; }));
}

}  // namespace
