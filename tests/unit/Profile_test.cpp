// Profiles against closed forms: a tilted plane, a ridge, NODATA holes, geodesic lengths
// against the ellipsoid's known degrees and Vincenty's formula, and the path's parsing.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "GroundDistance.h"
#include "Profile.h"
#include "ProfileFile.h"

namespace {

// A grid that owns its heights, height(column, row) each.
struct OwnGrid {
  template <class Height>
  OwnGrid(int cols, int rows, Height height) : cells(static_cast<size_t>(cols) * rows), starts(rows) {
    for (int r = 0; r < rows; ++r) {
      starts[r] = cells.data() + static_cast<size_t>(r) * cols;
      for (int c = 0; c < cols; ++c) starts[r][c] = height(c, r);
    }
    grid.rows = rows, grid.cols = cols, grid.grid_space = 1, grid.units_per_metre = 1;
    grid.values = starts.data();
  }
  std::vector<int> cells;
  std::vector<int*> starts;
  data grid{};
};

void Place(data& grid, bool degrees, double left, double bottom, double cell_x, double cell_y, std::string cs = "") {
  grid.place = GridPlace{true, degrees, left, bottom, cell_x, cell_y, cs};
}

// The WGS 84 inverse problem by Vincenty's iteration, metres.
double Vincenty(double lat1, double lon1, double lat2, double lon2) {
  const double a = 6378137.0, f = 1 / 298.257223563, b = a * (1 - f), rad = M_PI / 180;
  const double L = (lon2 - lon1) * rad, U1 = std::atan((1 - f) * std::tan(lat1 * rad)),
               U2 = std::atan((1 - f) * std::tan(lat2 * rad));
  double lambda = L, sin_s = 0, cos_s = 0, sigma = 0, cos2_a = 0, cos_2sm = 0;
  for (int i = 0; i < 100; ++i) {
    const double sl = std::sin(lambda), cl = std::cos(lambda);
    sin_s = std::hypot(std::cos(U2) * sl, std::cos(U1) * std::sin(U2) - std::sin(U1) * std::cos(U2) * cl);
    cos_s = std::sin(U1) * std::sin(U2) + std::cos(U1) * std::cos(U2) * cl;
    sigma = std::atan2(sin_s, cos_s);
    const double sin_a = std::cos(U1) * std::cos(U2) * sl / sin_s;
    cos2_a = 1 - sin_a * sin_a;
    cos_2sm = cos_s - 2 * std::sin(U1) * std::sin(U2) / cos2_a;
    const double C = f / 16 * cos2_a * (4 + f * (4 - 3 * cos2_a));
    const double next = L + (1 - C) * f * sin_a * (sigma + C * sin_s * (cos_2sm + C * cos_s * (2 * cos_2sm * cos_2sm - 1)));
    if (std::fabs(next - lambda) < 1e-13) break;
    lambda = next;
  }
  const double u2 = cos2_a * (a * a - b * b) / (b * b);
  const double A = 1 + u2 / 16384 * (4096 + u2 * (-768 + u2 * (320 - 175 * u2)));
  const double B = u2 / 1024 * (256 + u2 * (-128 + u2 * (74 - 47 * u2)));
  const double ds = B * sin_s * (cos_2sm + B / 4 * (cos_s * (2 * cos_2sm * cos_2sm - 1) -
                                                    B / 6 * cos_2sm * (4 * sin_s * sin_s - 3) * (4 * cos_2sm * cos_2sm - 3)));
  return b * A * (sigma - ds);
}

TEST(ProfilePlane, ExactHeightsAndLengthsOnNonSquareCells) {
  const double a = 3, b = -2, cx = 30, cy = 20;  // units a column and a row; metres a cell
  OwnGrid g(40, 30, [&](int c, int r) { return static_cast<int>(1000 + a * c + b * r); });
  Place(g.grid, false, 0, 0, cx, cy);
  const std::vector<GridPosition> path{{2.5, 3.25}, {30.75, 20.5}, {5, 25}, {5, 29}};
  const Profile p = MakeProfile(g.grid, path);
  double horizontal = 0, surface = 0;
  for (size_t i = 1; i < path.size(); ++i) {
    const double dc = path[i].column - path[i - 1].column, dr = path[i].row - path[i - 1].row;
    const double run = std::hypot(dc * cx, dr * cy);
    horizontal += run;
    surface += std::hypot(run, a * dc + b * dr);
  }
  EXPECT_NEAR(p.horizontal_length, horizontal, 1e-9);
  EXPECT_NEAR(p.ground_length, surface, 1e-9);
  for (const ProfileSample& s : p.samples) {
    ASSERT_TRUE(s.known);
    EXPECT_NEAR(s.height, 1000 + a * s.at.column + b * s.at.row, 1e-9) << s.at.column << ", " << s.at.row;
  }
  EXPECT_EQ(p.samples.front().at, path.front());
  EXPECT_EQ(p.samples.back().at, path.back());
  // A plane's extremes along a path lie at its corners: 1001, 1051.25, 965 and 957.
  EXPECT_EQ(p.samples[p.highest].at, path[1]);
  EXPECT_EQ(p.lowest, static_cast<int>(p.samples.size()) - 1);
  EXPECT_NEAR(p.climb, 1051.25 - 1001, 1e-9);
  EXPECT_NEAR(p.descent, 1051.25 - 957, 1e-9);
}

TEST(ProfileRidge, TopSampleOnTheCrestAndExactClimb) {
  OwnGrid g(21, 8, [](int c, int) { return 500 - 7 * std::abs(c - 10); });
  const Profile p = MakeProfile(g.grid, std::vector<GridPosition>{{2.5, 3.5}, {17.25, 3.5}});
  ASSERT_GE(p.highest, 0);
  EXPECT_EQ(p.samples[p.highest].at, (GridPosition{10, 3.5}));
  EXPECT_DOUBLE_EQ(p.samples[p.highest].height, 500);
  EXPECT_DOUBLE_EQ(p.climb, 7 * 7.5);
  EXPECT_DOUBLE_EQ(p.descent, 7 * 7.25);
  EXPECT_EQ(p.lowest, 0);
  EXPECT_EQ(p.samples.size(), 2u + 15u);  // columns 3 to 17
}

TEST(ProfileSamples, DiagonalsCountLinesCrossedAndGridPointsOnce) {
  OwnGrid g(25, 15, [](int, int) { return 0; });
  // 19 column and 9 row lines inside, 9 of them met at grid points (every even column).
  EXPECT_EQ(MakeProfile(g.grid, std::vector<GridPosition>{{0, 0}, {20, 10}}).samples.size(), 2u + 19 + 9 - 9);
  // Columns 1..20 and rows 1..10, never at a grid point.
  EXPECT_EQ(MakeProfile(g.grid, std::vector<GridPosition>{{0.5, 0.5}, {20.5, 10.5}}).samples.size(), 2u + 20 + 10);
  // A corner repeated, and a corner on a grid line, once.
  EXPECT_EQ(MakeProfile(g.grid, std::vector<GridPosition>{{1, 1}, {3, 1}, {3, 1}, {3, 2.5}}).samples.size(), 5u);
}

TEST(ProfileSamples, RandomPathsSampleEveryCellInOrder) {
  OwnGrid g(30, 20, [](int c, int r) { return c * r; });
  std::mt19937 random(7);
  std::uniform_real_distribution<double> column(0, 29), row(0, 19);
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<GridPosition> path;
    for (int k = 0; k < 2 + trial % 4; ++k) path.push_back({column(random), row(random)});
    const Profile p = MakeProfile(g.grid, path);
    size_t corner = 1;
    for (size_t i = 1; i < p.samples.size(); ++i) {
      const GridPosition a = p.samples[i - 1].at, b = p.samples[i].at;
      ASSERT_NE(a, b);
      // Both ends in one cell, so no cell is skipped; a sample off the corners lies on a line.
      const double mc = std::floor(0.5 * (a.column + b.column)), mr = std::floor(0.5 * (a.row + b.row));
      for (GridPosition e : {a, b})
        ASSERT_TRUE(e.column >= mc && e.column <= mc + 1 && e.row >= mr && e.row <= mr + 1) << trial;
      if (corner < path.size() && b == path[corner]) ++corner;
      else ASSERT_TRUE(b.column == std::round(b.column) || b.row == std::round(b.row)) << trial;
      ASSERT_GT(p.samples[i].distance, p.samples[i - 1].distance);
    }
    EXPECT_EQ(corner, path.size()) << trial;  // every corner, in order
  }
}

