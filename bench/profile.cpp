// A profile across the whole width of a 3601 x 3601 grid made in memory, oblique so that it
// crosses column and row lines both (6001 samples): on a projected grid (map metres) and
// on a grid in degrees (a geodesic a step). The target is under 20 ms a profile.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "Profile.h"

namespace {

constexpr int kSide = 3601;

// Rolling hills, whole metres; built once and shared.
const data& Hills() {
  static std::vector<int> cells(static_cast<size_t>(kSide) * kSide);
  static std::vector<int*> rows(kSide);
  static data grid{};
  if (grid.values == nullptr) {
    for (int r = 0; r < kSide; ++r) {
      rows[r] = cells.data() + static_cast<size_t>(r) * kSide;
      for (int c = 0; c < kSide; ++c) rows[r][c] = static_cast<int>(800 + 300 * std::sin(c * 0.01) * std::cos(r * 0.013));
    }
    grid.rows = grid.cols = kSide;
    grid.grid_space = 30;
    grid.units_per_metre = 1;
    grid.values = rows.data();
  }
  return grid;
}

void Run(benchmark::State& state, const GridPlace& place) {
  data grid = Hills();
  grid.place = place;
  // Every column (3599 lines crossed) and 2400 rows, never at a grid point: 6001 samples.
  const std::vector<GridPosition> path{{0.25, 600.5}, {3600, 3000.5}};
  size_t samples = 0;
  for (auto _ : state) {
    const Profile profile = MakeProfile(grid, path);
    samples = profile.samples.size();
    benchmark::DoNotOptimize(profile.ground_length);
  }
  state.counters["samples"] = static_cast<double>(samples);
}

void BM_ProfileProjected(benchmark::State& state) { Run(state, GridPlace{true, false, 500000, 4000000, 30, 30}); }
// One arc second cells in the Alps.
void BM_ProfileGeographic(benchmark::State& state) {
  Run(state, GridPlace{true, true, 7, 45, 1.0 / 3600, 1.0 / 3600});
}

BENCHMARK(BM_ProfileProjected)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_ProfileGeographic)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
