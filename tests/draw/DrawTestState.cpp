#include "DrawTestState.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "../support/ViewerStartState.h"

void DrawTest::SetUp() {
  // The grid and the normal table point into this fixture while it lives.
  saved_input_ = input;
  saved_normales_ = normales;
  viewer_test::RestoreViewerStartState();
  max_precision = 1;
  width = 1024;
  height = 768;
  fake_elapsed_time = 0;
  fake_modifiers = 0;
  fake_panel_top = kNoPanelTop;
  ClearRecordedCalls();
}

void DrawTest::TearDown() {
  input = saved_input_;
  normales = saved_normales_;
  fake_panel_top = kNoPanelTop;
  ClearRecordedCalls();
}

void DrawTest::UseGrid(int rows, int cols, int grid_space, const std::function<int(int, int)>& h) {
  grid_.assign(rows, std::vector<int>(cols));
  row_ptrs_.clear();
  normal_rows_.assign(rows, std::vector<Normal>(cols));
  normal_ptrs_.clear();
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      grid_[r][c] = h(r, c);
      normal_rows_[r][c] = Normal{c + 0.25f, 1.0f + r, -0.5f - c - r};
    }
    row_ptrs_.push_back(grid_[r].data());
    normal_ptrs_.push_back(normal_rows_[r].data());
  }
  input.rows = rows;
  input.cols = cols;
  input.grid_space = grid_space;
  input.values = row_ptrs_.data();
  normales = normal_ptrs_.data();
  terrain_size = std::max(rows, cols);
  terrain_border_1 = Vertex{0, 0, 0};
  terrain_border_2 = Vertex{cols, 0, rows};
}

std::string Describe(const GLCall& call) {
  std::ostringstream s;
  s << call.name << "(";
  for (size_t i = 0; i < call.args.size(); ++i) s << (i ? ", " : "") << call.args[i];
  s << ")";
  return s.str();
}

void ExpectSameCalls(const std::vector<GLCall>& actual, const std::vector<GLCall>& expected) {
  const size_t n = std::min(actual.size(), expected.size());
  for (size_t i = 0; i < n; ++i) {
    bool same = actual[i].name == expected[i].name &&
                actual[i].args.size() == expected[i].args.size();
    for (size_t k = 0; same && k < actual[i].args.size(); ++k) {
      const double a = actual[i].args[k], e = expected[i].args[k];
      same = std::fabs(a - e) <= 1e-6 * std::max(1.0, std::fabs(e));
    }
    if (!same) {
      ADD_FAILURE() << "call " << i << " is " << Describe(actual[i]) << ", expected "
                    << Describe(expected[i]);
      return;
    }
  }
  EXPECT_EQ(actual.size(), expected.size()) << "calls differ in number after " << n;
}