TEST(ProfileNoData, UnknownWhereAHolePointTouchesAndFlatLengths) {
  OwnGrid g(12, 12, [](int c, int r) { return c == 5 && r == 5 ? -9999 : 100; });
  g.grid.has_nodata = true, g.grid.nodata = -9999;
  double h = 0;
  EXPECT_FALSE(HeightAt(g.grid, {5, 5}, &h));
  EXPECT_FALSE(HeightAt(g.grid, {4.5, 5}, &h));
  EXPECT_TRUE(HeightAt(g.grid, {6, 5}, &h));
  EXPECT_TRUE(HeightAt(g.grid, {11, 11}, &h));  // the last row and column
  EXPECT_FALSE(HeightAt(g.grid, {11.0001, 3}, &h));
  EXPECT_FALSE(HeightAt(g.grid, {3, -0.0001}, &h));
  const Profile p = MakeProfile(g.grid, std::vector<GridPosition>{{1.5, 2.5}, {9.5, 7.75}});
  for (const ProfileSample& s : p.samples) {
    const bool touches = std::fabs(s.at.column - 5) < 1 && std::fabs(s.at.row - 5) < 1;
    EXPECT_EQ(s.known, !touches) << s.at.column << ", " << s.at.row;
  }
  EXPECT_DOUBLE_EQ(p.ground_length, p.horizontal_length);
  EXPECT_NEAR(p.horizontal_length, std::hypot(8, 5.25), 1e-12);  // a spacing of a metre
  EXPECT_EQ(p.climb + p.descent, 0);
}

