// Mesh build times and peak memory for both meshers.
//
// Grids: the 1201 x 1201 Jacksboro grid resampled at build time (tests/tools), and the
// 1025 x 1025 diamond-square fractal of BenchGrids.h.
//
// Per benchmark: time per triangle, and the peak resident memory above what the process
// held before the benchmark (VmHWM, reset through /proc/self/clear_refs) per triangle.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "TriangleList.h"
#include "Brackenholmer.h"
#include "BenchGrids.h"
#include "MeshBuild.h"

namespace {

data real_grid{};
data fractal_grid{};

long StatusKb(const char* key) {
  FILE* f = fopen("/proc/self/status", "r");
  if (f == nullptr) return 0;
  char line[256];
  long kb = 0;
  const size_t n = strlen(key);
  while (fgets(line, sizeof(line), f) != nullptr)
    if (strncmp(line, key, n) == 0) kb = atol(line + n + 1);
  fclose(f);
  return kb;
}

void ResetPeak() {
  if (FILE* f = fopen("/proc/self/clear_refs", "w")) {
    fputs("5", f);
    fclose(f);
  }
}

// Leaves the viewer without a mesh (a border rectangle that admits no quad).
void DropMesh() {
  const Vertex b1 = terrain_border_1, b2 = terrain_border_2;
  terrain_border_1 = Vertex{1, 0, 1};
  terrain_border_2 = Vertex{0, 0, 0};
  Viewer.CreateQSDTriangles();
  terrain_border_1 = b1;
  terrain_border_2 = b2;
  malloc_trim(0);
}

void Use(const data& grid) {
  input = grid;
  terrain_size = grid.rows > grid.cols ? grid.rows : grid.cols;
  terrain_border_1 = Vertex{0, 0, 0};
  terrain_border_2 = Vertex{grid.cols, 0, grid.rows};
}

// The list's build, or the drawn mesh's (vertex records, indices, crack fills).
void Run(benchmark::State& state, const data& grid, int mode, int simplification, int precision,
         int error, bool drawn = false) {
  if (grid.values == nullptr) {
    state.SkipWithError("grid not loaded");
    return;
  }
  Use(grid);
  mesh_mode = mode;
  mesh_simplification = simplification;
  max_precision = precision;
  max_approx_error = error;
  DropMesh();
  const long base_kb = StatusKb("VmRSS:");
  ResetPeak();
  for (auto _ : state) {
    if (drawn) {
      const IndexedMesh m = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
      triangle_count = static_cast<int>(m.triangle_count);
      state.counters["crack_fills"] = static_cast<double>(m.crack_fills);
    } else if (mode == 0) {
      Viewer.CreateQSDTriangles();
    } else {
      Viewer.CreateTSDTriangles();
    }
    benchmark::DoNotOptimize(Viewer.TriangleHead());
  }
  const double peak_bytes = (StatusKb("VmHWM:") - base_kb) * 1024.0;
  const double triangles = triangle_count;
  state.counters["triangles"] = triangles;
  state.counters["time_per_tri"] =
      benchmark::Counter(triangles * state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["peak_MB"] = peak_bytes / (1024.0 * 1024.0);
  state.counters["peak_B_per_tri"] = peak_bytes / triangles;
  DropMesh();
}

void UniformQuads(benchmark::State& state) {
  Run(state, real_grid, 0, 0, static_cast<int>(state.range(0)), 10);
}
BENCHMARK(UniformQuads)->Arg(6)->Arg(10)->Unit(benchmark::kMillisecond);

void AdaptiveQuadsReal(benchmark::State& state) {
  Run(state, real_grid, 0, 1, 100, static_cast<int>(state.range(0)));
}
void AdaptiveQuadsFractal(benchmark::State& state) {
  Run(state, fractal_grid, 0, 1, 100, static_cast<int>(state.range(0)));
}
void AdaptiveTrianglesReal(benchmark::State& state) {
  Run(state, real_grid, 1, 1, 100, static_cast<int>(state.range(0)));
}
void AdaptiveTrianglesFractal(benchmark::State& state) {
  Run(state, fractal_grid, 1, 1, 100, static_cast<int>(state.range(0)));
}
BENCHMARK(AdaptiveQuadsReal)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(AdaptiveQuadsFractal)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(AdaptiveTrianglesReal)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(AdaptiveTrianglesFractal)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);

// The drawn mesh of uniform bisection on the 1201-point grid, whose rounded split points
// leave cracks to fill; 22 passes are the triangle budget's 8,388,608.
void DrawnUniformTriangles(benchmark::State& state) {
  Run(state, real_grid, 1, 0, static_cast<int>(state.range(0)), 10, true);
}
BENCHMARK(DrawnUniformTriangles)->Arg(16)->Arg(22)->Unit(benchmark::kMillisecond);

// Error 1 on the real grid (the adaptive triangle case missing above): the steep single steps keep failing, and the mesh stops at
// the triangle budget instead of growing toward hundreds of millions of triangles.
void BudgetedWorstCase(benchmark::State& state) { Run(state, real_grid, 1, 1, 100, 1); }
BENCHMARK(BudgetedWorstCase)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The meshers that judge each element at one place; the strict ones have benchmarks of
  // their own.
  strict_error = 0;
  const std::string path = std::string(GENERATED_DATA_DIR) + "/jacksboro_resampled_1201x1201.asc";
  TerrainLoader loader;
  if (loader.LoadArcASCIIFile(path.c_str())) real_grid = input;
  printf("%s\n", loader.msg);
  fractal_grid = DiamondSquare(kFractalSide, kFractalSeed);
  printf("fractal grid: diamond-square %d x %d, std::mt19937 seed %u, roughness %.1f, heights %d..%d\n",
         kFractalSide, kFractalSide, kFractalSeed, kRoughness, [] {
           int lo = fractal_grid.values[0][0];
           for (int r = 0; r < kFractalSide; ++r)
             for (int c = 0; c < kFractalSide; ++c) lo = std::min(lo, fractal_grid.values[r][c]);
           return lo;
         }(), [] {
           int hi = fractal_grid.values[0][0];
           for (int r = 0; r < kFractalSide; ++r)
             for (int c = 0; c < kFractalSide; ++c) hi = std::max(hi, fractal_grid.values[r][c]);
           return hi;
         }());
  printf("triangle budget %lld\n", mesh_triangle_budget);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
