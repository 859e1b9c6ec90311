// Quad subdivision under a strict bound, on the 1025 x 1025 fractal (BenchGrids.h) and
// the 1201 x 1201 grid resampled at build time: the time to make the error hierarchy, the
// time of a build from it (into the drawn mesh, a triangle list, or only counted), and, printed
// before the timings, the triangle count and true error at each bound beside the plain
// adaptive quad mesher (precision 100) at the largest bound whose true error is no worse.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "TriangleList.h"
#include "Brackenholmer.h"
#include "BenchGrids.h"
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "MeshList.h"
#include "QuadErrorHierarchy.h"

namespace {

data real_grid{};
data fractal_grid{};
const int kBounds[] = {1, 5, 10, 20, 50};

mesh::Settings Quads(const data& grid, int bound, bool strict) {
  input = grid;
  MeshWholeGrid();
  mesh::Settings s = mesh::CurrentSettings();
  s.mode = 0;
  s.adaptive = true;
  s.strict = strict;
  s.precision = 100;
  s.bound = bound;
  return s;
}

void MakeHierarchy(benchmark::State& state, const data& grid) {
  Quads(grid, 0, true);
  for (auto _ : state) {
    const mesh::QuadErrorHierarchy h(input, [] {});
    benchmark::DoNotOptimize(h.Largest());
  }
}
void HierarchyFractal(benchmark::State& state) { MakeHierarchy(state, fractal_grid); }
void HierarchyReal(benchmark::State& state) { MakeHierarchy(state, real_grid); }
BENCHMARK(HierarchyFractal)->Unit(benchmark::kMillisecond);
BENCHMARK(HierarchyReal)->Unit(benchmark::kMillisecond);

// The hierarchy is made before the timing; builds at any bound reuse it. Into the drawn
// mesh, a triangle list, or only counted: the mesher's own part.
enum class Into { kDrawn, kList, kCount };
void Build(benchmark::State& state, const data& grid, Into into) {
  const mesh::Settings s = Quads(grid, static_cast<int>(state.range(0)), true);
  mesh::QuadErrorHierarchy::Of(input, [] {});
  long long triangles = 0;
  for (auto _ : state) {
    if (into == Into::kDrawn) {
      IndexedMeshBuilder builder(input);
      mesh::BuildQuadMesh(input, s, builder);
      triangles = builder.Finish().triangle_count;
    } else if (into == Into::kCount) {
      mesh::CountingBuilder counter;
      mesh::BuildStrictQuadMesh(input, s, counter);
      triangles = counter.Count();
    } else {
      mesh::TriangleListBuilder list;
      mesh::BuildQuadMesh(input, s, list.Sink());
      triangles = list.Count();
      TriangleList* head = list.Head();
      mesh::ReleaseTriangleList(head);
    }
  }
  state.counters["triangles"] = static_cast<double>(triangles);
}
void DrawnFractal(benchmark::State& state) { Build(state, fractal_grid, Into::kDrawn); }
void DrawnReal(benchmark::State& state) { Build(state, real_grid, Into::kDrawn); }
void ListFractal(benchmark::State& state) { Build(state, fractal_grid, Into::kList); }
void CountedFractal(benchmark::State& state) { Build(state, fractal_grid, Into::kCount); }
void CountedReal(benchmark::State& state) { Build(state, real_grid, Into::kCount); }
BENCHMARK(DrawnFractal)->Arg(1)->Arg(5)->Arg(10)->Arg(20)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawnReal)->Arg(1)->Arg(5)->Arg(10)->Arg(20)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(ListFractal)->Arg(1)->Arg(5)->Arg(10)->Arg(20)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(CountedFractal)->Arg(1)->Arg(5)->Arg(10)->Arg(20)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(CountedReal)->Arg(1)->Arg(5)->Arg(10)->Arg(20)->Arg(50)->Unit(benchmark::kMillisecond);

void Compare(const char* name, const data& grid) {
  printf("%s\n%6s %10s %8s | %11s %10s %8s\n", name, "bound", "triangles", "true max", "plain bound",
         "triangles", "true max");
  for (int bound : kBounds) {
    const IndexedMesh strict = mesh::BuildIndexedMesh(input, Quads(grid, bound, true));
    // The plain mesher's true error falls with its bound, though not in every step.
    int plain_bound = bound;
    IndexedMesh plain;
    for (; plain_bound >= 0; --plain_bound) {
      plain = mesh::BuildIndexedMesh(input, Quads(grid, plain_bound, false));
      if (plain.true_error.max <= strict.true_error.max) break;
    }
    printf("%6d %10lld %8.1f | ", bound, strict.triangle_count, strict.true_error.max);
    if (plain_bound >= 0)
      printf("%11d %10lld %8.1f\n", plain_bound, plain.triangle_count, plain.true_error.max);
    else
      printf("%11s %10lld %8.1f (at bound 0)\n", "none", plain.triangle_count, plain.true_error.max);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!LoadBenchGrids(real_grid, fractal_grid)) return 1;
  Compare("fractal 1025 x 1025", fractal_grid);
  Compare("resampled 1201 x 1201", real_grid);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