TEST(ProfileGeodesic, DegreesOfTheEllipsoidAndVincenty) {
  OwnGrid g(3, 3, [](int, int) { return 0; });
  Place(g.grid, true, -0.5, -1.5, 1, 1);  // row 1 on the equator, column 0 on the prime meridian
  {
    const GroundDistance d(g.grid);
    EXPECT_NEAR(d.Metres({0, 1}, {1, 1}), 111319.49, 111.3);  // a * pi / 180
    EXPECT_NEAR(d.Metres({0, 1}, {0, 0}), 110574.39, 110.5);  // the meridian degree at the equator
  }
  Place(g.grid, true, -0.5, -1.5, 1, 1, "+proj=longlat +R=6371000 +no_defs");
  EXPECT_NEAR(GroundDistance(g.grid).Metres({0, 1}, {1, 1}), 6371000 * M_PI / 180, 0.01);
  // A short oblique pair in the Alps, cells of 0.001 degree.
  Place(g.grid, true, 10.1225, 47.4985, 0.001, 0.001);
  const GroundDistance d(g.grid);
  const MapPoint from = d.Place({0, 2}), to = d.Place({2, 0});
  EXPECT_NEAR(from.x, 10.123, 1e-12);
  EXPECT_NEAR(from.y, 47.499, 1e-12);
  const double reference = Vincenty(from.y, from.x, to.y, to.x);
  EXPECT_NEAR(d.Metres({0, 2}, {2, 0}), reference, 1e-6 * reference);
}

