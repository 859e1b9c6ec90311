// Distances on the ground between grid positions, as the grid's place gives them: geodesic
// metres on the ellipsoid for a grid in degrees (PROJ's geodesic), metres of the map for a
// projected grid, and the grid's spacing for a grid without a place.
#pragma once

#include <memory>

#include "GridPosition.h"
#include "TerrainLoader.h"

struct MapPoint {
  double x = 0, y = 0;  // longitude and latitude in degrees, or map metres east and north
};

class GroundDistance {
 public:
  // For `grid` as loaded; the ellipsoid is the coordinate system's, else WGS 84.
  explicit GroundDistance(const data& grid);
  ~GroundDistance();
  GroundDistance(const GroundDistance&) = delete;
  GroundDistance& operator=(const GroundDistance&) = delete;

  // Metres along the ground (the horizontal distance, heights left out) from a to b.
  double Metres(GridPosition a, GridPosition b) const;
  // Where a grid position lies: degrees for a grid in degrees, map metres otherwise (metres
  // from the south-western point, north up, for a grid without a place). Points stand for
  // cell centres.
  MapPoint Place(GridPosition p) const;
  bool Geodesic() const { return geodesic_; }

 private:
  struct Ellipsoid;
  const data& grid_;
  bool geodesic_ = false;
  std::unique_ptr<Ellipsoid> ellipsoid_;
};
