// What writing a mesh to a file costs next to building it: the 1201 x 1201 grid made at
// build time, quads at precision 10 (about two million triangles). Build times the drawn
// mesh's build, Export/format/base one write of that mesh into the build folder.
// Arguments of Export: format (0 OBJ, 1 STL, 2 PLY, 3 binary glTF), base. The glTF,
// without a drape, should take no longer than the STL of the same mesh.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "Brackenholmer.h"
#include "CurrentDrawScales.h"
#include "MeshBuild.h"
#include "MeshExport.h"

namespace {

mesh::Settings Settings() {
  mesh::Settings s;
  s.mode = 0;
  s.precision = 10;
  s.size = std::max(input.rows, input.cols);
  s.border_1 = Vertex{0, 0, 0};
  s.border_2 = Vertex{input.cols, 0, input.rows};
  return s;
}

void Build(benchmark::State& state) {
  for (auto _ : state) {
    IndexedMesh m = mesh::BuildIndexedMesh(input, Settings());
    benchmark::DoNotOptimize(m.indices.data());
    state.counters["triangles"] = static_cast<double>(m.indices.size() / 3);
  }
  state.SetLabel("grid " + std::to_string(input.rows) + " x " + std::to_string(input.cols));
}

void Export(benchmark::State& state) {
  const IndexedMesh m = mesh::BuildIndexedMesh(input, Settings());
  const char* endings[] = {".obj", ".stl", ".ply", ".glb"};
  const std::string path = std::string(GENERATED_DATA_DIR) + "/bench_export" + endings[state.range(0)];
  mesh_export::Options options;
  options.base = state.range(1) != 0;
  for (auto _ : state) {
    const Status saved = mesh_export::Write(m, input, normales, CurrentDrawScales(), path, options);
    state.PauseTiming();
    unlink(path.c_str());
    state.ResumeTiming();
    if (!saved.ok()) state.SkipWithError(saved.reason().c_str());
  }
  state.counters["triangles"] = static_cast<double>(m.indices.size() / 3);
}

BENCHMARK(Build)->Unit(benchmark::kMillisecond);
BENCHMARK(Export)->ArgNames({"format", "base"})->Args({0, 0})->Args({1, 0})->Args({2, 0})->Args({3, 0})
    ->Args({1, 1})->Args({2, 1})->Args({3, 1})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  TerrainLoader loader;
  const std::string path = std::string(GENERATED_DATA_DIR) + "/jacksboro_resampled_1201x1201.asc";
  if (!loader.LoadArcASCIIFile(path.c_str())) {
    printf("%s\n", loader.msg);
    return 1;
  }
  MeshWholeGrid();
  Viewer.CalcNormales();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
