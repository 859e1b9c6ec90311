// Triangle bisection under a strict bound: the error hierarchy's time, the build's time
// at each bound (into the drawn mesh, and the bare walk), the triangle count and the true
// error; then a table against the classic midpoint-error bisection ("RTIN"): each grid
// point split at keeps |h(m) - (h(p) + h(q)) / 2| of the hypotenuse p-q, raised to its
// children's, and a triangle splits while that exceeds the bound. For each strict mesh
// the table gives the largest bound at which the classic mesher's true error is no worse,
// and the triangles it needs there.
//
// Grids: the 1201 x 1201 Jacksboro grid resampled at build time (tests/tools) and the
// 1025 x 1025 fractal of BenchGrids.h.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "BenchGrids.h"
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "TriangleErrorHierarchy.h"
#include "TrueError.h"

namespace {

using mesh::Placement;
using mesh::TreePoint;
using mesh::TreeTriangle;
using mesh::TriangleErrorHierarchy;

data real_grid{};
data fractal_grid{};
const int kBounds[] = {1, 5, 10, 20, 50};

mesh::Settings StrictSettings(const data& grid, int bound) {
  mesh::Settings s;
  s.mode = 1;
  s.precision = 6;
  s.bound = bound;
  s.adaptive = true;
  s.strict = true;
  s.size = std::max(grid.rows, grid.cols);
  return s;
}

IndexedMesh BuildStrict(const data& grid, int bound) {
  IndexedMeshBuilder builder(grid);
  const int level = mesh::BuildStrictTriangleMesh(grid, StrictSettings(grid, bound), builder);
  IndexedMesh m = builder.Finish();
  m.level = level;
  return m;
}

double TrueMax(const data& grid, const IndexedMesh& m) {
  return mesh::MeasureTrueError(grid, m, mesh::GridArea{0, 0, grid.cols - 1, grid.rows - 1}).max;
}

void Hierarchy(benchmark::State& state, const data* grid) {
  for (auto _ : state) {
    TriangleErrorHierarchy h(grid->rows, grid->cols, grid->values, [] {});
    benchmark::DoNotOptimize(h.Largest());
  }
}

void Build(benchmark::State& state, const data* grid) {
  const int bound = static_cast<int>(state.range(0));
  BuildStrict(*grid, bound);  // the hierarchy, cached for the timed builds
  long long triangles = 0;
  for (auto _ : state) triangles = BuildStrict(*grid, bound).triangle_count;
  state.counters["triangles"] = static_cast<double>(triangles);
  state.counters["true_max"] = TrueMax(*grid, BuildStrict(*grid, bound));
}

void Walk(benchmark::State& state, const data* grid) {
  input = *grid;
  const auto h = mesh::TriangleErrorHierarchyOfGrid(input, [] {});
  long long triangles = 0;
  for (auto _ : state) {
    triangles = 0;
    h->Walk(
        state.range(0), [&](const TreeTriangle&) { ++triangles; }, [] { return false; }, [] {});
  }
  state.counters["triangles"] = static_cast<double>(triangles);
}

#define STRICT_BENCH(kind, grid)                                                                  \
  BENCHMARK_CAPTURE(kind, grid, &grid##_grid)->Unit(benchmark::kMillisecond)->Apply([](auto* b) { \
    if (std::string(#kind) != "Hierarchy")                                                        \
      for (int bound : kBounds) b->Arg(bound);                                                    \
  })
STRICT_BENCH(Hierarchy, fractal);
STRICT_BENCH(Hierarchy, real);
STRICT_BENCH(Build, fractal);
STRICT_BENCH(Build, real);
STRICT_BENCH(Walk, fractal);
STRICT_BENCH(Walk, real);

// The classic midpoint errors: per grid point split at, the largest |2 h(m) - h(p) - h(q)|
// / 2 of the triangles split there (rounded up), raised to the values of their children.
// Triangles across the grid's edge split as in the strict mesher.
std::vector<uint32_t> MidpointErrors(const data& g, int side) {
  const int last_x = g.cols - 1, last_z = g.rows - 1;
  std::vector<uint32_t> v(static_cast<size_t>(g.rows) * g.cols, 0);
  auto at = [&](const TreePoint& p) -> uint32_t& { return v[static_cast<size_t>(p.z) * g.cols + p.x]; };
  auto height = [&](const TreePoint& p) { return static_cast<long long>(g.values[p.z][p.x]); };
  auto fold = [&](const TreePoint& a, const TreePoint& b, const TreePoint& c, const TreePoint& p,
                  const TreePoint& q, const TreePoint& m, const TreePoint* kids, int n) {
    const Placement placement = mesh::PlacementOf(TreeTriangle{a, b, c, 1}, last_x, last_z);
    if (placement == Placement::kOutside || m.x > last_x || m.z > last_z) return;
    uint32_t& e = at(m);
    if (placement == Placement::kStraddling) {
      e = TriangleErrorHierarchy::kMustSplit;
      return;
    }
    e = std::max(e, static_cast<uint32_t>((std::llabs(2 * height(m) - height(p) - height(q)) + 1) / 2));
    for (int i = 0; i < n; ++i) e = std::max(e, at(kids[i]));
  };
  for (int s = 2; s <= side; s *= 2) {
    const int h = s / 2, q = s / 4, n = q > 0 ? 2 : 0;
    for (int pass = 0; pass < 2; ++pass)
      for (int z0 = 0; z0 < last_z; z0 += s)
        for (int x0 = 0; x0 < last_x; x0 += s) {
          const TreePoint p00{x0, z0}, p10{x0 + s, z0}, p11{x0 + s, z0 + s}, p01{x0, z0 + s}, c{x0 + h, z0 + h};
          const TreePoint top{x0 + h, z0}, right{x0 + s, z0 + h}, bottom{x0 + h, z0 + s}, left{x0, z0 + h};
          if (pass == 0) {  // hypotenuses on the square's sides
            const TreePoint a{x0 + q, z0 + q}, b{x0 + s - q, z0 + q}, d{x0 + s - q, z0 + s - q},
                e{x0 + q, z0 + s - q};
            const TreePoint kt[2] = {a, b}, kr[2] = {b, d}, kb[2] = {d, e}, kl[2] = {e, a};
            fold(p00, p10, c, p00, p10, top, kt, n);
            fold(p10, p11, c, p10, p11, right, kr, n);
            fold(p11, p01, c, p11, p01, bottom, kb, n);
            fold(p01, p00, c, p01, p00, left, kl, n);
          } else if (((x0 / s + z0 / s) & 1) == 0) {  // on its diagonal
            const TreePoint ku[2] = {top, right}, kl[2] = {bottom, left};
            fold(p00, p10, p11, p00, p11, c, ku, 2);
            fold(p00, p11, p01, p00, p11, c, kl, 2);
          } else {
            const TreePoint ku[2] = {top, left}, kl[2] = {right, bottom};
            fold(p00, p10, p01, p10, p01, c, ku, 2);
            fold(p10, p11, p01, p10, p01, c, kl, 2);
          }
        }
  }
  return v;
}

IndexedMesh BuildClassic(const data& g, int side, const std::vector<uint32_t>& errors, int bound) {
  IndexedMeshBuilder builder(g);
  mesh::WalkBisection(
      side, g.cols - 1, g.rows - 1,
      [&](const TreePoint& m) { return errors[static_cast<size_t>(m.z) * g.cols + m.x]; }, bound,
      [&](const TreeTriangle& t) { builder.Append(mesh::GridTriangle(t, g.values)); }, [] { return false; },
      [] {});
  return builder.Finish();
}

void CompareWithClassic(const char* name, const data& g) {
  input = g;
  const TriangleErrorHierarchy strict(g.rows, g.cols, g.values, [] {});
  const std::vector<uint32_t> classic = MidpointErrors(g, strict.Side());
  printf("\n%s: strict bisection against classic midpoint-error bisection\n", name);
  printf(
      "| bound | strict triangles | strict true max | classic at same bound: triangles, true max | "
      "classic bound with true max <= strict's | its triangles |\n|---|---|---|---|---|---|\n");
  for (int bound : kBounds) {
    const IndexedMesh m = BuildStrict(g, bound);
    const double max = TrueMax(g, m);
    const IndexedMesh same = BuildClassic(g, strict.Side(), classic, bound);
    int b = bound;
    IndexedMesh match = BuildClassic(g, strict.Side(), classic, b);
    while (b > 0 && TrueMax(g, match) > max) match = BuildClassic(g, strict.Side(), classic, --b);
    printf("| %d | %lld | %.1f | %lld, %.1f | %d (true max %.1f) | %lld |\n", bound, m.triangle_count, max,
           same.triangle_count, TrueMax(g, same), b, TrueMax(g, match), match.triangle_count);
  }
  fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (!LoadBenchGrids(real_grid, fractal_grid)) return 1;
  // The table follows a full run only, so that a filtered run times what it names.
  bool table = true;
  for (int i = 1; i < argc; ++i) table = table && std::string(argv[i]).rfind("--benchmark_filter", 0) != 0;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (table) {
    CompareWithClassic("fractal 1025 x 1025", fractal_grid);
    CompareWithClassic("Jacksboro resampled 1201 x 1201", real_grid);
  }
  return 0;
}
