#include "DrawTestState.h"

#include <algorithm>
#include <cmath>
#include <sstream>

void DrawTest::SetUp() {
  saved_input_ = input;
  saved_normales_ = normales;
  int* ints[] = {&wireframe,       &light,     &rendering_mode, &animation,
                 &mesh_mode,       &max_precision, &max_approx_error, &mesh_simplification,
                 &triangle_count,  &terrain_size,  &width,          &height};
  for (int i = 0; i < 12; ++i) saved_ints_[i] = *ints[i];
  saved_floats_[0] = y_multiplier;
  saved_floats_[1] = xz_multiplier;
  const double doubles[] = {angle_x,      angle_y,      angle_z,           rotation_speed,
                            Viewer.cam_x, Viewer.cam_y, Viewer.cam_z,      Viewer.cam_x_angle};
  std::copy(std::begin(doubles), std::end(doubles), saved_doubles_);
  saved_refresh_ = refresh_mesh;
  saved_border_1_ = terrain_border_1;
  saved_border_2_ = terrain_border_2;
  saved_texture_ = texture_id;

  // Start values of the viewer, so each test starts from the same state.
  wireframe = 0;
  light = 1;
  rendering_mode = 0;
  animation = 0;
  mesh_mode = 0;
  max_precision = 1;
  max_approx_error = 10;
  mesh_simplification = 0;
  y_multiplier = 1.0f;
  xz_multiplier = 1.0f;
  angle_x = angle_y = angle_z = 0;
  rotation_speed = 2.0;
  texture_id = 0;
  refresh_mesh = true;
  width = 1024;
  height = 768;
  frames = 0;
  timebase = 0;
  fps = 0;
  fake_elapsed_time = 0;
  fake_panel_top = kNoPanelTop;
  show_help = 0;
  ClearRecordedCalls();
}

void DrawTest::TearDown() {
  input = saved_input_;
  normales = saved_normales_;
  int* ints[] = {&wireframe,       &light,     &rendering_mode, &animation,
                 &mesh_mode,       &max_precision, &max_approx_error, &mesh_simplification,
                 &triangle_count,  &terrain_size,  &width,          &height};
  for (int i = 0; i < 12; ++i) *ints[i] = saved_ints_[i];
  y_multiplier = saved_floats_[0];
  xz_multiplier = saved_floats_[1];
  angle_x = saved_doubles_[0];
  angle_y = saved_doubles_[1];
  angle_z = saved_doubles_[2];
  rotation_speed = saved_doubles_[3];
  Viewer.cam_x = saved_doubles_[4];
  Viewer.cam_y = saved_doubles_[5];
  Viewer.cam_z = saved_doubles_[6];
  Viewer.cam_x_angle = saved_doubles_[7];
  // The mesh still points into this test's grid only through its positions; the next
  // test's first frame rebuilds it.
  refresh_mesh = true;
  terrain_border_1 = saved_border_1_;
  terrain_border_2 = saved_border_2_;
  texture_id = saved_texture_;
  frames = 0;
  timebase = 0;
  fps = 0;
  fake_panel_top = kNoPanelTop;
  show_help = 0;
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
