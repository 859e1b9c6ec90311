// Shared set-up of the draw tests: the viewer's start state with the draw tests' window and
// precision, a height grid in `input` and a normal table whose entries tell their grid
// point apart.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "RecordingGL.h"

class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Puts a rows x cols grid of heights h(row, column) into `input` and makes the normal of
  // grid point (row r, column c) (c + 0.25, 1 + r, -0.5 - c - r), so a lookup with
  // swapped indices shows. Sets terrain_size and the borders as start-up does.
  void UseGrid(int rows, int cols, int grid_space, const std::function<int(int, int)>& h);

  std::vector<std::vector<int>> grid_;
  std::vector<int*> row_ptrs_;
  std::vector<std::vector<Normal>> normal_rows_;
  std::vector<Normal*> normal_ptrs_;

 private:
  data saved_input_{};
  Normal** saved_normales_ = nullptr;
};

// Expects two call lists to be equal name by name and argument by argument (to 1e-6
// relative, as floats travel through double), reporting the first difference.
void ExpectSameCalls(const std::vector<GLCall>& actual, const std::vector<GLCall>& expected);

// Formats a call as "name(a, b, c)" for messages.
std::string Describe(const GLCall& call);
