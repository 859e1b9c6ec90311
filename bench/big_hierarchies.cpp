// The two strict error hierarchies on big grids: the diamond-square fractal of BenchGrids.h
// (heights in metres around 1000) made in memory at each side given on the command line
// (2^k + 1; default 4097 and 8193; -tN sets the threads) and cropped to an awkward size,
// each hierarchy timed once, with a checksum of all its values so that runs of other code
// can be compared value for value.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "BenchGrids.h"
#include "QuadErrorHierarchy.h"
#include "TriangleErrorHierarchy.h"

namespace {

struct Checksum {
  unsigned long long h = 1469598103934665603ULL;  // FNV-1a over 64-bit words
  void Add(unsigned long long v) { h = (h ^ v) * 1099511628211ULL; }
};

// Wall and processor seconds since a start: on a shared machine the second tells the work done.
struct Stopwatch {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  std::clock_t cpu = std::clock();
  void Print() const {
    printf("%.2f s (cpu %.2f s)", std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count(),
           static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC);
  }
};

int threads = 0;  // -tN on the command line; 0 lets the hierarchies choose

void Time(const data& grid) {
  {
    const Stopwatch watch;
    const mesh::TriangleErrorHierarchy t(grid.rows, grid.cols, grid.values, [] {}, threads);
    printf("%d x %d triangle hierarchy: ", grid.rows, grid.cols);
    watch.Print();
    Checksum sum;
    for (int z = 0; z < grid.rows; ++z)
      for (int x = 0; x < grid.cols; ++x) sum.Add(t.ValueAt({x, z}));
    for (long long bound : {-1LL, 0LL, 1LL, 5LL, 50LL, 1LL << 20}) sum.Add(t.CountFromHistogram(bound));
    printf(", largest %u, checksum %016llx\n", t.Largest(), sum.h);
    fflush(stdout);
  }
  {
    const Stopwatch watch;
    const mesh::QuadErrorHierarchy q(grid, [] {}, threads);
    printf("%d x %d quad hierarchy: ", grid.rows, grid.cols);
    watch.Print();
    Checksum sum;
    for (int level = 0; level < q.Depth(); ++level)
      for (int j = 0; j < q.Down(level); ++j)
        for (int i = 0; i < q.Across(level); ++i) sum.Add(static_cast<unsigned long long>(q.Error(level, i, j)));
    printf(", largest %lld, checksum %016llx\n", static_cast<long long>(q.Largest()), sum.h);
    fflush(stdout);
  }
}

void Run(int side) {
  data grid = DiamondSquare(side, kFractalSeed);
  Time(grid);
  // Cropped to sizes that are no power of two plus one, where squares straddle the edges.
  data cropped = grid;
  cropped.rows = side - side / 3;
  cropped.cols = side - side / 5;
  Time(cropped);
  for (int r = 0; r < grid.rows; ++r) delete[] grid.values[r];
  delete[] grid.values;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sides;
  for (int i = 1; i < argc; ++i)
    if (argv[i][0] == '-' && argv[i][1] == 't')
      threads = std::atoi(argv[i] + 2);
    else
      sides.push_back(std::atoi(argv[i]));
  if (sides.empty()) sides = {4097, 8193};
  for (int side : sides) Run(side);
  return 0;
}
