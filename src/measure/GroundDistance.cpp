#include "GroundDistance.h"

#include <geodesic.h>
#include <ogr_srs_api.h>

#include <cmath>

namespace {

constexpr double kWgs84SemiMajor = 6378137.0;
constexpr double kWgs84InverseFlattening = 298.257223563;

// The semi-major axis and inverse flattening the WKT names; false when it names no ellipsoid.
bool EllipsoidOf(const std::string& wkt, double* semi_major, double* inverse_flattening) {
  if (wkt.empty()) return false;
  OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
  bool found = false;
  if (OSRSetFromUserInput(srs, wkt.c_str()) == OGRERR_NONE) {
    OGRErr a_error = OGRERR_NONE, f_error = OGRERR_NONE;
    const double a = OSRGetSemiMajor(srs, &a_error);
    const double inverse_f = OSRGetInvFlattening(srs, &f_error);
    // A sphere has an inverse flattening of 0, which geod_init reads as f = 0.
    found = a_error == OGRERR_NONE && f_error == OGRERR_NONE && a > 0 && inverse_f >= 0;
    if (found) *semi_major = a, *inverse_flattening = inverse_f;
  }
  OSRDestroySpatialReference(srs);
  return found;
}

}  // namespace

struct GroundDistance::Ellipsoid {
  geod_geodesic geodesic;
};

GroundDistance::GroundDistance(const data& grid) : grid_(grid) {
  geodesic_ = grid.place.known && grid.place.degrees;
  if (!geodesic_) return;
  double a = kWgs84SemiMajor, inverse_f = kWgs84InverseFlattening;
  EllipsoidOf(grid.place.coordinate_system, &a, &inverse_f);
  ellipsoid_ = std::make_unique<Ellipsoid>();
  geod_init(&ellipsoid_->geodesic, a, inverse_f > 0 ? 1.0 / inverse_f : 0.0);
}

GroundDistance::~GroundDistance() = default;

MapPoint GroundDistance::Place(GridPosition p) const {
  const GridPlace& place = grid_.place;
  if (!place.known) {
    // Metres from the south-west point, north up.
    const double spacing = static_cast<double>(grid_.grid_space) / grid_.units_per_metre;
    return {p.column * spacing, (grid_.rows - 1 - p.row) * spacing};
  }
  // Row 0 is the northern edge; a grid point stands for the centre of its cell.
  return {place.left + (p.column + 0.5) * place.cell_x, place.bottom + (grid_.rows - p.row - 0.5) * place.cell_y};
}

double GroundDistance::Metres(GridPosition a, GridPosition b) const {
  const double columns = b.column - a.column, rows = b.row - a.row;
  if (geodesic_) {
    const MapPoint from = Place(a), to = Place(b);
    double metres = 0;
    geod_inverse(&ellipsoid_->geodesic, from.y, from.x, to.y, to.x, &metres, nullptr, nullptr);
    return metres;
  }
  if (grid_.place.known) return std::hypot(columns * grid_.place.cell_x, rows * grid_.place.cell_y);
  return std::hypot(columns, rows) * grid_.grid_space / grid_.units_per_metre;
}
