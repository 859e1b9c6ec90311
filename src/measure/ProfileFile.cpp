#include "ProfileFile.h"

#include <ogr_srs_api.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "GroundDistance.h"

namespace {

// Decimals that show a ten-thousandth of `cell`, and never fewer than `least`.
int DecimalsFor(double cell, int least) {
  if (!(cell > 0)) return least;
  return std::clamp(static_cast<int>(std::ceil(-std::log10(cell * 1e-4))), least, 12);
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// The numbers of a comma-separated list, pairs of them, two pairs or more.
Status ReadPairs(const std::string& text, const char* pair_name, std::vector<double>* numbers) {
  numbers->clear();
  size_t start = 0;
  while (true) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const std::string word = text.substr(start, comma - start);
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(word.c_str(), &end);
    const char* rest = end;
    const bool blank_after = std::all_of(rest, word.c_str() + word.size(), [](char c) { return c == ' '; });
    if (word.empty() || end == word.c_str() || !blank_after || !std::isfinite(value) || errno == ERANGE)
      return Status::Failure("\"" + word + "\" among the corners is not a number");
    numbers->push_back(value);
    if (comma == text.size()) break;
    start = comma + 1;
  }
  if (numbers->size() % 2 != 0)
    return Status::Failure(std::string("the corners are ") + pair_name + " pairs, and " +
                           std::to_string(numbers->size()) + " numbers make no whole pairs");
  if (numbers->size() < 4) return Status::Failure("a profile needs two corners or more, and one was given");
  return Status::Ok();
}

// Conversions from longitudes and latitudes land a rounding off whole columns and rows; a
// position this close (in cells) to one takes it, so that a grid point stays one.
constexpr double kSnap = 1e-6;

double Snapped(double cells) {
  const double whole = std::round(cells);
  return std::fabs(cells - whole) < kSnap ? whole + 0.0 : cells;  // + 0.0: never -0
}

bool InsideGrid(const data& grid, GridPosition p) {
  return p.column >= 0 && p.column <= grid.cols - 1 && p.row >= 0 && p.row <= grid.rows - 1;
}

Status Outside(const data& grid, size_t index, double x, double y) {
  return Status::Failure("the corner " + std::to_string(index + 1) + " (" + Number(x) + ", " + Number(y) +
                         ") lies outside the grid's " + std::to_string(grid.cols) + " x " + std::to_string(grid.rows) +
                         " points");
}

// Longitudes and latitudes in `x` and `y` turned into the projected grid's metres in place.
Status ProjectToGrid(const data& grid, std::vector<double>* x, std::vector<double>* y) {
  OGRSpatialReferenceH wgs84 = OSRNewSpatialReference(nullptr), target = OSRNewSpatialReference(nullptr);
  OGRCoordinateTransformationH transform = nullptr;
  Status status = Status::Ok();
  if (OSRImportFromEPSG(wgs84, 4326) != OGRERR_NONE ||
      OSRSetFromUserInput(target, grid.place.coordinate_system.c_str()) != OGRERR_NONE) {
    status = Status::Failure("the grid's coordinate system cannot be read");
  } else {
    // Longitude first and easting first, whatever the systems' own axis order.
    OSRSetAxisMappingStrategy(wgs84, OAMS_TRADITIONAL_GIS_ORDER);
    OSRSetAxisMappingStrategy(target, OAMS_TRADITIONAL_GIS_ORDER);
    transform = OCTNewCoordinateTransformation(wgs84, target);
    if (transform == nullptr) {
      status = Status::Failure("longitudes and latitudes cannot be turned into the grid's coordinate system");
    } else if (!OCTTransform(transform, static_cast<int>(x->size()), x->data(), y->data(), nullptr)) {
      status = Status::Failure("a corner cannot be placed in the grid's coordinate system");
    } else {
      const double metres_per_unit = OSRGetLinearUnits(target, nullptr);
      for (size_t i = 0; i < x->size(); ++i) (*x)[i] *= metres_per_unit, (*y)[i] *= metres_per_unit;
    }
  }
  if (transform != nullptr) OCTDestroyCoordinateTransformation(transform);
  OSRDestroySpatialReference(wgs84);
  OSRDestroySpatialReference(target);
  return status;
}

}  // namespace

