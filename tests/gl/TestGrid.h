// Small height grids put into the global `input` for the tests that draw with real GL.
#pragma once

#include <functional>

#include "Brackenholmer.h"

// Replaces `input` with a grid of rows x cols points whose height at (row, column) is
// height(row, column). The old table is released.
inline void MakeTestGrid(int rows, int cols, int grid_space, const std::function<int(int, int)>& height) {
  if (input.values != nullptr) {
    for (int r = 0; r < input.rows; ++r) delete[] input.values[r];
    delete[] input.values;
  }
  input.rows = rows;
  input.cols = cols;
  input.grid_space = grid_space;
  input.place = GridPlace{};
  input.has_nodata = false;
  input.values = new int*[rows];
  input.y_min = height(0, 0);
  input.y_max = height(0, 0);
  for (int r = 0; r < rows; ++r) {
    input.values[r] = new int[cols];
    for (int c = 0; c < cols; ++c) {
      const int h = height(r, c);
      input.values[r][c] = h;
      if (h < input.y_min) input.y_min = h;
      if (h > input.y_max) input.y_max = h;
    }
  }
}

inline void MakeFlatGrid(int rows, int cols, int grid_space, int h) {
  MakeTestGrid(rows, cols, grid_space, [h](int, int) { return h; });
}
