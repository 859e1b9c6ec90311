// Screen Error along a scripted flight, against Strict Error with an object-space bound.
//
// Grids, made once in the build folder (GENERATED_DATA_DIR) and read through the loader:
//   fractal  4097 x 4097 diamond-square (BenchGrids.h's, seed 4242), whole metres, 10 m
//            cells, an Int16 GeoTIFF
//   real     16385 x 16385: data/jacksboro_403x344.asc stretched bilinearly over 2 m
//            cells (about its own extent), plus diamond-square detail below 128 cells
//            (4 m at the top, times 0.6 a level), a Float32 GeoTIFF (centimetre units)
// The flight, at 1024 x 768 with the viewer's 45 degree field: the start view (1.5 sides
// out, one up, 30 degrees down), a descent to 50 m over the lowest north-south corridor,
// a low pass along it, a 90 degree turn toward the wider side, and a climb to a quarter
// side, looking 35 degrees down at the end.
//
// Per view and per bound of 1 and 2 px: the Screen Error build (BuildIndexedMesh, wall
// time, triangles, achieved px), the frame that draws it (DrawTerrain at 1024 x 768 in
// Mesa's off-screen renderer, to glFinish: the first frame with the arrays' upload and a
// second one), and, every few views, Strict Error at the object-space bound whose worst
// on-screen error is the pixel bound (built under the triangle budget, and, for triangle
// bisection, the triangles its hierarchy counts without one):
//   b = px * d_near / (K * y_scale),  K = (H / 2) / tan(fov / 2) * (1 + t^2)
// with d_near the distance to the nearest grid point in view and t the tangent of the
// half-diagonal field angle; b is rounded down to whole height units.
// Each grid runs in a process of its own, so that its peak memory (getrusage) is its own.
//
//   bench_screen_flight [--views N] [--strict-every K] [--no-draw] [--quads] [--csv STEM]
//                       [--pictures DIR] [--flight] [fractal] [real]
// --csv writes each view's figures to STEM_GRID.csv; --pictures every 25th frame at 1 px;
// --flight lists the views and stops.
//
// scripts/bench-screen-flight.sh builds it in Release and runs it.
#include <GL/osmesa.h>
#include <GL/glu.h>
#include <gdal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchGrids.h"
#include "CameraMath.h"
#include "DrawScales.h"
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "Snapshot.h"
#include "TriangleErrorHierarchy.h"
#include "TerrainDrawing.h"

namespace {

using Clock = std::chrono::steady_clock;
using camera_math::Vec3;

constexpr int kWidth = 1024, kHeight = 768;
constexpr double kFov = camera_math::kFieldOfView;

struct Options {
  int views = 200;
  int strict_every = 4;
  bool draw = true;
  int mode = 1;  // triangle bisection
  std::string csv;       // per-view figures go to CSV_GRID.csv
  std::string pictures;  // every 25th view at 1 px as a PNG in this folder
  bool flight_only = false;
  std::vector<std::string> grids;
};

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Processor time of the process: the machine is shared, so wall time also shows the others' load.
double CpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}

// Height units of `g` in metres.
double Metres(const data& g, double units) { return units / g.units_per_metre; }

// Resident memory now, from /proc/self/status.
double RssBytes() {
  FILE* status = fopen("/proc/self/status", "r");
  if (!status) return 0;
  char line[256];
  double kb = 0;
  while (fgets(line, sizeof line, status))
    if (strncmp(line, "VmRSS:", 6) == 0) kb = atof(line + 6);
  fclose(status);
  return kb * 1024;
}

double MaxRssBytes() {
  rusage use{};
  getrusage(RUSAGE_SELF, &use);
  return use.ru_maxrss * 1024.0;
}

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

// ---- the grids ----

bool WriteTiff(const std::string& path, int side, double spacing, GDALDataType type, const void* cells) {
  GDALAllRegister();
  const std::string partial = path + ".part.tif";
  GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), partial.c_str(), side, side, 1, type, nullptr);
  if (!ds) return false;
  double gt[6] = {700000, spacing, 0, 4040000, 0, -spacing};
  GDALSetGeoTransform(ds, gt);
  GDALSetProjection(ds, "EPSG:32616");  // UTM 16 N, where the Jacksboro sample lies
  const CPLErr written =
      GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Write, 0, 0, side, side, const_cast<void*>(cells), side, side, type, 0, 0);
  GDALClose(ds);
  return written == CE_None && rename(partial.c_str(), path.c_str()) == 0;
}

