// Test support for the relief shading: small ASCII grids with their cell sizes, read here so
// that no loader is under test, and the shade of a grid as a vector.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "GridValue.h"
#include "ReliefShade.h"

namespace relief_test {

struct AsciiGrid {
  int rows = 0, cols = 0;
  double dx = 1, dy = 1;
  bool has_nodata = false;
  int nodata = 0;
  std::vector<int> values;  // row-major, north first
};

// An ASCII grid whose header is "keyword value" lines (ncols, nrows, dx, dy, NODATA_value...).
inline AsciiGrid ReadAscii(const std::string& path) {
  std::ifstream in(path);
  AsciiGrid g;
  std::string line;
  while (in.peek() != EOF && !std::isdigit(in.peek()) && in.peek() != '-' && in.peek() != ' ' && std::getline(in, line)) {
    std::istringstream words(line);
    std::string key;
    double v = 0;
    words >> key >> v;
    if (key == "ncols") g.cols = static_cast<int>(v);
    if (key == "nrows") g.rows = static_cast<int>(v);
    if (key == "dx" || key == "cellsize") g.dx = v;
    if (key == "dy" || key == "cellsize") g.dy = v;
    if (key == "NODATA_value") g.has_nodata = true, g.nodata = static_cast<int>(v);
  }
  for (int h; in >> h;) g.values.push_back(h);
  return g;
}

inline mesh_test::GridValue ToGrid(const AsciiGrid& a) {
  mesh_test::GridValue g(a.rows, a.cols, [&](int r, int c) { return a.values.at(static_cast<size_t>(r) * a.cols + c); });
  if (a.has_nodata) g.SetNoData(a.nodata);
  return g;
}

template <class Shade>
std::vector<int> Shaded(const data& grid, Shade shade) {
  std::vector<uint8_t> out(static_cast<size_t>(grid.rows) * grid.cols, 7);
  EXPECT_TRUE(shade(out.data()));
  return std::vector<int>(out.begin(), out.end());
}

}  // namespace relief_test
