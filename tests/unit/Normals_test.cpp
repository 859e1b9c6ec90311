#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "Brackenholmer.h"
#include "ChildProcess.h"
#include "NormalsFixture.h"

namespace {

TEST_F(NormalsTest, FlatGridPointsStraightUpEverywhere) {
  UseGrid(Fill(4, 6, [](int, int) { return 7; }));
  Viewer.CalcNormales();
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 6; ++c) {
      SCOPED_TRACE(testing::Message() << "row " << r << " column " << c);
      ExpectNormal(normales[r][c], 0, 1, 0);
    }
}

// Height 3 per column and -2 per row: the normal is (-dh/dcolumn, 1, -dh/drow) at every
// point, corners and borders included, and it is perpendicular to the plane.
TEST_F(NormalsTest, PlaneGivesOneNormalPerpendicularToIt) {
  UseGrid(Fill(5, 7, [](int r, int c) { return 3 * c - 2 * r + 5; }));
  Viewer.CalcNormales();
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 7; ++c) {
      SCOPED_TRACE(testing::Message() << "row " << r << " column " << c);
      const Normal& n = normales[r][c];
      ExpectNormal(n, -3, 1, 2);
      // Tangents along a column step (1, 3, 0) and a row step (0, -2, 1).
      EXPECT_FLOAT_EQ(n.x * 1 + n.y * 3 + n.z * 0, 0);
      EXPECT_FLOAT_EQ(n.x * 0 + n.y * -2 + n.z * 1, 0);
    }
}

// A slope rising towards larger columns faces the smaller columns: x < 0, and the same for
// rows and z. This is what keeps the lit side of a hill facing the light.
TEST_F(NormalsTest, SlopesFaceDownhill) {
  UseGrid(Fill(3, 3, [](int, int c) { return 100 * c; }));
  Viewer.CalcNormales();
  EXPECT_LT(normales[1][1].x, 0);
  EXPECT_FLOAT_EQ(normales[1][1].z, 0);
  UseGrid(Fill(3, 3, [](int r, int) { return 100 * r; }));
  Viewer.CalcNormales();
  EXPECT_LT(normales[1][1].z, 0);
  EXPECT_FLOAT_EQ(normales[1][1].x, 0);
}

TEST_F(NormalsTest, SymmetricNeighboursGiveVerticalNormalWhateverTheOwnHeight) {
  UseGrid({{0, 5, 0}, {2, 900, 2}, {0, 5, 0}});
  Viewer.CalcNormales();
  ExpectNormal(normales[1][1], 0, 1, 0);
  UseGrid({{0, 5, 0}, {2, -9999, 2}, {0, 5, 0}});
  Viewer.CalcNormales();
  ExpectNormal(normales[1][1], 0, 1, 0);
}

// Rows of the grid: {0, 4} and {2, 9}. Each corner keeps its one face, unscaled.
TEST_F(NormalsTest, TwoByTwoGridGivesEachCornerItsOwnFace) {
  UseGrid({{0, 4}, {2, 9}});
  Viewer.CalcNormales();
  ExpectNormal(normales[0][0], -4, 1, -2);  // slopes 4 along the top row, 2 down column 0
  ExpectNormal(normales[0][1], -4, 1, -5);  // 4 along the top row, 5 down column 1
  ExpectNormal(normales[1][0], -7, 1, -2);  // 7 along the bottom row, 2 down column 0
  ExpectNormal(normales[1][1], -7, 1, -5);  // 7 along the bottom row, 5 down column 1
}

