// Time of the contour lines every 10 m on made-up terrain: a diamond-square fractal
// (BenchGrids.h) cut to side x side, 30 m between points, heights in whole metres. Making
// the lines in memory (the viewer's) and writing them as GeoPackage and GeoJSON files are
// timed apart, one run each (the figures are seconds).
//   bench_contours FOLDER [side]      (default side 3601)
// The grid is also written to FOLDER/fractal_SIDE.tif, so that gdal_contour can draw the same
// lines (scripts/bench-contours.sh times it); the written files are removed.
#include <gdal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchGrids.h"
#include "ContourFile.h"
#include "Contours.h"

namespace {

constexpr double kSpacing = 30;
constexpr double kInterval = 10;

data FractalGrid(int side) {
  int full = 2;
  while (full + 1 < side) full *= 2;
  data whole = DiamondSquare(full + 1, kFractalSeed);
  for (int r = side; r <= full; ++r) delete[] whole.values[r];
  whole.rows = whole.cols = side;
  whole.grid_space = static_cast<int>(kSpacing);
  whole.units_per_metre = 1;
  whole.y_min = whole.y_max = whole.values[0][0];
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c) {
      whole.y_min = std::min(whole.y_min, whole.values[r][c]);
      whole.y_max = std::max(whole.y_max, whole.values[r][c]);
    }
  whole.place = GridPlace{true, false, 500000, 4000000, kSpacing, kSpacing, ""};
  return whole;
}

bool WriteGeoTiff(const data& g, const std::string& path) {
  GDALAllRegister();
  GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), g.cols, g.rows, 1, GDT_Int32, nullptr);
  if (!ds) return false;
  double transform[6] = {500000, kSpacing, 0, 4000000 + g.rows * kSpacing, 0, -kSpacing};
  GDALSetGeoTransform(ds, transform);
  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  bool ok = true;
  for (int r = 0; r < g.rows && ok; ++r)
    ok = GDALRasterIO(band, GF_Write, 0, r, g.cols, 1, g.values[r], g.cols, 1, GDT_Int32, 0, 0) == CE_None;
  GDALClose(ds);
  return ok;
}

template <class Run>
double Seconds(Run run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_contours FOLDER [side]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int side = argc > 2 ? std::atoi(argv[2]) : 3601;
  const data grid = FractalGrid(side);
  const std::string tif = folder + "/fractal_" + std::to_string(side) + ".tif";
  std::printf("%d x %d, heights %d to %d m, every %g m; %s %s\n", side, side, grid.y_min, grid.y_max, kInterval,
              WriteGeoTiff(grid, tif) ? "wrote" : "could not write", tif.c_str());

  ContourSet set;
  long long points = 0;
  const double made = Seconds([&] {
    if (!MakeContours(grid, kInterval, &set).ok()) std::printf("  MakeContours failed\n");
  });
  for (const ContourLine& line : set.lines) points += static_cast<long long>(line.points.size());
  std::printf("  %-28s %7.2f s   %zu lines, %lld points\n", "MakeContours", made, set.lines.size(), points);
  set = ContourSet{};

  for (const char* extension : {".gpkg", ".geojson"}) {
    const std::string out = folder + "/bench_contours" + extension;
    std::remove(out.c_str());
    ContourFileCounts counts;
    Status written = Status::Ok();
    const double seconds = Seconds([&] { written = WriteContourFile(grid, kInterval, out, &counts); });
    std::printf("  %-28s %7.2f s   %lld lines at %d levels%s%s\n", ("WriteContourFile " + std::string(extension)).c_str(),
                seconds, counts.lines, counts.levels, written.ok() ? "" : ": ", written.reason().c_str());
    std::remove(out.c_str());
  }
  for (int r = 0; r < grid.rows; ++r) delete[] grid.values[r];
  delete[] grid.values;
}
