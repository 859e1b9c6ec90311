// The benchmarks' grids: the 1201 x 1201 Jacksboro grid resampled at build time, and a
// made-up terrain, a diamond-square fractal, std::mt19937 seeded 4242, displacement up to
// 600 height units at the top level, times 0.6 at every finer level, heights around 1000.
#pragma once

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "TerrainLoader.h"

constexpr unsigned kFractalSeed = 4242;
constexpr int kFractalSide = 1025;
constexpr double kRoughness = 0.6;  // displacement kept per level (Hurst exponent ~0.74)

// Diamond-square passes over at(r, c) on a side x side grid, from squares of `first_step`
// down to single steps: each point takes the mean of its neighbours plus uniform() times an
// amplitude that shrinks by kRoughness a level.
template <class T, class At, class Uniform>
void DiamondSquareSteps(int side, int first_step, T amplitude, At at, Uniform uniform) {
  for (int step = first_step; step > 1; step /= 2, amplitude *= static_cast<T>(kRoughness)) {
    const int half = step / 2;
    for (int r = half; r < side; r += step)  // diamond: centres of squares
      for (int c = half; c < side; c += step)
        at(r, c) = (at(r - half, c - half) + at(r - half, c + half) + at(r + half, c - half) +
                    at(r + half, c + half)) / 4 + uniform() * amplitude;
    for (int r = 0; r < side; r += half)  // square: edge midpoints
      for (int c = (r / half % 2 == 0) ? half : 0; c < side; c += step) {
        T sum = 0;
        int n = 0;
        if (r >= half) sum += at(r - half, c), ++n;
        if (r + half < side) sum += at(r + half, c), ++n;
        if (c >= half) sum += at(r, c - half), ++n;
        if (c + half < side) sum += at(r, c + half), ++n;
        at(r, c) = sum / n + uniform() * amplitude;
      }
  }
}

inline data DiamondSquare(int side, unsigned seed) {
  std::mt19937 engine(seed);
  auto uniform = [&] { return static_cast<double>(engine()) / 4294967296.0 * 2.0 - 1.0; };
  std::vector<double> h(static_cast<size_t>(side) * side, 0.0);
  auto at = [&](int r, int c) -> double& { return h[static_cast<size_t>(r) * side + c]; };
  const int last = side - 1;
  double amplitude = 600.0;
  at(0, 0) = uniform() * amplitude;
  at(0, last) = uniform() * amplitude;
  at(last, 0) = uniform() * amplitude;
  at(last, last) = uniform() * amplitude;
  DiamondSquareSteps(side, last, amplitude, at, uniform);
  data grid{};
  grid.rows = grid.cols = side;
  grid.grid_space = 90;
  grid.values = new int*[side];
  for (int r = 0; r < side; ++r) {
    grid.values[r] = new int[side];
    for (int c = 0; c < side; ++c) grid.values[r][c] = 1000 + static_cast<int>(at(r, c));
  }
  return grid;
}

// Loads the resampled grid into `real` and makes the 1025 x 1025 fractal; false, with the
// loader's reason printed, when the grid cannot be read.
inline bool LoadBenchGrids(data& real, data& fractal) {
  const std::string path = std::string(GENERATED_DATA_DIR) + "/jacksboro_resampled_1201x1201.asc";
  TerrainLoader loader;
  if (!loader.LoadArcASCIIFile(path.c_str())) {
    printf("%s\n", loader.msg);
    return false;
  }
  real = input;
  fractal = DiamondSquare(kFractalSide, kFractalSeed);
  return true;
}
