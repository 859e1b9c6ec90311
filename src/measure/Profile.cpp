#include "Profile.h"

#include <algorithm>
#include <cmath>

#include "GroundDistance.h"

namespace {

bool NoDataIn(const data& grid, int height) { return grid.has_nodata && height == grid.nodata; }

// Crossings closer than this (in cells) are one point: a path through a grid point crosses
// its column and its row line there, at two parameters that differ only by rounding.
constexpr double kSamePoint = 1e-9;

// The samples' positions along one straight segment, its start left out: every crossing of
// a whole column or row line strictly inside it, in order, then its end. Positions on a
// line take that line's whole number exactly, so that heights there read two points only.
void SegmentPositions(GridPosition a, GridPosition b, std::vector<GridPosition>* out) {
  const double dc = b.column - a.column, dr = b.row - a.row;
  // The next whole line strictly past a coordinate in the direction of travel.
  auto first_line = [](double from, double step) { return step > 0 ? std::floor(from) + 1 : std::ceil(from) - 1; };
  double column = first_line(a.column, dc), row = first_line(a.row, dr);
  const double column_step = dc > 0 ? 1 : -1, row_step = dr > 0 ? 1 : -1;
  auto column_inside = [&] { return dc != 0 && (dc > 0 ? column < b.column : column > b.column); };
  auto row_inside = [&] { return dr != 0 && (dr > 0 ? row < b.row : row > b.row); };
  while (column_inside() || row_inside()) {
    const double t_column = column_inside() ? (column - a.column) / dc : 2.0;
    const double t_row = row_inside() ? (row - a.row) / dr : 2.0;
    GridPosition p = t_column <= t_row ? GridPosition{column, a.row + t_column * dr}
                                       : GridPosition{a.column + t_row * dc, row};
    // At a grid point both lines are crossed at once.
    if (t_column < 2.0 && std::fabs(p.column - column) < kSamePoint) p.column = column, column += column_step;
    if (t_row < 2.0 && std::fabs(p.row - row) < kSamePoint) p.row = row, row += row_step;
    out->push_back(p);
  }
  out->push_back(b);
}

bool Close(GridPosition a, GridPosition b) {
  return std::fabs(a.column - b.column) < kSamePoint && std::fabs(a.row - b.row) < kSamePoint;
}

}  // namespace

bool HeightAt(const data& grid, GridPosition p, double* metres) {
  if (!(p.column >= 0 && p.column <= grid.cols - 1 && p.row >= 0 && p.row <= grid.rows - 1)) return false;
  const int c0 = static_cast<int>(p.column), r0 = static_cast<int>(p.row);
  const double fc = p.column - c0, fr = p.row - r0;
  // Only the points of weight above 0: on a grid line two, at a grid point one.
  const int c1 = fc > 0 ? c0 + 1 : c0, r1 = fr > 0 ? r0 + 1 : r0;
  const int h00 = grid.values[r0][c0], h01 = grid.values[r0][c1];
  const int h10 = grid.values[r1][c0], h11 = grid.values[r1][c1];
  if (NoDataIn(grid, h00) || NoDataIn(grid, h01) || NoDataIn(grid, h10) || NoDataIn(grid, h11)) return false;
  const double north = h00 + fc * (h01 - h00), south = h10 + fc * (h11 - h10);
  *metres = (north + fr * (south - north)) / grid.units_per_metre;
  return true;
}

Profile MakeProfile(const data& grid, std::span<const GridPosition> path) {
  Profile profile;
  if (path.size() < 2) return profile;
  std::vector<GridPosition> positions{path.front()};
  for (size_t i = 1; i < path.size(); ++i) {
    const size_t start = positions.size();
    SegmentPositions(path[i - 1], path[i], &positions);
    // A corner repeated, or a crossing on the segment's start or end, is sampled once.
    size_t kept = start;
    for (size_t k = start; k < positions.size(); ++k)
      if (!Close(positions[k], positions[kept - 1])) positions[kept++] = positions[k];
    positions.resize(kept);
  }

  const GroundDistance ground(grid);
  profile.samples.resize(positions.size());
  for (size_t i = 0; i < positions.size(); ++i) {
    ProfileSample& s = profile.samples[i];
    s.at = positions[i];
    s.known = HeightAt(grid, s.at, &s.height);
    if (s.known && (profile.highest < 0 || s.height > profile.samples[profile.highest].height)) profile.highest = static_cast<int>(i);
    if (s.known && (profile.lowest < 0 || s.height < profile.samples[profile.lowest].height)) profile.lowest = static_cast<int>(i);
    if (i == 0) continue;
    const ProfileSample& previous = profile.samples[i - 1];
    const double step = ground.Metres(previous.at, s.at);
    s.distance = previous.distance + step;
    double surface = step;
    if (s.known && previous.known) {
      const double rise = s.height - previous.height;
      surface = std::hypot(step, rise);
      if (rise > 0) profile.climb += rise;
      else profile.descent -= rise;
    }
    s.ground_distance = previous.ground_distance + surface;
  }
  profile.horizontal_length = profile.samples.back().distance;
  profile.ground_length = profile.samples.back().ground_distance;
  return profile;
}
