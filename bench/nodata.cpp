// What NODATA holes cost on the 1201 x 1201 Jacksboro grid with a lake of 400 x 400
// NODATA cells in its middle: the normal table made with holes, a tick and an untick of
// "Show NODATA" (the normals beside the lake refilled twice), and the drawn mesh built
// with the lake as a hole or shown.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "Brackenholmer.h"
#include "MeshBuild.h"
#include "TerrainLoader.h"

namespace {

const char* kGrid = GENERATED_DATA_DIR "/jacksboro_resampled_1201x1201.asc";

bool LoadLakeOnce() {
  static bool loaded = [] {
    TerrainLoader loader;
    if (!loader.LoadArcASCIIFile(kGrid)) {
      std::fprintf(stderr, "%s\n", loader.msg);
      return false;
    }
    input.has_nodata = true;
    input.nodata = -9999;
    for (int r = 400; r < 800; ++r)
      for (int c = 400; c < 800; ++c) input.values[r][c] = -9999;
    terrain_size = input.rows;
    terrain_border_2 = Vertex{input.cols, 0, input.rows};
    return true;
  }();
  return loaded;
}

void BM_NormalsWithHoles(benchmark::State& state) {
  if (!LoadLakeOnce()) return state.SkipWithError("grid not loaded");
  show_nodata = 0;
  for (auto _ : state) {
    Viewer.CalcNormales();
    benchmark::DoNotOptimize(normales[600][399]);
  }
}
BENCHMARK(BM_NormalsWithHoles)->Unit(benchmark::kMillisecond);

void BM_ShowNoDataTickAndUntick(benchmark::State& state) {
  if (!LoadLakeOnce()) return state.SkipWithError("grid not loaded");
  show_nodata = 0;
  Viewer.CalcNormales();
  for (auto _ : state) {
    Viewer.MatchNormalsToNoData(true);
    Viewer.MatchNormalsToNoData(false);
    benchmark::DoNotOptimize(normales[600][399]);
  }
}
BENCHMARK(BM_ShowNoDataTickAndUntick)->Unit(benchmark::kMillisecond);

// Uniform quads at the given precision; the second argument shows the lake.
void BM_DrawnMesh(benchmark::State& state) {
  if (!LoadLakeOnce()) return state.SkipWithError("grid not loaded");
  mesh::Settings s = mesh::CurrentSettings();
  s.precision = static_cast<int>(state.range(0));
  s.show_nodata = state.range(1) != 0;
  long long drawn = 0;
  for (auto _ : state) {
    const IndexedMesh m = mesh::BuildIndexedMesh(input, s);
    drawn = static_cast<long long>(m.indices.size() / 3);
    benchmark::DoNotOptimize(m.indices.data());
  }
  state.counters["drawn"] = static_cast<double>(drawn);
}
BENCHMARK(BM_DrawnMesh)->Args({10, 1})->Args({10, 0})->Args({11, 1})->Args({11, 0})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