bool MakeFractal(const std::string& path) {
  const int side = 4097;
  const data g = DiamondSquare(side, kFractalSeed);
  std::vector<int16_t> cells(static_cast<size_t>(side) * side);
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c) cells[static_cast<size_t>(r) * side + c] = static_cast<int16_t>(g.values[r][c]);
  return WriteTiff(path, side, 10.0, GDT_Int16, cells.data());
}

bool MakeReal(const std::string& path) {
  TerrainLoader loader;
  const std::string sample = std::string(REPO_DATA_DIR) + "/jacksboro_403x344.asc";
  if (!loader.LoadArcASCIIFile(sample.c_str())) {
    printf("%s\n", loader.msg);
    return false;
  }
  const data src = input;
  const int side = 16385;
  const double per_metre = src.units_per_metre;
  std::vector<float> h(static_cast<size_t>(side) * side);
  for (int r = 0; r < side; ++r) {
    const double fr = static_cast<double>(r) * (src.rows - 1) / (side - 1);
    const int r0 = std::min(static_cast<int>(fr), src.rows - 2);
    const double tr = fr - r0;
    for (int c = 0; c < side; ++c) {
      const double fc = static_cast<double>(c) * (src.cols - 1) / (side - 1);
      const int c0 = std::min(static_cast<int>(fc), src.cols - 2);
      const double tc = fc - c0;
      const double top = src.values[r0][c0] * (1 - tc) + src.values[r0][c0 + 1] * tc;
      const double bottom = src.values[r0 + 1][c0] * (1 - tc) + src.values[r0 + 1][c0 + 1] * tc;
      h[static_cast<size_t>(r) * side + c] = static_cast<float>((top * (1 - tr) + bottom * tr) / per_metre);
    }
  }
  // Detail: diamond-square displacements from 128-cell squares down, added to the stretch.
  std::mt19937 engine(kFractalSeed + 1);
  auto uniform = [&] { return static_cast<float>(engine()) / 4294967296.0f * 2.0f - 1.0f; };
  std::vector<float> d(h.size(), 0.0f);
  auto at = [&](int r, int c) -> float& { return d[static_cast<size_t>(r) * side + c]; };
  DiamondSquareSteps(side, 128, 4.0f, at, uniform);
  for (size_t i = 0; i < h.size(); ++i) h[i] += d[i];
  return WriteTiff(path, side, 2.0, GDT_Float32, h.data());
}

// ---- the flight ----

struct Grid {
  const data* g;
  DrawScales scales;
  double half_x, half_z;

  // The drawn height of the ground under drawn (x, z), bilinear, clamped to the grid.
  double Ground(double x, double z) const {
    const double fc = std::clamp((x + half_x) / scales.column, 0.0, g->cols - 1.001);
    const double fr = std::clamp((z + half_z) / scales.row, 0.0, g->rows - 1.001);
    const int c = static_cast<int>(fc), r = static_cast<int>(fr);
    const double tc = fc - c, tr = fr - r;
    const double top = g->values[r][c] * (1 - tc) + g->values[r][c + 1] * tc;
    const double bottom = g->values[r + 1][c] * (1 - tc) + g->values[r + 1][c + 1] * tc;
    return (top * (1 - tr) + bottom * tr) * scales.height;
  }
  // The highest ground within `reach` of (x, z) along both axes: a clearance over it keeps
  // the camera off the slopes beside it.
  double GroundAround(double x, double z, double reach) const {
    double top = -1e300;
    for (int i = -4; i <= 4; ++i)
      for (int j = -4; j <= 4; ++j) top = std::max(top, Ground(x + reach * i / 4, z + reach * j / 4));
    return top;
  }
};

struct View {
  Vec3 eye;
  double tilt, heading;
};

double Ease(double s) { return s * s * (3 - 2 * s); }

