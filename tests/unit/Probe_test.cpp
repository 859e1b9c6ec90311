// The probe at its edges: where a drawn point stops belonging to the grid, which way it
// rounds, triangles of either turn, and places south and east.
#include <gtest/gtest.h>

#include "IndexedMesh.h"
#include "Probe.h"
#include "TerrainLoader.h"

namespace {

// A 3 x 5 grid, 10 units between columns and 20 between rows, centred on the origin:
// column c lies at x = 10 c - 25, row r at z = 20 r - 30.
struct SpotCase {
  double x, z;
  bool inside;
  int row, column;
};

class ProbeSpot : public testing::TestWithParam<SpotCase> {};

TEST_P(ProbeSpot, NearestGridPointWithinHalfACell) {
  const SpotCase& c = GetParam();
  DrawScales s;
  s.column = 10, s.row = 20;
  GridSpot spot{-1, -1};
  ASSERT_EQ(GridSpotAt(c.x, c.z, 3, 5, s, spot), c.inside) << c.x << ", " << c.z;
  if (!c.inside) return;
  EXPECT_EQ(spot.row, c.row);
  EXPECT_EQ(spot.column, c.column);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, ProbeSpot,
    testing::Values(SpotCase{-30, 0, false, 0, 0},      // exactly half a column west of column 0
                    SpotCase{-29.9, -39.9, true, 0, 0},  // just inside the north-west corner
                    SpotCase{20, 0, false, 0, 0},       // exactly half a column east of column 4
                    SpotCase{19.9, 19.9, true, 2, 4},   // just inside the south-east corner
                    SpotCase{0, 20, false, 0, 0},       // exactly half a row south of row 2
                    SpotCase{11, 2.1, true, 2, 4},      // column 3.6, row 1.6: rounded up
                    SpotCase{9, -2, true, 1, 3}));      // column 3.4, row 1.4: rounded down

// The profile path takes the position between the points, held to the grid's points.
TEST(ProbeSpotScales, PositionsBetweenPointsAreKeptAndClampedToTheGrid) {
  DrawScales s;
  s.column = 10, s.row = 20;
  GridPosition at;
  ASSERT_TRUE(GridPositionAt(11, 2.1, 3, 5, s, at));
  EXPECT_DOUBLE_EQ(at.column, 3.6);
  EXPECT_DOUBLE_EQ(at.row, 1.605);
  ASSERT_TRUE(GridPositionAt(-29.9, 19.9, 3, 5, s, at));  // beyond column 0 and row 2
  EXPECT_EQ(at, (GridPosition{0, 2}));
}

TEST(ProbeSpotScales, AFlattenedDrawingHasNoGridPoints) {
  DrawScales s;
  GridSpot spot{};
  s.column = 0, s.row = 20;
  EXPECT_FALSE(GridSpotAt(0, 0, 3, 5, s, spot));
  s.column = 10, s.row = -20;
  EXPECT_FALSE(GridSpotAt(0, 0, 3, 5, s, spot));
}

// Over the grid point (column 1, row 1) of a 3 x 3 grid: a triangle turning the other way
// covers it as well, and a degenerate one before it is passed over.
TEST(ProbeMesh, TrianglesOfEitherTurnAndNoneOfNoArea) {
  const data saved = input;
  int row0[] = {0, 0, 30}, row1[] = {0, 7, 0}, row2[] = {60, 0, 90};
  int* rows[] = {row0, row1, row2};
  input.rows = 3, input.cols = 3, input.values = rows, input.has_nodata = false;
  IndexedMesh m;
  m.points = {{0, 0}, {2, 0}, {0, 2}, {2, 2}, {1, 1}};
  m.indices = {0, 4, 3, 0, 2, 1};  // a line through (1, 1), then the upper-left half clockwise
  double h = -1;
  ASSERT_TRUE(MeshHeightAt(m, {1, 1}, h));
  EXPECT_DOUBLE_EQ(h, 45);  // halfway between (2, 0) at 30 and (0, 2) at 60
  m.indices = {0, 1, 2};    // the same half counter-clockwise
  ASSERT_TRUE(MeshHeightAt(m, {1, 1}, h));
  EXPECT_DOUBLE_EQ(h, 45);
  EXPECT_FALSE(MeshHeightAt(m, {2, 2}, h));
  input = saved;
}

// Row 0 is the northern edge: a 2-row grid's lower row lies half a cell above the bottom;
// southern latitudes and eastern longitudes carry their own letters.
TEST(ProbeText, SouthAndEastOfTheOrigin) {
  const data saved = input;
  int row0[] = {1, 2}, row1[] = {3, 4};
  int* rows[] = {row0, row1};
  input.rows = 2, input.cols = 2, input.values = rows, input.has_nodata = false, input.units_per_metre = 1;
  input.place = GridPlace{true, true, 150.0, -34.0, 0.01, 0.02};
  EXPECT_EQ(ProbeText({1, 1}, false, 0), "Row 1, col 1, 33.9900 S 150.0150 E: 4 m");
  EXPECT_EQ(ProbeText({0, 0}, false, 0), "Row 0, col 0, 33.9700 S 150.0050 E: 1 m");
  input = saved;
}

}  // namespace
