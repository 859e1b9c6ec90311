// What measuring a mesh's true error costs next to building the mesh, and the figures it
// gives, for both meshers on the bundled sample and the 1201 x 1201 grid made at build time.
//
// Each case runs twice: Build/... times the mesh build alone (the drawn mesh's builder),
// TrueError/... times the measurement of that mesh and reports it: max_err, rms and the
// uncovered points. Arguments: grid (0 sample, 1 the 1201 grid), mesher (0 quads,
// 1 triangles), adaptive, precision, error bound.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "Brackenholmer.h"
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "TrueError.h"

namespace {

data grids[2]{};

mesh::Settings SettingsOf(const benchmark::State& state) {
  input = grids[state.range(0)];
  mesh::Settings s;
  s.mode = static_cast<int>(state.range(1));
  s.adaptive = state.range(2) != 0;
  s.precision = static_cast<int>(state.range(3));
  s.bound = static_cast<int>(state.range(4));
  s.size = std::max(input.rows, input.cols);
  s.border_1 = Vertex{0, 0, 0};
  s.border_2 = Vertex{input.cols, 0, input.rows};
  return s;
}

IndexedMesh Build(const mesh::Settings& s) {
  IndexedMeshBuilder builder(input);
  const int level = mesh::BuildMesh(input, s, builder);
  IndexedMesh m = builder.Finish();
  m.level = level;
  return m;
}

bool Loaded(benchmark::State& state) {
  if (grids[state.range(0)].values != nullptr) return true;
  state.SkipWithError("grid not loaded");
  return false;
}

void BuildOnly(benchmark::State& state) {
  if (!Loaded(state)) return;
  const mesh::Settings s = SettingsOf(state);
  long long triangles = 0;
  for (auto _ : state) {
    IndexedMesh m = Build(s);
    triangles = m.triangle_count;
    benchmark::DoNotOptimize(m.indices.data());
  }
  state.counters["triangles"] = static_cast<double>(triangles);
}

void TrueError(benchmark::State& state) {
  if (!Loaded(state)) return;
  const mesh::Settings s = SettingsOf(state);
  const IndexedMesh m = Build(s);
  const mesh::GridArea area = mesh::MeshedArea(input, s);
  mesh::TrueError e;
  for (auto _ : state) {
    e = mesh::MeasureTrueError(input, m, area);
    benchmark::DoNotOptimize(e);
  }
  state.counters["triangles"] = static_cast<double>(m.triangle_count);
  state.counters["drawn"] = static_cast<double>(m.indices.size() / 3);
  state.counters["max_err"] = e.max;
  state.counters["rms"] = e.rms;
  state.counters["uncovered"] = static_cast<double>(e.uncovered);
}

// Uniform precision 10 (triangles also at 20, the same triangle count as quads at 10),
// and the adaptive meshes at bounds 1, 10 and 50, on both grids.
void Cases(benchmark::internal::Benchmark* b) {
  b->ArgNames({"grid", "mesher", "adaptive", "precision", "bound"});
  b->Args({1, 0, 0, 10, 10})->Args({1, 1, 0, 10, 10})->Args({1, 1, 0, 20, 10});
  for (int grid : {0, 1})
    for (int mesher : {0, 1})
      for (int bound : {1, 10, 50}) b->Args({grid, mesher, 1, 100, bound});
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BuildOnly)->Apply(Cases);
BENCHMARK(TrueError)->Apply(Cases);

}  // namespace

int main(int argc, char** argv) {
  const std::string paths[2] = {std::string(REPO_DATA_DIR) + "/jacksboro_403x344.asc",
                                std::string(GENERATED_DATA_DIR) + "/jacksboro_resampled_1201x1201.asc"};
  for (int i = 0; i < 2; ++i) {
    TerrainLoader loader;
    if (loader.LoadArcASCIIFile(paths[i].c_str())) grids[i] = input;
    printf("%s\n", loader.msg);
  }
  // The meshers that judge each element at one place: the strict ones have their own
  // benchmarks, and their true error is the bound.
  strict_error = 0;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