std::vector<View> MakeFlight(const Grid& grid, int n) {
  const data& g = *grid.g;
  const double metre = g.units_per_metre * grid.scales.height;  // drawn units a metre, upward
  const double clearance = 50 * metre;
  const double side = static_cast<double>(g.rows) * g.grid_space;
  const double lift = camera_math::StartLift(side, std::max(g.y_min, g.y_max) * grid.scales.height);
  const View start{{0, side + lift, side * 1.5}, 120, 0};

  // The corridor: the column whose mean height over the middle rows is least.
  double best = 1e300, valley_x = 0;
  for (int i = 0; i <= 64; ++i) {
    const double x = -0.6 * grid.half_x + 1.2 * grid.half_x * i / 64;
    double sum = 0;
    for (int j = 0; j <= 64; ++j) sum += grid.Ground(x, -0.8 * grid.half_z + 1.6 * grid.half_z * j / 64);
    if (sum < best) best = sum, valley_x = x;
  }
  const int descent = n * 60 / 200, pass = n * 70 / 200, turn = n * 30 / 200, climb = n - descent - pass - turn;
  const double z0 = 0.8 * grid.half_z, z1 = -0.3 * grid.half_z;
  const double step = (z0 - z1) / std::max(pass, 1);
  const double reach = 2 * clearance;
  auto low = [&](double x, double z) { return grid.GroundAround(x, z, reach) + clearance; };

  std::vector<View> views;
  const View low_start{{valley_x, low(valley_x, z0), z0}, 98, 0};
  for (int i = 0; i < descent; ++i) {
    const double s = Ease(static_cast<double>(i) / std::max(descent - 1, 1));
    View v;
    v.eye = {start.eye.x + (low_start.eye.x - start.eye.x) * s, start.eye.y + (low_start.eye.y - start.eye.y) * s,
             start.eye.z + (low_start.eye.z - start.eye.z) * s};
    v.eye.y = std::max(v.eye.y, low(v.eye.x, v.eye.z));
    v.tilt = start.tilt + (low_start.tilt - start.tilt) * s;
    v.heading = 0;
    views.push_back(v);
  }
  Vec3 at = low_start.eye;
  for (int i = 0; i < pass; ++i) {
    at.z = z0 - step * (i + 1);
    views.push_back({{at.x, low(at.x, at.z), at.z}, 95, 0});
  }
  const double turn_to = valley_x > 0 ? 90 : -90;  // toward the wider side
  double heading = 0;
  for (int i = 0; i < turn; ++i) {
    heading = turn_to * (i + 1) / std::max(turn, 1);
    const Vec3 f = camera_math::ForwardVector(90, heading);
    at.x += f.x * step;
    at.z += f.z * step;
    views.push_back({{at.x, low(at.x, at.z), at.z}, 95, heading});
  }
  const double ground_then = low(at.x, at.z);
  for (int i = 0; i < climb; ++i) {
    const double s = Ease(static_cast<double>(i + 1) / std::max(climb, 1));
    const Vec3 f = camera_math::ForwardVector(90, heading);
    at.x += f.x * step;
    at.z += f.z * step;
    const double y = std::max(ground_then + s * 0.25 * side, low(at.x, at.z));
    views.push_back({{at.x, y, at.z}, 95 + 30 * s, heading});
  }
  return views;
}

mesh::ViewPose PoseOf(const Grid& grid, const View& v) {
  mesh::ViewPose p;
  p.eye[0] = v.eye.x;
  p.eye[1] = v.eye.y;
  p.eye[2] = v.eye.z;
  p.tilt = v.tilt;
  p.heading = v.heading;
  p.offset_x = -grid.half_x;
  p.offset_z = -grid.half_z;
  p.scales = grid.scales;
  p.width = kWidth;
  p.height = kHeight;
  p.fov_degrees = kFov;
  return p;
}