TEST(ProfilePaths, GeoCornersOnAGeographicGridAreTheGridPoints) {
  OwnGrid g(403, 344, [](int c, int r) { return c + r; });
  Place(g.grid, true, -84.41375, 36.44625, 0.000833333333, 0.000833333333);
  std::vector<GridPosition> grid_path, geo_path;
  ASSERT_TRUE(ParseGridPath(g.grid, "0,0, 120.5,33,402,343", &grid_path).ok());
  std::string geo;
  for (GridPosition p : grid_path) {
    char text[64];
    snprintf(text, sizeof text, "%s%.12f,%.12f", geo.empty() ? "" : ",", -84.41375 + (p.column + 0.5) * 0.000833333333,
             36.44625 + (343.5 - p.row) * 0.000833333333);
    geo += text;
  }
  ASSERT_TRUE(ParseGeoPath(g.grid, geo, &geo_path).ok());
  EXPECT_EQ(geo_path[0], grid_path[0]);  // grid points exactly
  EXPECT_EQ(geo_path[2], grid_path[2]);
  EXPECT_NEAR(geo_path[1].column, 120.5, 1e-8);
  const Profile by_geo = MakeProfile(g.grid, geo_path), by_grid = MakeProfile(g.grid, grid_path);
  ASSERT_EQ(by_geo.samples.size(), by_grid.samples.size());
  EXPECT_NEAR(by_geo.horizontal_length, by_grid.horizontal_length, 1e-6);
  EXPECT_NEAR(by_geo.climb, by_grid.climb, 1e-6);
}

TEST(ProfilePaths, GeoCornersThroughAProjection) {
  OwnGrid g(11, 11, [](int, int) { return 0; });
  // UTM 33 North in kilometres: the equator at 15 degrees east is x 500, y 0.
  Place(g.grid, false, 499450, -550, 100, 100, "+proj=utm +zone=33 +datum=WGS84 +units=km +no_defs");
  std::vector<GridPosition> path;
  ASSERT_TRUE(ParseGeoPath(g.grid, "15,0,15,0.001", &path).ok());
  EXPECT_EQ(path[0], (GridPosition{5, 5}));
  EXPECT_NEAR(path[1].row, 5 - 110.5743 * 0.9996 / 100, 1e-4);  // a thousandth of the meridian degree
  g.grid.place.coordinate_system.clear();
  EXPECT_EQ(ParseGeoPath(g.grid, "15,0,15,0.001", &path).reason(),
            "the grid's file names no coordinate system, so longitudes and latitudes have no place on it; "
            "--profile takes columns and rows");
}

TEST(ProfilePaths, RefusalsSayWhich) {
  OwnGrid g(403, 344, [](int, int) { return 0; });
  std::vector<GridPosition> path;
  EXPECT_EQ(ParseGridPath(g.grid, "1,2,3,4,500,20", &path).reason(),
            "the corner 3 (500, 20) lies outside the grid's 403 x 344 points");
  EXPECT_EQ(ParseGridPath(g.grid, "1,2,3", &path).reason(),
            "the corners are column and row pairs, and 3 numbers make no whole pairs");
  EXPECT_EQ(ParseGridPath(g.grid, "1,2", &path).reason(), "a profile needs two corners or more, and one was given");
  EXPECT_EQ(ParseGridPath(g.grid, "1,2,x,4", &path).reason(), "\"x\" among the corners is not a number");
  EXPECT_FALSE(ParseGridPath(g.grid, "1,2,nan,4", &path).ok());
  EXPECT_FALSE(ParseGridPath(g.grid, "1,2,3,4,", &path).ok());
  EXPECT_FALSE(ParseGeoPath(g.grid, "1,2,3,4", &path).ok());  // no place
}

TEST(ProfileCsvText, FiguresAndAnEmptyUnknownHeight) {
  OwnGrid g(4, 3, [](int c, int r) { return c == 3 ? -1 : 10 * c + r; });
  g.grid.has_nodata = true, g.grid.nodata = -1;
  Place(g.grid, false, 1000, 2000, 30, 20);
  const Profile p = MakeProfile(g.grid, std::vector<GridPosition>{{0.5, 1}, {3, 1}});
  EXPECT_EQ(ProfileCsv(g.grid, p),
            "distance_m,ground_distance_m,column,row,x,y,height_m\n"
            "0.000,0.000,0.5000,1.0000,1030.000,2030.000,6.00\n"
            "15.000,15.811,1.0000,1.0000,1045.000,2030.000,11.00\n"   // hypot(15, 5)
            "45.000,47.434,2.0000,1.0000,1075.000,2030.000,21.00\n"   // + hypot(30, 10)
            "75.000,77.434,3.0000,1.0000,1105.000,2030.000,\n");      // + 30 to the unknown
}

}  // namespace
