// Test support: a grid value that owns its heights, handed to the mesh layer as it is
// handed the loaded grid, and the settings that mesh all of it.
#pragma once

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "MeshBuild.h"
#include "TerrainLoader.h"

namespace mesh_test {

class GridValue {
 public:
  // rows x cols points, height(row, column) each.
  template <class Height>
  GridValue(int rows, int cols, Height height)
      : cells_(static_cast<size_t>(rows) * cols), row_starts_(static_cast<size_t>(rows)) {
    for (int r = 0; r < rows; ++r) {
      row_starts_[r] = cells_.data() + static_cast<size_t>(r) * cols;
      for (int c = 0; c < cols; ++c) row_starts_[r][c] = height(r, c);
    }
    grid_.rows = rows;
    grid_.cols = cols;
    grid_.grid_space = 1;
    grid_.values = row_starts_.data();
  }
  GridValue(int rows, int cols, int fill = 0) : GridValue(rows, cols, [fill](int, int) { return fill; }) {}
  GridValue(const GridValue&) = delete;
  GridValue& operator=(const GridValue&) = delete;
  GridValue(GridValue&&) = default;  // the rows stay where they are

  const data& Grid() const { return grid_; }
  operator const data&() const { return grid_; }
  int& at(int column, int row) { return row_starts_[row][column]; }
  void SetSpacing(int grid_space) { grid_.grid_space = grid_space; }
  void SetNoData(int nodata) {
    grid_.has_nodata = true;
    grid_.nodata = nodata;
  }

 private:
  std::vector<int> cells_;
  std::vector<int*> row_starts_;
  data grid_{};
};

// The first `rows` x `cols` heights of an ARC/INFO ASCII grid without NODATA cells (its
// six header lines skipped), read here so that no loader is under test.
inline GridValue ReadAsciiHeights(const std::string& path, int rows, int cols) {
  std::ifstream in(path);
  std::string line;
  int file_cols = 0;
  for (int i = 0; i < 6 && std::getline(in, line); ++i)
    if (line.rfind("ncols", 0) == 0) file_cols = std::stoi(line.substr(5));
  std::vector<int> all;
  for (int h; in >> h;) all.push_back(h);
  return GridValue(rows, cols, [&](int r, int c) { return all.at(static_cast<size_t>(r) * file_cols + c); });
}

// The settings of a build that meshes all of `grid` (mode 0 quads, otherwise triangles).
inline mesh::Settings WholeGrid(const data& grid, int mode, int precision) {
  mesh::Settings s;
  s.mode = mode;
  s.precision = precision;
  s.size = std::max(grid.rows, grid.cols);
  s.border_1 = Vertex{0, 0, 0};
  s.border_2 = Vertex{grid.cols, 0, grid.rows};
  return s;
}

// The same, adaptive under a strict bound.
inline mesh::Settings StrictBound(const data& grid, int mode, int bound) {
  mesh::Settings s = WholeGrid(grid, mode, 30);
  s.adaptive = s.strict = true;
  s.bound = bound;
  return s;
}

}  // namespace mesh_test