// The distance from the eye to the nearest grid point inside the view: a coarse pass, then
// every point around the coarse nearest.
double NearestInView(const Grid& grid, const View& v) {
  const data& g = *grid.g;
  const Vec3 f = camera_math::ForwardVector(v.tilt, v.heading), r = camera_math::RightVector(v.heading);
  const Vec3 u{r.y * f.z - r.z * f.y, r.z * f.x - r.x * f.z, r.x * f.y - r.y * f.x};
  const double tan_v = std::tan(camera_math::ToRadians(kFov / 2)), tan_h = tan_v * kWidth / kHeight;
  auto distance = [&](int c, int row) {
    const double x = c * static_cast<double>(grid.scales.column) - grid.half_x - v.eye.x;
    const double y = g.values[row][c] * grid.scales.height - v.eye.y;
    const double z = row * static_cast<double>(grid.scales.row) - grid.half_z - v.eye.z;
    const double depth = x * f.x + y * f.y + z * f.z;
    if (depth <= 0) return 1e300;
    if (std::fabs(x * r.x + y * r.y + z * r.z) > depth * tan_h || std::fabs(x * u.x + y * u.y + z * u.z) > depth * tan_v)
      return 1e300;
    return std::sqrt(x * x + y * y + z * z);
  };
  const int stride = std::max(1, g.cols / 2048);
  double best = 1e300;
  int best_c = 0, best_r = 0;
  for (int row = 0; row < g.rows; row += stride)
    for (int c = 0; c < g.cols; c += stride)
      if (const double d = distance(c, row); d < best) best = d, best_c = c, best_r = row;
  for (int row = std::max(0, best_r - 3 * stride); row <= std::min(g.rows - 1, best_r + 3 * stride); ++row)
    for (int c = std::max(0, best_c - 3 * stride); c <= std::min(g.cols - 1, best_c + 3 * stride); ++c)
      best = std::min(best, distance(c, row));
  return best;
}

// The object-space bound whose worst on-screen error is `px` for a nearest point at `d`;
// a view without terrain (d infinite) gets a bound of 1e6.
int StrictBoundFor(double px, double d, double y_scale) {
  if (!(d < 1e30)) return 1000000;
  const double tan_v = std::tan(camera_math::ToRadians(kFov / 2));
  const double t2 = tan_v * tan_v * (1 + static_cast<double>(kWidth) * kWidth / (static_cast<double>(kHeight) * kHeight));
  const double k = (kHeight / 2.0) / tan_v * (1 + t2);
  return static_cast<int>(std::floor(px * d / (k * y_scale)));
}

// ---- the drawing ----

struct Drawer {
  OSMesaContext context = nullptr;
  std::vector<unsigned char> pixels;
  unsigned long version = 0;

  bool Open() {
    context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    pixels.resize(static_cast<size_t>(kWidth) * kHeight * 4);
    if (context == nullptr || !OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, kWidth, kHeight)) return false;
    // The viewer's scene: one directional light, colour material, depth, back faces culled.
    const GLfloat white[] = {1, 1, 1, 1}, ambient[] = {0.3f, 0.3f, 0.3f, 1}, place[] = {1, 0.5f, 0, 0};
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT1, GL_POSITION, place);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT1);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glShadeModel(GL_SMOOTH);
    glViewport(0, 0, kWidth, kHeight);
    return true;
  }
  // The last frame as a PNG (GL rows run bottom to top).
  void Save(const std::string& path) const {
    std::vector<unsigned char> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        for (int k = 0; k < 3; ++k)
          rgb[(static_cast<size_t>(y) * kWidth + x) * 3 + k] = pixels[(static_cast<size_t>(kHeight - 1 - y) * kWidth + x) * 4 + k];
    remove(path.c_str());
    if (const Status saved = snapshot::SavePngAs(path, kWidth, kHeight, rgb.data()); !saved.ok())
      printf("%s: %s\n", path.c_str(), saved.reason().c_str());
  }
  void Close() {
    ReleaseTerrainArrays();
    if (context) OSMesaDestroyContext(context);
  }

  // One frame of `m` from `v`, to glFinish, in seconds.
  double Frame(const Grid& grid, const View& v, const IndexedMesh& m, bool new_mesh) {
    if (new_mesh) ++version;
    const auto start = Clock::now();
    const data& g = *grid.g;
    const double half_y = std::max(std::fabs(1.0 * g.y_min), std::fabs(1.0 * g.y_max)) * grid.scales.height;
    const double radius = std::sqrt(grid.half_x * grid.half_x + half_y * half_y + grid.half_z * grid.half_z);
    const double far = camera_math::FarPlaneFrom(camera_math::FarPlane(g.rows, g.cols, g.grid_space),
                                                 std::sqrt(v.eye.x * v.eye.x + v.eye.y * v.eye.y + v.eye.z * v.eye.z), radius);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFov, static_cast<double>(kWidth) / kHeight, camera_math::NearPlaneFor(far), far);
    const Vec3 target = camera_math::LookAtPoint(v.eye, v.tilt, v.heading);
    gluLookAt(v.eye.x, v.eye.y, v.eye.z, target.x, target.y, target.z, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    TerrainDrawing what;
    what.grid = &g;
    what.mesh = &m;
    what.mesh_version = version;
    what.shading = Shading::kColor;
    what.scales = grid.scales;
    DrawTerrain(what);
    glFinish();
    return Since(start);
  }
};

