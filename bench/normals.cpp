// Time and memory of the normal table on the 1201 x 1201 Jacksboro grid.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "Brackenholmer.h"
#include "TerrainLoader.h"

namespace {

const char* kGrid = GENERATED_DATA_DIR "/jacksboro_resampled_1201x1201.asc";

bool LoadOnce() {
  static bool loaded = [] {
    TerrainLoader loader;
    const bool ok = loader.LoadArcASCIIFile(kGrid);
    if (!ok) std::fprintf(stderr, "%s\n", loader.msg);
    return ok;
  }();
  return loaded;
}

long PeakRssKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void BM_CalcNormales(benchmark::State& state) {
  if (!LoadOnce()) {
    state.SkipWithError("grid not loaded");
    return;
  }
  // The first build measures what the table takes from the allocator.
  Viewer.CalcNormales();
  const size_t before = mallinfo2().uordblks;
  for (int r = 0; r < input.rows; ++r) delete[] normales[r];
  delete[] normales;
  normales = nullptr;
  const size_t freed = mallinfo2().uordblks;
  const double table_bytes = static_cast<double>(before - freed);

  for (auto _ : state) {
    Viewer.CalcNormales();  // releases the previous table first
    benchmark::DoNotOptimize(normales[input.rows / 2][input.cols / 2]);
  }
  const double points = static_cast<double>(input.rows) * input.cols;
  state.counters["points"] = points;
  // Seconds per point, shown with an SI prefix (n = nanoseconds).
  state.counters["time_per_point"] = benchmark::Counter(
      points, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["table_MB"] = table_bytes / 1e6;
  state.counters["bytes_per_point"] = table_bytes / points;
  state.counters["peak_rss_MB"] = PeakRssKiB() / 1024.0;
}
BENCHMARK(BM_CalcNormales)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
