// Writes a larger ARC/INFO ASCII grid made from a smaller one by bilinear interpolation,
// for the tests and benchmarks that need a big real-looking grid.
//
//   resample_grid SOURCE OUTPUT ROWS COLS ROW_STEPS COL_STEPS CELLSIZE
//
// Output point (i, j) takes the source's height at row i / ROW_STEPS, column j / COL_STEPS,
// interpolated between the four source points around it and rounded to the nearest
// integer. Every source point of the covered window is therefore an output point, and no
// interpolated height leaves the range of its four corners: the output's least and
// greatest heights are those of the source window. CELLSIZE is written as given.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

int Fail(const std::string& why) {
  std::fprintf(stderr, "resample_grid: %s\n", why.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) {
    return Fail("usage: resample_grid SOURCE OUTPUT ROWS COLS ROW_STEPS COL_STEPS CELLSIZE");
  }
  const int rows = std::atoi(argv[3]);
  const int cols = std::atoi(argv[4]);
  const int row_steps = std::atoi(argv[5]);
  const int col_steps = std::atoi(argv[6]);
  const std::string cellsize = argv[7];
  if (rows < 2 || cols < 2 || row_steps < 1 || col_steps < 1) return Fail("bad size or steps");

  std::ifstream in(argv[1]);
  if (!in) return Fail(std::string("cannot read ") + argv[1]);
  int src_rows = 0, src_cols = 0;
  std::string line, keyword;
  for (int i = 0; i < 6 && std::getline(in, line); ++i) {
    std::istringstream fields(line);
    if (i == 0) fields >> keyword >> src_cols;
    if (i == 1) fields >> keyword >> src_rows;
  }
  std::vector<double> src;
  src.reserve(static_cast<size_t>(src_rows) * src_cols);
  double h;
  while (in >> h) src.push_back(h);
  if (src_rows < 2 || src_cols < 2 || src.size() != static_cast<size_t>(src_rows) * src_cols) {
    return Fail(std::string("no valid grid in ") + argv[1]);
  }
  if ((rows - 1) > (src_rows - 1) * row_steps || (cols - 1) > (src_cols - 1) * col_steps) {
    return Fail("the output would reach past the source");
  }
  auto at = [&](int r, int c) { return src[static_cast<size_t>(r) * src_cols + c]; };

  const std::string partial = std::string(argv[2]) + ".part";
  FILE* out = std::fopen(partial.c_str(), "w");
  if (!out) return Fail("cannot write " + partial);
  std::fprintf(out, "ncols        %d\nnrows        %d\nxllcorner    -84.413750000000\n"
               "yllcorner    36.446250000000\ncellsize     %s\nNODATA_value -9999\n",
               cols, rows, cellsize.c_str());
  for (int i = 0; i < rows; ++i) {
    const int r0 = i / row_steps;
    const int r1 = r0 + 1 < src_rows ? r0 + 1 : r0;
    const double fr = static_cast<double>(i % row_steps) / row_steps;
    for (int j = 0; j < cols; ++j) {
      const int c0 = j / col_steps;
      const int c1 = c0 + 1 < src_cols ? c0 + 1 : c0;
      const double fc = static_cast<double>(j % col_steps) / col_steps;
      const double top = at(r0, c0) + (at(r0, c1) - at(r0, c0)) * fc;
      const double bottom = at(r1, c0) + (at(r1, c1) - at(r1, c0)) * fc;
      std::fprintf(out, " %ld", std::lround(top + (bottom - top) * fr));
    }
    std::fputc('\n', out);
  }
  if (std::fclose(out) != 0 || std::rename(partial.c_str(), argv[2]) != 0) {
    return Fail(std::string("cannot write ") + argv[2]);
  }
  return 0;
}
