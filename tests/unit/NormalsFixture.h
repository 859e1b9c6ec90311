// A grid of the test's own in `input` for one test, and the check of one normal.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "Brackenholmer.h"

// Puts a grid into `input` for one test and restores the previous one afterwards.
class NormalsTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = input; }
  void TearDown() override { input = saved_; }

  void UseGrid(const std::vector<std::vector<int>>& heights) {
    grid_ = heights;
    row_ptrs_.clear();
    for (auto& row : grid_) row_ptrs_.push_back(row.data());
    input.rows = static_cast<int>(grid_.size());
    input.cols = static_cast<int>(grid_[0].size());
    input.grid_space = 30;
    input.values = row_ptrs_.data();
    input.has_nodata = false;  // -9999 below is a height like any other
  }

  static std::vector<std::vector<int>> Fill(int rows, int cols, int (*h)(int r, int c)) {
    std::vector<std::vector<int>> g(rows, std::vector<int>(cols));
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) g[r][c] = h(r, c);
    return g;
  }

  static void ExpectNormal(const Normal& n, float x, float y, float z) {
    EXPECT_FLOAT_EQ(n.x, x);
    EXPECT_FLOAT_EQ(n.y, y);
    EXPECT_FLOAT_EQ(n.z, z);
  }

  data saved_{};
  std::vector<std::vector<int>> grid_;
  std::vector<int*> row_ptrs_;
};