std::string ProfileCsv(const data& grid, const Profile& profile) {
  const GridPlace& place = grid.place;
  const bool degrees = place.known && place.degrees;
  const double cell = place.known ? std::min(place.cell_x, place.cell_y)
                                  : static_cast<double>(grid.grid_space) / grid.units_per_metre;
  const int place_decimals = DecimalsFor(cell, degrees ? 7 : 3);
  // Centimetres, and a digit more for each tenfold of the grid's units a metre.
  const int height_decimals = 2 + static_cast<int>(std::ceil(std::log10(std::max(grid.units_per_metre, 1))));
  const GroundDistance ground(grid);
  std::string csv = degrees ? "distance_m,ground_distance_m,column,row,lon,lat,height_m\n"
                            : "distance_m,ground_distance_m,column,row,x,y,height_m\n";
  char line[256];
  for (const ProfileSample& s : profile.samples) {
    const MapPoint at = ground.Place(s.at);
    int n = std::snprintf(line, sizeof line, "%.3f,%.3f,%.4f,%.4f,%.*f,%.*f,", s.distance, s.ground_distance,
                          s.at.column, s.at.row, place_decimals, at.x, place_decimals, at.y);
    csv.append(line, std::clamp(n, 0, static_cast<int>(sizeof line) - 1));
    if (s.known) {
      n = std::snprintf(line, sizeof line, "%.*f", height_decimals, s.height);
      csv.append(line, std::clamp(n, 0, static_cast<int>(sizeof line) - 1));
    }
    csv += '\n';
  }
  return csv;
}

Status ParseGridPath(const data& grid, const std::string& text, std::vector<GridPosition>* path) {
  std::vector<double> numbers;
  if (Status read = ReadPairs(text, "column and row", &numbers); !read.ok()) return read;
  path->clear();
  for (size_t i = 0; i < numbers.size(); i += 2) {
    const GridPosition p{numbers[i], numbers[i + 1]};
    if (!InsideGrid(grid, p)) return Outside(grid, i / 2, p.column, p.row);
    path->push_back(p);
  }
  return Status::Ok();
}

Status ParseGeoPath(const data& grid, const std::string& text, std::vector<GridPosition>* path) {
  std::vector<double> numbers;
  if (Status read = ReadPairs(text, "longitude and latitude", &numbers); !read.ok()) return read;
  const GridPlace& place = grid.place;
  if (!place.known)
    return Status::Failure("the grid's file does not say where it lies, so longitudes and latitudes have no place on "
                           "it; --profile takes columns and rows");
  if (!place.degrees && place.coordinate_system.empty())
    return Status::Failure("the grid's file names no coordinate system, so longitudes and latitudes have no place "
                           "on it; --profile takes columns and rows");
  std::vector<double> x, y;
  for (size_t i = 0; i < numbers.size(); i += 2) x.push_back(numbers[i]), y.push_back(numbers[i + 1]);
  if (!place.degrees) {
    if (Status projected = ProjectToGrid(grid, &x, &y); !projected.ok()) return projected;
  }
  path->clear();
  for (size_t i = 0; i < x.size(); ++i) {
    // The inverse of GroundDistance::Place.
    const GridPosition p{Snapped((x[i] - place.left) / place.cell_x - 0.5),
                         Snapped(grid.rows - 0.5 - (y[i] - place.bottom) / place.cell_y)};
    if (!InsideGrid(grid, p)) return Outside(grid, i, numbers[2 * i], numbers[2 * i + 1]);
    path->push_back(p);
  }
  return Status::Ok();
}