// On any grid the averaging works out to central differences inside and to a central
// difference along the border with a one-sided one across it.
TEST_F(NormalsTest, RandomGridMatchesDifferenceFormulas) {
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> height(-500, 3000);
  for (int trial = 0; trial < 20; ++trial) {
    const int rows = 2 + trial % 6, cols = 2 + (trial * 7) % 9;
    std::vector<std::vector<int>> g(rows, std::vector<int>(cols));
    for (auto& row : g)
      for (int& h : row) h = rng() % 7 == 0 ? -9999 : height(rng);  // with no-data pits
    UseGrid(g);
    Viewer.CalcNormales();
    auto h = [&](int r, int c) { return static_cast<double>(g[r][c]); };
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) {
        SCOPED_TRACE(testing::Message() << rows << "x" << cols << " at " << r << "," << c);
        double x, z;
        if (c == 0) x = h(r, 0) - h(r, 1);
        else if (c == cols - 1) x = h(r, c - 1) - h(r, c);
        else x = 0.5 * (h(r, c - 1) - h(r, c + 1));
        if (r == 0) z = h(0, c) - h(1, c);
        else if (r == rows - 1) z = h(r - 1, c) - h(r, c);
        else z = 0.5 * (h(r - 1, c) - h(r + 1, c));
        EXPECT_NEAR(normales[r][c].x, x, 1e-3);
        EXPECT_FLOAT_EQ(normales[r][c].y, 1);
        EXPECT_NEAR(normales[r][c].z, z, 1e-3);
      }
  }
}

// Whatever the heights, a face normal is perpendicular to both edges (in the frame column,
// height, row) and reverses when the two neighbours are swapped.
TEST_F(NormalsTest, FaceNormalIsPerpendicularAndOrientedByNeighbourOrder) {
  UseGrid({{10, -40, 7}, {250, 3, 99}, {-9999, 12, 4000}});
  const int p[][2] = {{1, 1}, {0, 1}, {1, 2}, {2, 1}, {1, 0}};
  for (int i = 1; i <= 4; ++i) {
    const int* p1 = p[i];
    const int* p2 = p[i % 4 + 1];
    const Normal n = Viewer.CreateNormal(1, 1, p1[0], p1[1], p2[0], p2[1]);
    const Normal m = Viewer.CreateNormal(1, 1, p2[0], p2[1], p1[0], p1[1]);
    auto dot = [&](const int* q) {
      return n.x * (q[1] - 1) + n.y * (input.values[q[0]][q[1]] - 3) + n.z * (q[0] - 1);
    };
    EXPECT_FLOAT_EQ(dot(p1), 0);
    EXPECT_FLOAT_EQ(dot(p2), 0);
    EXPECT_FLOAT_EQ(m.x, -n.x);
    EXPECT_FLOAT_EQ(m.y, -n.y);
    EXPECT_FLOAT_EQ(m.z, -n.z);
    EXPECT_FLOAT_EQ(m.y, 1);  // m takes the neighbours in the table's rotational order
  }
}

TEST_F(NormalsTest, RecomputingForAnotherGridReplacesTheTable) {
  UseGrid(Fill(3, 3, [](int, int c) { return 10 * c; }));
  Viewer.CalcNormales();
  UseGrid(Fill(6, 2, [](int, int) { return 1; }));
  Viewer.CalcNormales();
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 2; ++c) ExpectNormal(normales[r][c], 0, 1, 0);
}

// ---- NODATA cells left as holes

// A 6 x 7 grid with NODATA (-9999) at the north-west corner, at (1, 2) and (1, 4) on
// both sides of (1, 3), and in a lake below (2, 4) next to the eastern column. No row
// neighbour holds a height at (0, 2), (0, 4), (2, 4) and (5, 5), no column neighbour at
// (1, 3), (3, 6) and (4, 6).
class NormalsBesideNoDataTest : public NormalsTest {
 protected:
  void UseLakeGrid(int (*h)(int r, int c)) {
    std::vector<std::vector<int>> g = Fill(6, 7, h);
    for (auto [r, c] : {std::pair{0, 0}, {1, 2}, {1, 4}, {3, 4}, {3, 5}, {4, 5}}) g[r][c] = -9999;
    UseGrid(g);
    input.has_nodata = true;
    input.nodata = -9999;
  }
  void TearDown() override {
    show_nodata = 0;
    NormalsTest::TearDown();
  }
  // Checks every point that holds a height with check(normal, row, column).
  template <class F>
  void ForEveryHeight(F check) {
    for (int r = 0; r < input.rows; ++r)
      for (int c = 0; c < input.cols; ++c) {
        if (input.values[r][c] == -9999) continue;
        SCOPED_TRACE(testing::Message() << "row " << r << " column " << c);
        check(normales[r][c], r, c);
      }
  }
};

