// Stand-in until the geodesic distances land: the grid's spacing, places left out.
#include "GroundDistance.h"

#include <cmath>

struct GroundDistance::Ellipsoid {};

GroundDistance::GroundDistance(const data& grid) : grid_(grid) {}
GroundDistance::~GroundDistance() = default;

double GroundDistance::Metres(GridPosition a, GridPosition b) const {
  return std::hypot(b.column - a.column, b.row - a.row) * grid_.grid_space / grid_.units_per_metre;
}

MapPoint GroundDistance::Place(GridPosition p) const {
  const double step = static_cast<double>(grid_.grid_space) / grid_.units_per_metre;
  return {p.column * step, -p.row * step};
}
