// Speed and peak memory of the grid readers.
//
// Loads the 1201 x 1201 resampled Jacksboro grid, two generated ASCII grids (an integer
// one of about 60 MB and a one-decimal one), a generated 3601 x 3601 Int16 GeoTIFF next
// to the ASCII grid of the same heights, and 4097 x 4097 Int16 and Float32 GeoTIFFs, tiled
// and striped, each measured in a fresh process so that the peak resident memory (VmHWM)
// belongs to that load alone. Prints MB/s and the peak against the budget of file size
// plus grid; for rasters read through GDAL also GDAL's own read of the band into its
// native type, the floor of that path.
//
//   bench_terrain_loader              all cases
//   bench_terrain_loader FILE...      the given grids
//
// Build with -DCMAKE_BUILD_TYPE=Release for figures worth quoting.
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gdal.h>

#include "TerrainLoader.h"

namespace {

constexpr int kRuns = 7;

// Processor time of this process: the machine is shared, so wall time also shows the
// other processes' load; both are printed.
double CpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}

// A field of /proc/self/status in kB, such as "VmHWM:" or "VmRSS:".
long StatusKb(const char* field) {
  FILE* status = fopen("/proc/self/status", "r");
  if (!status) return -1;
  char line[256];
  long kb = -1;
  while (fgets(line, sizeof line, status))
    if (strncmp(line, field, strlen(field)) == 0) kb = atol(line + strlen(field));
  fclose(status);
  return kb;
}

void ReleaseGrid() {
  for (int r = 0; r < input.rows; ++r) delete[] input.values[r];
  delete[] input.values;
  input = data{};
}

// Writes a grid as GDAL does (each row opens with a blank), once; later runs reuse it.
std::string Generate(const char* name, int rows, int cols, bool decimals) {
  const std::string path = std::string(GENERATED_DATA_DIR "/") + name;
  struct stat info;
  if (stat(path.c_str(), &info) == 0) return path;
  const std::string partial = path + ".part";
  FILE* file = fopen(partial.c_str(), "w");
  if (!file) return path;
  fprintf(file, "ncols        %d\nnrows        %d\nxllcorner    -84.4\nyllcorner    36.4\n"
                "cellsize     0.000833333333\nNODATA_value -9999\n", cols, rows);
  unsigned seed = 12345;
  std::string line;
  for (int r = 0; r < rows; ++r) {
    line.clear();
    for (int c = 0; c < cols; ++c) {
      seed = seed * 1664525u + 1013904223u;
      const int height = (r * 7 + c * 3) % 2400 - 200 + int(seed >> 28);  // terrain-like, some below 0
      char cell[24];
      const int n = decimals ? snprintf(cell, sizeof cell, " %d.%u", height, (seed >> 20) % 10)
                             : snprintf(cell, sizeof cell, " %d", height);
      line.append(cell, n);
    }
    line += '\n';
    fwrite(line.data(), 1, line.size(), file);
  }
  fclose(file);
  rename(partial.c_str(), path.c_str());
  return path;
}

// The same heights as a 3601 x 3601 Int16 GeoTIFF in degrees (an SRTM 1" tile's size) and
// as the ASCII grid GDAL writes from it.
std::vector<std::string> GenerateTiffAndAscii() {
  const std::string tif = std::string(GENERATED_DATA_DIR "/") + "brackenholmer_bench_int16_3601x3601.tif";
  const std::string asc = std::string(GENERATED_DATA_DIR "/") + "brackenholmer_bench_int16_3601x3601.asc";
  struct stat info;
  if (stat(tif.c_str(), &info) != 0 || stat(asc.c_str(), &info) != 0) {
    const int n = 3601;
    std::vector<int16_t> heights(static_cast<size_t>(n) * n);
    unsigned seed = 12345;
    for (int r = 0; r < n; ++r)
      for (int c = 0; c < n; ++c) {
        seed = seed * 1664525u + 1013904223u;
        heights[static_cast<size_t>(r) * n + c] = static_cast<int16_t>((r * 7 + c * 3) % 2400 - 200 + int(seed >> 28));
      }
    GDALAllRegister();
    GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), tif.c_str(), n, n, 1, GDT_Int16, nullptr);
    double gt[6] = {-85, 1.0 / 3600, 0, 37, 0, -1.0 / 3600};
    GDALSetGeoTransform(ds, gt);
    GDALSetProjection(ds, "EPSG:4326");
    if (GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Write, 0, 0, n, n, heights.data(), n, n, GDT_Int16, 0, 0) != CE_None)
      return {};
    GDALClose(ds);
    FILE* file = fopen(asc.c_str(), "w");
    if (!file) return {};
    fprintf(file, "ncols        %d\nnrows        %d\nxllcorner    -85\nyllcorner    36\n"
                  "cellsize     0.000277777778\nNODATA_value -9999\n", n, n);
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c < n; ++c) fprintf(file, " %d", heights[static_cast<size_t>(r) * n + c]);
      fputc('\n', file);
    }
    fclose(file);
  }
  return {tif, asc};
}