TEST_F(NormalsBesideNoDataTest, FlatGroundBesideHolesPointsStraightUp) {
  UseLakeGrid([](int, int) { return 250; });
  Viewer.CalcNormales();
  ForEveryHeight([](const Normal& n, int, int) { ExpectNormal(n, 0, 1, 0); });
  // Drawn as heights, the same cells tilt their neighbours: (2, 5) has -9999 to its south.
  show_nodata = 1;
  Viewer.CalcNormales();
  ExpectNormal(normales[2][5], 0, 1, 0.5f * (250 + 9999));
}

// On a plane every point keeps the plane's normal (-3, 1, 2): one-sided differences beside
// a hole are exact, and an axis with no neighbour that holds a height is taken as level.
TEST_F(NormalsBesideNoDataTest, PlaneBesideHolesKeepsItsNormal) {
  UseLakeGrid([](int r, int c) { return 3 * c - 2 * r + 500; });
  Viewer.CalcNormales();
  ForEveryHeight([](const Normal& n, int r, int c) {
    const bool level_along_columns = (r == 1 && c == 3) || (c == 6 && (r == 3 || r == 4));
    const bool level_along_rows = (r == 0 && (c == 2 || c == 4)) || (r == 2 && c == 4) || (r == 5 && c == 5);
    ExpectNormal(n, level_along_columns ? 0 : -3, 1, level_along_rows ? 0 : 2);
  });
}

// Ticking "Show NODATA" refills the normals beside the cells in place: the table is then
// bit for bit the one made with the cells as heights, and unticking brings the holes'
// table back; each change is a new table version for the drawing, a repeat is none.
TEST_F(NormalsBesideNoDataTest, SwitchingTheHolesRefillsTheTableExactly) {
  UseLakeGrid([](int r, int c) { return (r * 37 + c * 53) % 400 - 100 * r; });
  auto table = [] {
    std::vector<Normal> t;
    for (int r = 0; r < input.rows; ++r) t.insert(t.end(), normales[r], normales[r] + input.cols);
    return t;
  };
  auto same = [](const std::vector<Normal>& a, const std::vector<Normal>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Normal)) == 0;
  };
  show_nodata = 1;
  Viewer.CalcNormales();
  const std::vector<Normal> shown = table();
  show_nodata = 0;
  Viewer.CalcNormales();
  const std::vector<Normal> holes = table();
  ASSERT_FALSE(same(shown, holes));

  Normal** const table_before = normales;
  const unsigned long version = normal_table_version;
  Viewer.MatchNormalsToNoData(true);
  EXPECT_TRUE(same(table(), shown));
  EXPECT_EQ(normal_table_version, version + 1);
  Viewer.MatchNormalsToNoData(true);
  EXPECT_EQ(normal_table_version, version + 1);
  Viewer.MatchNormalsToNoData(false);
  EXPECT_TRUE(same(table(), holes));
  EXPECT_EQ(normal_table_version, version + 2);
  EXPECT_EQ(normales, table_before);
}

#ifndef SANITIZED_BUILD
// A table that does not fit is refused, not a crash: `normales` stays null for the caller
// to report. Runs alone in a new process whose address space is capped 24 MB above its size.
TEST_F(NormalsTest, TableThatDoesNotFitLeavesNoTable) {
  UseGrid(Fill(2000, 2000, [](int r, int c) { return r + c; }));  // 48 MB of normals
  if (child_process::RunningAlone()) {
    child_process::CapAddressSpaceAbove(24u << 20);
    Viewer.CalcNormales();
    EXPECT_EQ(normales, nullptr);
    child_process::CapAddressSpaceAbove(1u << 30);
    Viewer.CalcNormales();  // and a later table that fits is made whole
    ASSERT_NE(normales, nullptr);
    EXPECT_EQ(normales[1999][1999].y, 1);
    return;
  }
  const auto outcome = child_process::RunAlone("NormalsTest.TableThatDoesNotFitLeavesNoTable");
  ASSERT_TRUE(outcome.exited) << "the normal table crashed when memory ran out";
  EXPECT_EQ(outcome.status, 0) << outcome.out;
  EXPECT_NE(outcome.out.find("[       OK ] NormalsTest.TableThatDoesNotFitLeavesNoTable"), std::string::npos)
      << outcome.out;
}
#endif

}  // namespace
