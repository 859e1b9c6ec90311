// Time of the relief shading on made-up terrain: a diamond-square fractal (BenchGrids.h)
// cut to side x side, 30 units between points. Hillshade, cast shadows and the open sky in
// 16 directions are timed apart, best of three runs (one on grids above 4097 x 4097),
// wall time and the CPU time of all threads (which tells more on a busy machine).
//   bench_relief_shading [side ...] [--write PATH]
// With --write, the grid of the first side is also written to PATH as a GeoTIFF (Int32), so
// that gdaldem can shade the same heights.
#include <gdal.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchGrids.h"
#include "ParallelIndices.h"
#include "ReliefShade.h"

namespace {

constexpr double kSpacing = 30;

// A fractal of the next side 2^n + 1 at or above `side`, its first side x side points kept.
data FractalGrid(int side) {
  int full = 2;
  while (full + 1 < side) full *= 2;
  data whole = DiamondSquare(full + 1, kFractalSeed);
  for (int r = side; r <= full; ++r) delete[] whole.values[r];
  whole.rows = whole.cols = side;
  whole.grid_space = static_cast<int>(kSpacing);
  return whole;
}

bool WriteGeoTiff(const data& g, const char* path) {
  GDALAllRegister();
  GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), path, g.cols, g.rows, 1, GDT_Int32, nullptr);
  if (!ds) return false;
  double transform[6] = {0, kSpacing, 0, 0, 0, -kSpacing};
  GDALSetGeoTransform(ds, transform);
  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  bool ok = true;
  for (int r = 0; r < g.rows && ok; ++r)
    ok = GDALRasterIO(band, GF_Write, 0, r, g.cols, 1, g.values[r], g.cols, 1, GDT_Int32, 0, 0) == CE_None;
  GDALClose(ds);
  return ok;
}

struct Times {
  double wall_ms = 1e300, cpu_ms = 1e300;  // the best run's; CPU summed over the threads
};

template <class Run>
Times Best(int runs, Run run) {
  Times best;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpu = std::clock();
    run();
    const double cpu_ms = 1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
    const double wall_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (wall_ms < best.wall_ms) best = {wall_ms, cpu_ms};
  }
  return best;
}

void Time(int side, const char* write_path) {
  const data grid = FractalGrid(side);
  if (write_path) std::printf("%s %s\n", WriteGeoTiff(grid, write_path) ? "wrote" : "could not write", write_path);
  const relief::ReliefGrid g{&grid, kSpacing, kSpacing, 1, true};
  const double points = static_cast<double>(side) * side;
  std::vector<uint8_t> out(static_cast<size_t>(points));
  const int runs = side > 4097 ? 1 : 3;
  const relief::Sun sun;
  struct Part {
    const char* name;
    Times t;
  } parts[] = {
      {"Hillshade", Best(runs, [&] { relief::Hillshade(g, sun, out.data(), nullptr); })},
      {"CastShadows", Best(runs, [&] { relief::CastShadows(g, sun, out.data(), nullptr); })},
      {"SkyView(16)", Best(runs, [&] { relief::SkyView(g, 16, out.data(), nullptr); })},
  };
  std::printf("%d x %d, %d threads\n", side, side, mesh::BuildThreads(static_cast<long long>(points)));
  for (const Part& p : parts)
    std::printf("  %-12s %9.1f ms %7.1f ns/point   (CPU %9.1f ms)\n", p.name, p.t.wall_ms, p.t.wall_ms * 1e6 / points, p.t.cpu_ms);
  for (int r = 0; r < grid.rows; ++r) delete[] grid.values[r];
  delete[] grid.values;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sides;
  const char* write_path = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--write") == 0 && i + 1 < argc) {
      write_path = argv[++i];
    } else {
      sides.push_back(std::atoi(argv[i]));
    }
  }
  if (sides.empty()) sides = {3601};
  for (size_t i = 0; i < sides.size(); ++i) Time(sides[i], i == 0 ? write_path : nullptr);
}
