// The elevation profile along a path of grid positions: the grid's heights, bilinear
// between its points, sampled where the path crosses a grid line (so at least once in
// every cell it passes) and at its corners; with its lengths, climb and descent, and its
// highest and lowest points.
#pragma once

#include <span>
#include <vector>

#include "GridPosition.h"
#include "TerrainLoader.h"

struct ProfileSample {
  double distance = 0;         // metres along the ground from the start, heights left out
  double ground_distance = 0;  // metres along the surface from the start
  GridPosition at;
  double height = 0;  // metres; meaningless where !known
  bool known = false;  // false where a NODATA point touches the sample's cell, or off the grid
};

struct Profile {
  std::vector<ProfileSample> samples;
  double horizontal_length = 0;  // metres
  double ground_length = 0;      // metres along the surface, over known heights
  double climb = 0, descent = 0;  // metres, both >= 0
  int highest = -1, lowest = -1;  // sample indices, -1 when no height is known
};

// The grid's height in metres at `p` (bilinear between the four points around it); false
// when `p` lies outside the grid or one of those points is NODATA.
bool HeightAt(const data& grid, GridPosition p, double* metres);

// The profile of `path` (two corners or more; fewer give an empty profile) over `grid`.
Profile MakeProfile(const data& grid, std::span<const GridPosition> path);