// 4097 x 4097 GeoTIFFs of `type` (Int16 in whole metres, Float32 with centimetres), tiled
// 256 x 256 or in GDAL's default strips, with a NODATA value and a few cells of it.
std::string GenerateGeoTiff(GDALDataType type, bool tiled) {
  const std::string path = std::string(GENERATED_DATA_DIR "/") + "brackenholmer_bench_" +
                           GDALGetDataTypeName(type) + (tiled ? "_tiled" : "_striped") + "_4097x4097.tif";
  struct stat info;
  if (stat(path.c_str(), &info) == 0) return path;
  const int n = 4097;
  std::vector<float> heights(static_cast<size_t>(n) * n);
  unsigned seed = 54321;
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) {
      seed = seed * 1664525u + 1013904223u;
      const float whole = static_cast<float>((r * 5 + c * 3) % 2600 - 150 + int(seed >> 28));
      heights[static_cast<size_t>(r) * n + c] = type == GDT_Int16 ? whole : whole + ((seed >> 16) % 100) * 0.01f;
    }
  for (int i = 0; i < 1000; ++i) heights[(static_cast<size_t>(i) * 16769023u) % heights.size()] = -9999;
  GDALAllRegister();
  const std::string partial = path + ".part.tif";
  char tiling[] = "TILED=YES";
  char* options[] = {tiling, nullptr};
  GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), partial.c_str(), n, n, 1, type, tiled ? options : nullptr);
  if (!ds) return path;
  double gt[6] = {-85, 1.0 / 3600, 0, 37, 0, -1.0 / 3600};
  GDALSetGeoTransform(ds, gt);
  GDALSetProjection(ds, "EPSG:4326");
  GDALSetRasterNoDataValue(GDALGetRasterBand(ds, 1), -9999);
  const CPLErr written =
      GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Write, 0, 0, n, n, heights.data(), n, n, GDT_Float32, 0, 0);
  GDALClose(ds);
  if (written == CE_None) rename(partial.c_str(), path.c_str());
  return path;
}

struct Seconds {
  double wall = 0, cpu = 0;  // the best of the runs
};

// GDAL alone: open the file and read band 1 whole into its native type, or into `as`.
Seconds BareGdalSeconds(const char* path, GDALDataType as = GDT_Unknown) {
  GDALAllRegister();
  std::vector<double> times, cpu;
  for (int i = 0; i < kRuns; ++i) {
    const double cpu_start = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    GDALDatasetH ds = GDALOpen(path, GA_ReadOnly);
    if (!ds) return {};
    const int cols = GDALGetRasterXSize(ds), rows = GDALGetRasterYSize(ds);
    GDALRasterBandH band = GDALGetRasterBand(ds, 1);
    const GDALDataType type = as != GDT_Unknown ? as : GDALGetRasterDataType(band);
    std::vector<char> cells(static_cast<size_t>(rows) * cols * GDALGetDataTypeSizeBytes(type));
    const CPLErr read = GDALRasterIO(band, GF_Read, 0, 0, cols, rows, cells.data(), cols, rows, type, 0, 0);
    GDALClose(ds);
    if (read != CE_None) return {};
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    cpu.push_back(CpuSeconds() - cpu_start);
  }
  return {*std::min_element(times.begin(), times.end()), *std::min_element(cpu.begin(), cpu.end())};
}