// ---- the measurements ----

struct Series {
  std::vector<double> v;
  void Add(double x) { v.push_back(x); }
  double Median() const {
    if (v.empty()) return 0;
    std::vector<double> s = v;
    std::nth_element(s.begin(), s.begin() + s.size() / 2, s.end());
    return s[s.size() / 2];
  }
  double Worst() const { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }
  double Least() const { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }
};

mesh::Settings BaseSettings(const data& g, int mode) {
  mesh::Settings s;
  s.mode = mode;
  s.precision = 6;
  s.adaptive = true;
  s.strict = true;
  s.size = std::max(g.rows, g.cols);
  s.border_1 = {0, 0, 0};
  s.border_2 = {g.cols, 0, g.rows};
  return s;
}

mesh::Settings ScreenSettingsFor(const Grid& grid, const View& v, double px, int fallback_bound, int mode) {
  mesh::Settings s = BaseSettings(*grid.g, mode);
  s.bound = fallback_bound;  // what a mesher that ignores the view works to
  s.screen.on = true;
  s.screen.bound_px = px;
  s.screen.cap = mesh::kDefaultScreenTriangleCap;
  s.screen.pose = PoseOf(grid, v);
  return s;
}

int RunGrid(const std::string& name, const std::string& path, const Options& o) {
  const double rss_start = MaxRssBytes();
  const auto read_start = Clock::now();
  TerrainLoader loader;
  if (!loader.LoadTerrainFile(path.c_str())) {
    printf("%s: %s\n", path.c_str(), loader.msg);
    return 1;
  }
  const double load_s = Since(read_start);
  const double rss_load = MaxRssBytes(), resident_load = RssBytes();
  const data& g = input;
  const double points = static_cast<double>(g.rows) * g.cols;
  Grid grid{&g, ScalesFor(g.grid_space, GridColumnRatio(), 1.0f, 1.0f), 0, 0};
  grid.half_x = g.cols * static_cast<double>(g.grid_space) * 0.5 * GridColumnRatio();
  grid.half_z = g.rows * static_cast<double>(g.grid_space) * 0.5;
  const std::vector<View> flight = MakeFlight(grid, o.views);
  std::vector<double> nearest(flight.size());
  nearest[0] = NearestInView(grid, flight[0]);

  // The window's first picture: a coarse mesh while the hierarchy is not made yet.
  mesh::Settings coarse_settings =
      ScreenSettingsFor(grid, flight[0], 1, StrictBoundFor(1, nearest[0], grid.scales.height), o.mode);
  coarse_settings.screen.coarse_first = true;
  const auto coarse_start = Clock::now();
  const IndexedMesh coarse = mesh::BuildIndexedMesh(g, coarse_settings);
  const double coarse_s = Since(coarse_start), to_coarse_s = Since(read_start);
  const auto first_start = Clock::now();
  const IndexedMesh first = mesh::BuildIndexedMesh(
      g, ScreenSettingsFor(grid, flight[0], 1, StrictBoundFor(1, nearest[0], grid.scales.height), o.mode));
  const double first_s = Since(first_start), to_first_s = Since(read_start);
  const double rss_first = MaxRssBytes(), resident_first = RssBytes();
  for (size_t i = 1; i < flight.size(); ++i) nearest[i] = NearestInView(grid, flight[i]);

  printf("\n== %s: %d x %d, %d units a metre, spacing %d units, heights %d..%d; %zu views, %s ==\n", name.c_str(), g.rows,
         g.cols, g.units_per_metre, g.grid_space, g.y_min, g.y_max, flight.size(), o.mode ? "triangles" : "quads");
  printf("load %.2f s; first Screen Error build (with the error hierarchy) %.2f s, %lld triangles; grid read to "
         "first mesh %.2f s\n",
         load_s, first_s, first.triangle_count, to_first_s);
  printf("first picture, a coarse mesh as the window shows it while the hierarchy is made: %.2f s, %lld triangles%s; "
         "grid read to it %.2f s\n",
         coarse_s, coarse.triangle_count, coarse.screen.coarse ? "" : " (not coarse: hierarchy kept)", to_coarse_s);
  printf("max RSS: start %.0f MB; after load %.0f MB = %.2f B/point; after the first build %.0f MB = %.2f B/point\n"
         "resident: after load %.0f MB = %.2f B/point; after the first build %.0f MB = %.2f B/point\n",
         rss_start / 1e6, rss_load / 1e6, rss_load / points, rss_first / 1e6, rss_first / points, resident_load / 1e6,
         resident_load / points, resident_first / 1e6, resident_first / points);
  fflush(stdout);

  Drawer drawer;
  // No grid normal table: a mesh built for the view brings its own normals, as in the viewer.
  if (o.draw && !drawer.Open()) {
    printf("no off-screen context: drawing skipped\n");
    drawer.Close();
    drawer.context = nullptr;
  }
  const bool draw = o.draw && drawer.context != nullptr;

  Series above, near, seen;
  for (size_t i = 0; i < flight.size(); ++i) {
    above.Add(Metres(g, (flight[i].eye.y - grid.Ground(flight[i].eye.x, flight[i].eye.z)) / grid.scales.height));
    near.Add(Metres(g, nearest[i]));
    if (nearest[i] < 1e30) seen.Add(near.v.back());
  }
  if (o.flight_only) {
    for (size_t i = 0; i < flight.size(); ++i)
      printf("view %3zu: eye %.0f %.0f %.0f, tilt %.1f, heading %.1f, %.0f m above the ground, nearest in view %.0f m\n", i,
             flight[i].eye.x, flight[i].eye.y, flight[i].eye.z, flight[i].tilt, flight[i].heading, above.v[i], near.v[i]);
    return 0;
  }
  printf("flight: eye above the ground %.0f / %.0f / %.0f m (least / median / most), nearest point in view %.0f / "
         "%.0f / %.0f m; %zu views without terrain\n",
         above.Least(), above.Median(), above.Worst(), seen.Least(), seen.Median(), seen.Worst(),
         flight.size() - seen.v.size());
  FILE* csv = o.csv.empty() ? nullptr : fopen((o.csv + "_" + name + ".csv").c_str(), "w");
  if (csv)
    fprintf(csv, "px,view,above_m,nearest_m,strict_bound,screen_ms,screen_cpu_ms,triangles,achieved_px,limited,"
                 "first_frame_ms,frame_ms,strict_triangles,strict_ms\n");

  printf("| px | screen build ms med / worst (cpu med) | triangles med / worst | achieved px med / worst | limited |"
         " first frame ms med / worst | frame ms med / worst | strict views | bound med (units) | strict / screen "
         "triangles med | strict build ms med / worst | strict without budget: triangles med |\n"
         "|---|---|---|---|---|---|---|---|---|---|---|---|\n");
  for (const double px : {1.0, 2.0}) {
    Series build, cpu, tris, achieved, first_frame, frame, s_bound, s_ratio, s_build, s_needed;
    int limited = 0;
    for (size_t i = 0; i < flight.size(); ++i) {
      const int b = StrictBoundFor(px, nearest[i], grid.scales.height);
      auto start = Clock::now();
      const double cpu_start = CpuSeconds();
      const IndexedMesh m = mesh::BuildIndexedMesh(g, ScreenSettingsFor(grid, flight[i], px, b, o.mode));
      build.Add(Since(start) * 1e3);
      cpu.Add((CpuSeconds() - cpu_start) * 1e3);
      tris.Add(static_cast<double>(m.triangle_count));
      achieved.Add(m.screen.achieved_px);
      limited += m.screen.limited;
      double frame_first = 0, frame_next = 0;
      if (draw) {
        frame_first = drawer.Frame(grid, flight[i], m, true) * 1e3;
        frame_next = drawer.Frame(grid, flight[i], m, false) * 1e3;
        first_frame.Add(frame_first);
        frame.Add(frame_next);
        if (!o.pictures.empty() && px == 1 && i % 25 == 0) drawer.Save(o.pictures + "/" + name + "_" + std::to_string(i) + ".png");
      }
      long long strict_triangles = -1;
      double strict_ms = 0;
      if (o.strict_every > 0 && i % o.strict_every == 0) {
        mesh::Settings s = BaseSettings(g, o.mode);
        s.bound = b;
        start = Clock::now();
        const IndexedMesh strict = mesh::BuildIndexedMesh(g, s);
        strict_ms = Since(start) * 1e3;
        strict_triangles = strict.triangle_count;
        s_build.Add(strict_ms);
        s_ratio.Add(static_cast<double>(strict.triangle_count) / std::max<long long>(m.triangle_count, 1));
        s_bound.Add(b);
        if (o.mode == 1) {  // what the bound takes without the triangle budget
          const auto h = mesh::TriangleErrorHierarchyOfGrid(g, [] {});
          long long needed = h->CountFromHistogram(b);
          if (needed < 0) {
            needed = 0;
            h->Walk(b, [&](const mesh::TreeTriangle&) { ++needed; }, [] { return false; }, [] {});
          }
          s_needed.Add(static_cast<double>(needed));
        }
      }
      if (csv)
        fprintf(csv, "%.0f,%zu,%.1f,%.1f,%d,%.1f,%.1f,%lld,%.3f,%d,%.1f,%.1f,%lld,%.1f\n", px, i, above.v[i], near.v[i], b,
                build.v.back(), cpu.v.back(), m.triangle_count, m.screen.achieved_px, m.screen.limited ? 1 : 0, frame_first,
                frame_next, strict_triangles, strict_ms);
    }
    printf("| %.0f | %.1f / %.1f (%.1f) | %.0f / %.0f | %.2f / %.2f | %d | %.1f / %.1f | %.1f / %.1f | %zu | %.0f | %.2f | "
           "%.1f / %.1f | %s |\n",
           px, build.Median(), build.Worst(), cpu.Median(), tris.Median(), tris.Worst(), achieved.Median(),
           achieved.Worst(), limited, first_frame.Median(), first_frame.Worst(), frame.Median(), frame.Worst(),
           s_ratio.v.size(), s_bound.Median(), s_ratio.Median(), s_build.Median(), s_build.Worst(),
           s_needed.v.empty() ? "-" : std::to_string(static_cast<long long>(s_needed.Median())).c_str());
    fflush(stdout);
  }
  if (csv) fclose(csv);
  if (draw) drawer.Close();
  return 0;
}

