#include "GroundUnderCamera.h"

#include <algorithm>
#include <cmath>

#include "Brackenholmer.h"
#include "CurrentDrawScales.h"

namespace ground {

namespace {

// Turns about one axis by `degrees`, right-handed, as glRotated does.
Vec3 AboutX(Vec3 p, double degrees) {
  const double a = camera_math::ToRadians(degrees), c = std::cos(a), s = std::sin(a);
  return {p.x, p.y * c - p.z * s, p.y * s + p.z * c};
}
Vec3 AboutY(Vec3 p, double degrees) {
  const double a = camera_math::ToRadians(degrees), c = std::cos(a), s = std::sin(a);
  return {p.x * c + p.z * s, p.y, -p.x * s + p.z * c};
}
Vec3 AboutZ(Vec3 p, double degrees) {
  const double a = camera_math::ToRadians(degrees), c = std::cos(a), s = std::sin(a);
  return {p.x * c - p.y * s, p.x * s + p.y * c, p.z};
}

// cos 60 degrees: the least world-y of the model's up for which "under" is kept.
constexpr double kMinUpright = 0.5;

}  // namespace

DrawnGrid DrawnGridFor(const data& grid, const DrawScales& scales, double xz_multiplier, double column_ratio) {
  DrawnGrid g;
  g.grid = &grid;
  g.scales = scales;
  const DrawnHalf half =
      DrawnHalfOf(grid.rows, grid.cols, grid.grid_space, static_cast<float>(xz_multiplier), column_ratio);
  g.half_x = half.x;
  g.half_z = half.z;
  return g;
}

Vec3 ToModelFrame(Vec3 world, const ModelTurn& turn) {
  return AboutZ(AboutY(AboutX(world, -turn.x), -turn.y), -turn.z);
}

Vec3 ToWorldFrame(Vec3 model, const ModelTurn& turn) {
  return AboutX(AboutY(AboutZ(model, turn.z), turn.y), turn.x);
}

bool GroundHeightAt(const DrawnGrid& g, double x, double z, double* y) {
  const data& grid = *g.grid;
  const double column = g.scales.column, row = g.scales.row;
  if (grid.cols < 2 || grid.rows < 2 || !(column > 0) || !(row > 0)) return false;
  const double u = (x + g.half_x) / column, v = (z + g.half_z) / row;
  if (!(u >= 0 && u <= grid.cols - 1 && v >= 0 && v <= grid.rows - 1)) return false;
  const int c = std::min(static_cast<int>(u), grid.cols - 2);
  const int r = std::min(static_cast<int>(v), grid.rows - 2);
  const int h00 = grid.values[r][c], h01 = grid.values[r][c + 1];
  const int h10 = grid.values[r + 1][c], h11 = grid.values[r + 1][c + 1];
  if (grid.has_nodata && (h00 == grid.nodata || h01 == grid.nodata || h10 == grid.nodata || h11 == grid.nodata))
    return false;
  const double fu = u - c, fv = v - r;
  const double near_row = h00 + fu * (h01 - h00), far_row = h10 + fu * (h11 - h10);
  *y = (near_row + fv * (far_row - near_row)) * g.scales.height;
  return true;
}

bool HeightAboveGround(const DrawnGrid& g, const ModelTurn& turn, Vec3 camera, double* height) {
  if (ToWorldFrame({0, 1, 0}, turn).y < kMinUpright) return false;
  const Vec3 m = ToModelFrame(camera, turn);
  double ground_y;
  if (!GroundHeightAt(g, m.x, m.z, &ground_y)) return false;
  *height = m.y - ground_y;
  return true;
}

double StepFactor(const DrawnGrid& g, const ModelTurn& turn, Vec3 camera) {
  const double side = std::max(g.grid->cols * std::fabs(static_cast<double>(g.scales.column)),
                               g.grid->rows * std::fabs(static_cast<double>(g.scales.row)));
  const double reference = kStepReferenceShare * side;
  double height;
  if (!(reference > 0) || !HeightAboveGround(g, turn, camera, &height)) return 1;
  return std::clamp(height / reference, kMinStepFactor, 1.0);
}

double ClearanceFor(int units_per_metre, double height_scale) {
  return kClearanceMetres * units_per_metre * std::fabs(height_scale);
}

Vec3 KeptAboveGround(const DrawnGrid& g, const ModelTurn& turn, Vec3 camera, double clearance) {
  double height;
  if (!HeightAboveGround(g, turn, camera, &height) || height >= clearance) return camera;
  const Vec3 up = ToWorldFrame({0, 1, 0}, turn);
  const double lift = clearance - height;
  return {camera.x + up.x * lift, camera.y + up.y * lift, camera.z + up.z * lift};
}

namespace {

DrawnGrid CurrentGrid() { return DrawnGridFor(input, CurrentDrawScales(), xz_multiplier, DrawnColumnRatio()); }

ModelTurn CurrentTurn() { return {angle_x, angle_y, angle_z}; }

}  // namespace

double CurrentStepFactor(Vec3 camera) {
  if (input.values == nullptr) return 1;
  return StepFactor(CurrentGrid(), CurrentTurn(), camera);
}

Vec3 CurrentlyKeptAboveGround(Vec3 camera) {
  if (input.values == nullptr) return camera;
  const DrawnGrid g = CurrentGrid();
  return KeptAboveGround(g, CurrentTurn(), camera, ClearanceFor(input.units_per_metre, g.scales.height));
}

}  // namespace ground