// Runs in its own process: the first load gives the peak memory, the next ones the speed.
int Measure(const char* path) {
  struct stat info;
  if (stat(path, &info) != 0) {
    printf("%s: missing, skipped\n", path);
    return 0;
  }
  const double megabytes = info.st_size / 1e6;
  TerrainLoader loader;
  // A tiny load first brings the reader's code and the C library's buffers in, so the
  // peak below counts the load's data alone.
  const std::string warm_up = Generate("brackenholmer_bench_warm_up.asc", 2, 2, true);
  if (loader.LoadArcASCIIFile(warm_up.c_str())) ReleaseGrid();
  const long rss_before = StatusKb("VmRSS:");
  if (!loader.LoadTerrainFile(path)) {
    printf("%s\n", loader.msg);
    return 1;
  }
  const long peak = StatusKb("VmHWM:") - rss_before;
  const double grid_kb = (double(input.rows) * input.cols * sizeof(int) + double(input.rows) * sizeof(int*)) / 1024;
  const double budget = info.st_size / 1024.0 + grid_kb;
  const int rows = input.rows, cols = input.cols;
  ReleaseGrid();

  std::vector<double> wall, cpu;
  for (int i = 0; i < kRuns; ++i) {
    const double cpu_start = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const bool loaded = loader.LoadTerrainFile(path);
    wall.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    cpu.push_back(CpuSeconds() - cpu_start);
    if (!loaded) return 1;
    ReleaseGrid();
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  const char* name = strrchr(path, '/') ? strrchr(path, '/') + 1 : path;
  printf("%-38s %5.1f MB %4d x %-4d | wall: best %6.1f ms = %4.0f MB/s, median %4.0f MB/s | "
         "cpu: best %6.1f ms = %4.0f MB/s, median %4.0f MB/s | peak +%6.2f MB, budget %6.2f MB (x%.3f)\n",
         name, megabytes, rows, cols, wall.front() * 1e3, megabytes / wall.front(), megabytes / wall[kRuns / 2],
         cpu.front() * 1e3, megabytes / cpu.front(), megabytes / cpu[kRuns / 2], peak / 1024.0, budget / 1024.0,
         peak / budget);
  if (strstr(loader.msg, "succesfully (") != nullptr) {  // read through GDAL
    // The grid holds 32-bit ints: GDAL's read into those is the floor for a grid of them.
    for (GDALDataType as : {GDT_Unknown, GDT_Int32}) {
      const Seconds bare = BareGdalSeconds(path, as);
      printf("%-38s GDAL's own read of the band into %-6s: wall best %6.1f ms = %4.0f MB/s, cpu best %6.1f ms; "
             "the viewer's load takes x%.2f (wall), x%.2f (cpu)\n", "", as == GDT_Unknown ? "native" : "Int32",
             bare.wall * 1e3, megabytes / bare.wall, bare.cpu * 1e3, wall.front() / bare.wall, cpu.front() / bare.cpu);
    }
  }
  return 0;
}

int RunInFreshProcess(const char* self, const std::string& path) {
  fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    execl(self, self, "--measure", path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && strcmp(argv[1], "--measure") == 0) return Measure(argv[2]);

  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) paths.push_back(argv[i]);
  if (paths.empty()) {
    paths.push_back(GENERATED_DATA_DIR "/jacksboro_resampled_1201x1201.asc");
    paths.push_back(Generate("brackenholmer_bench_int_3000x4000.asc", 3000, 4000, false));
    paths.push_back(Generate("brackenholmer_bench_dec_1500x2000.asc", 1500, 2000, true));
    for (const std::string& path : GenerateTiffAndAscii()) paths.push_back(path);
    for (GDALDataType type : {GDT_Int16, GDT_Float32})
      for (bool tiled : {true, false}) paths.push_back(GenerateGeoTiff(type, tiled));
  }
  if (FILE* load = fopen("/proc/loadavg", "r")) {
    char line[128] = "";
    if (fgets(line, sizeof line, load)) printf("load average: %s", line);
    fclose(load);
  }
  int failures = 0;
  for (const std::string& path : paths) failures += RunInFreshProcess("/proc/self/exe", path) != 0;
  return failures ? 1 : 0;
}