// Runs `work` in a child process; its exit status.
template <class Work>
int InChild(Work work) {
  fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    const int status = work();
    fflush(stdout);
    _exit(status);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--views" && i + 1 < argc)
      o.views = std::max(8, atoi(argv[++i]));
    else if (a == "--strict-every" && i + 1 < argc)
      o.strict_every = atoi(argv[++i]);
    else if (a == "--no-draw")
      o.draw = false;
    else if (a == "--csv" && i + 1 < argc)
      o.csv = argv[++i];
    else if (a == "--pictures" && i + 1 < argc)
      o.pictures = argv[++i];
    else if (a == "--flight")
      o.flight_only = true;
    else if (a == "--quads")
      o.mode = 0;
    else if (a == "fractal" || a == "real")
      o.grids.push_back(a);
    else {
      printf("usage: %s [--views N] [--strict-every K] [--no-draw] [--quads] [--csv STEM] [--pictures DIR] "
             "[--flight] [fractal] [real]\n", argv[0]);
      return 2;
    }
  }
  if (o.grids.empty()) o.grids = {"fractal", "real"};
  int failures = 0;
  for (const std::string& name : o.grids) {
    const bool fractal = name == "fractal";
    const std::string path = std::string(GENERATED_DATA_DIR) +
                             (fractal ? "/screen_flight_fractal_4097.tif" : "/screen_flight_jacksboro_16385.tif");
    if (!Exists(path)) {
      printf("making %s\n", path.c_str());
      const auto start = Clock::now();
      if (InChild([&] { return (fractal ? MakeFractal(path) : MakeReal(path)) ? 0 : 1; }) != 0) {
        printf("could not make %s\n", path.c_str());
        ++failures;
        continue;
      }
      printf("made in %.1f s\n", Since(start));
    }
    failures += InChild([&] { return RunGrid(name, path, o); }) != 0;
  }
  return failures == 0 ? 0 : 1;
}
