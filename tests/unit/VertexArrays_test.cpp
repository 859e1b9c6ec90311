// The vertex arrays as drawn and exported: positions truncated at the scales, and the
// grid's normals turned to the surface the scales make of it.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "NormalsFixture.h"
#include "VertexArrays.h"

namespace {

// The normals as drawn: the grid's, turned to the surface the scales make of it.
class VertexArraysTest : public NormalsTest {
 protected:
  std::vector<float> Drawn(const DrawScales& scales) {
    IndexedMesh all;
    for (int r = 0; r < input.rows; ++r)
      for (int c = 0; c < input.cols; ++c) all.points.push_back({c, r});
    VertexArrays arrays;
    FillVertexArrays(input, normales, all, Shading::kPlain, scales, arrays);
    positions_ = arrays.positions;
    return arrays.normals;
  }
  std::vector<int32_t> positions_;
};

TEST_F(VertexArraysTest, AtMultipliersOneTheGridNormalsGoOutUnchanged) {
  std::mt19937 rng(7);
  UseGrid(Fill(6, 9, [](int, int) { return 0; }));
  for (auto& row : grid_)
    for (int& h : row) h = static_cast<int>(rng() % 2000) - 500;
  Viewer.CalcNormales();
  const std::vector<float> drawn = Drawn(ScalesFor(30, 1.0, 1.0f, 1.0f));
  for (int i = 0; i < 6 * 9; ++i) {
    const Normal& n = normales[i / 9][i % 9];
    EXPECT_EQ(drawn[3 * i], n.x);
    EXPECT_EQ(drawn[3 * i + 1], n.y);
    EXPECT_EQ(drawn[3 * i + 2], n.z);
  }
}

// On the plane h = 3 column + 5 row the grid normal is (-3, 1, -5) everywhere.
TEST_F(VertexArraysTest, ScalesTurnTheNormalsWithTheSurface) {
  UseGrid(Fill(4, 5, [](int r, int c) { return 3 * c + 5 * r; }));
  Viewer.CalcNormales();
  struct Case {
    float y, xz;
    double ratio;
    float x_expected, z_expected;
  };
  // Flat at height scale 0; flipped by a negative one; steeper when the ground is squeezed:
  // y 2 over column steps of 0.5 x 0.5 gives x times 8, over row steps of 0.5 z times 4.
  for (const Case& k : {Case{0, 1, 1, 0, 0}, Case{0, 3, 0.6, 0, 0}, Case{-1, 1, 1, 3, 5},
                        Case{2, 0.5f, 0.5, -24, -20}, Case{1, 0, 1, 0, 0}}) {
    SCOPED_TRACE(testing::Message() << "y " << k.y << " xz " << k.xz << " ratio " << k.ratio);
    const std::vector<float> drawn = Drawn(ScalesFor(30, k.ratio, k.y, k.xz));
    for (size_t i = 0; i < drawn.size(); i += 3) {
      EXPECT_EQ(drawn[i], k.x_expected);
      EXPECT_EQ(drawn[i + 1], 1.0f);
      EXPECT_EQ(drawn[i + 2], k.z_expected);
    }
  }
  // Columns 7.5 units apart at spacing 30, multiplier 0.5 and ratio 0.5; rows 15.
  Drawn(ScalesFor(30, 0.5, 1.0f, 0.5f));
  EXPECT_EQ(positions_[3 * 8], 22);      // column 3, row 1: 22.5 truncated
  EXPECT_EQ(positions_[3 * 8 + 2], 15);  // row 1
}

}  // namespace
