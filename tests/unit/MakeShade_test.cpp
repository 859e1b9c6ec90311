#include <gtest/gtest.h>

#include <cmath>

#include "ReliefShade.h"
#include "ReliefTestGrids.h"

namespace {

const std::string kDir = std::string(TEST_SOURCE_DIR) + "/data/relief/";

TEST(MakeShade, DarkensHillshadeInShadowAndUnderClosedSky) {
  const relief_test::AsciiGrid heights = relief_test::ReadAscii(kDir + "hills_13x11.asc");
  const relief_test::AsciiGrid gdaldem = relief_test::ReadAscii(kDir + "shade_120_30.asc");
  const mesh_test::GridValue grid = relief_test::ToGrid(heights);
  const relief::ReliefGrid g{&grid.Grid(), heights.dx, heights.dy, 1, true};
  relief::ShadeOptions o;
  o.sun = {120, 30, false};
  const std::vector<uint8_t> plain = relief::MakeShade(g, o, nullptr).value();
  for (size_t i = 0; i < plain.size(); ++i) ASSERT_NEAR(plain[i], gdaldem.values[i], 1);

  o.shadows = o.ambient_occlusion = true;
  o.sun.altitude = 12;  // long shadows off the cliff and the plateau
  const std::vector<uint8_t> both = relief::MakeShade(g, o, nullptr).value();
  std::vector<uint8_t> hill(plain.size()), lit(plain.size()), open(plain.size());
  ASSERT_TRUE(relief::Hillshade(g, o.sun, hill.data(), nullptr));
  ASSERT_TRUE(relief::CastShadows(g, o.sun, lit.data(), nullptr));
  ASSERT_TRUE(relief::SkyView(g, o.directions, open.data(), nullptr));
  int shadowed = 0, closed = 0;
  for (size_t i = 0; i < both.size(); ++i) {
    const double expected = hill[i] * (lit[i] ? 1 : 0.5) * (0.35 + 0.65 * open[i] / 255);
    ASSERT_NEAR(both[i], expected, 0.5 + 1e-9) << i;
    shadowed += lit[i] == 0 && heights.values[i] != heights.nodata;
    closed += open[i] < 250;
    if (heights.values[i] == heights.nodata) {
      EXPECT_EQ(both[i], 0);
    }
  }
  EXPECT_GT(shadowed, 3);  // the parts were really there to combine
  EXPECT_GT(closed, 10);
}

TEST(MakeShade, NothingWhenStopped) {
  mesh_test::GridValue grid(20, 20, 3);
  int asked = 0;
  relief::ShadeOptions o;
  o.shadows = o.ambient_occlusion = true;
  // Stopped after the hillshade, in a later part.
  EXPECT_FALSE(relief::MakeShade({&grid.Grid()}, o, [&] { return ++asked > 3; }).has_value());
  EXPECT_GT(asked, 3);
}

}  // namespace
