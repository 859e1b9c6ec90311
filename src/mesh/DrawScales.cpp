#include "DrawScales.h"

DrawnHalf DrawnHalfOf(int rows, int cols, int grid_space, float xz_multiplier, double column_ratio) {
  // In double: a large grid times its spacing times the scale may pass the int range.
  return {static_cast<double>(cols) * grid_space * 0.5 * xz_multiplier * column_ratio,
          static_cast<double>(rows) * grid_space * 0.5 * xz_multiplier};
}

DrawScales ScalesFor(int grid_space, double column_ratio, float y_multiplier, float xz_multiplier) {
  DrawScales s;
  s.column = static_cast<float>(grid_space * static_cast<double>(xz_multiplier) * column_ratio);
  s.row = static_cast<float>(grid_space * static_cast<double>(xz_multiplier));
  s.height = y_multiplier;
  // The grid normals are those of the raw heights over unit steps. Scaling x, y and z of
  // the surface by sx, sy, sz scales a face normal's components by sy*sz, sx*sz and sx*sy;
  // divided by sx*sz, y stays and x and z take sy/sx and sy/sz. A surface squeezed flat
  // horizontally has no usable normal: it is lit as if level.
  const double x_step = static_cast<double>(xz_multiplier) * column_ratio;
  const double z_step = xz_multiplier;
  s.normal_x = x_step != 0 ? static_cast<float>(y_multiplier / x_step) : 0.0f;
  s.normal_z = z_step != 0 ? static_cast<float>(y_multiplier / z_step) : 0.0f;
  return s;
}
