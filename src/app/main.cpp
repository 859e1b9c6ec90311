// Entry point: greets the user, loads the height grid named on the command line and
// hands over to the viewer window, or writes a mesh file. Pictures without a window come
// from a second program built from this file (BRACKENHOLMER_OFFSCREEN) with Mesa's
// off-screen renderer in place of the system's OpenGL, to which --snapshot hands over.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <new>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "CommandLine.h"
#include "CurrentDrawScales.h"
#include "MeshBuild.h"
#include "MeshExport.h"
#include "MeshList.h"
#include "TerrainLoader.h"
#ifdef BRACKENHOLMER_OFFSCREEN
#include "OffscreenRender.h"
#endif

namespace {

const char kHelp[] =
    "Usage: %s GRID [TEXTURE] [SETTINGS]\n"
    "       %s GRID [TEXTURE] [SETTINGS] --snapshot OUT.png\n"
    "       %s GRID [TEXTURE] [SETTINGS] --export OUT.{obj,stl,ply} [--base]\n"
    "       %s --help | --version\n"
    "\n"
    "Shows the elevation model GRID as a 3-D terrain in a window, optionally draped\n"
    "with the image TEXTURE, and lets you fly over it.\n"
    "\n"
    "GRID     an ARC/INFO ASCII grid (.asc), or any raster GDAL reads: GeoTIFF (.tif),\n"
    "         SRTM HGT (.hgt), ERDAS Imagine (.img), netCDF, ... Cells in degrees of a\n"
    "         geographic system count 30 metres an arc-second; cells of a projected\n"
    "         system are taken in metres. A grid without a system is read in degrees\n"
    "         when its place fits longitudes and latitudes. Heights and spacing keep\n"
    "         their fractions of a metre (to 1 cm or better).\n"
    "TEXTURE  a BMP, PNG, JPEG or other image that SDL2_image reads, north up.\n"
    "\n"
    "--export OUT  writes the mesh of the start-up settings to OUT instead of opening\n"
    "              a window: OBJ (with an .mtl naming TEXTURE), binary STL or binary\n"
    "              PLY by the ending. An existing OUT is left alone.\n"
    "--base        the mesh gets walls and a flat bottom: a closed solid to print.\n"
    "--snapshot OUT  draws the start view into the picture OUT (PNG) with no window and\n"
    "              no display needed. An existing OUT is left alone.\n"
    "\n"
    "SETTINGS, as the panel sets them (the window, --snapshot and --export use them):\n"
    "  --size WxH           window or picture size (1024x768)\n"
    "  --precision N        subdivision levels, 0 to 100 (6)\n"
    "  --error N            Max. Approx. Error, 1 to 100 (10)\n"
    "  --triangles          triangle subdivision instead of quads\n"
    "  --simplify           Mesh Simplification: adaptive meshes within the error\n"
    "  --strict, --no-strict  Strict Error on (the default) or off\n"
    "  --shading color|texture|plain   Rendering Mode (color)\n"
    "  --wireframe, --no-light\n"
    "  --y-scale F          Y-Multiplier, -20 to 20 (1)\n"
    "  --xz-scale F         X-Z-Multiplier, 0 to 20 (1)\n"
    "  --degrees, --metres  read the grid's cell size in degrees or in metres, over\n"
    "                       the guess from its coordinate system or place\n"
    "  --camera X,Y,Z,TILT,HEADING  the camera's place in world units (the terrain's\n"
    "                       centre is 0,0,0, y up), TILT degrees below the horizon,\n"
    "                       HEADING degrees (0 looks north, 90 west); default: south of\n"
    "                       the terrain, 30 degrees down. Home and r come back to it.\n"
    "\n"
    "In the window:\n"
    "  left drag            turn the camera (one pixel is one degree)\n"
    "  right drag           move along the view (up/down) and sideways (left/right)\n"
    "  both buttons drag    move up/down and sideways\n"
    "  w s                  fly forward, backward\n"
    "  a d                  move along the terrain's x axis\n"
    "  arrow keys           turn left/right, look up/down\n"
    "  x y z (X Y Z)        turn the model about its axes\n"
    "  m                    start or stop the spin\n"
    "  + -                  one subdivision level more or less\n"
    "  p                    save the view as a numbered PNG in the current folder\n"
    "  Home r               back to the start view      h F1  the key card\n"
    "  Esc q                quit\n"
    "  Properties (bottom)  shading, mesh, scales, error bound, borders; Quit\n"
    "\n"
    "Exit status: 0 after Quit or closing the window or a written file; 1 when no grid\n"
    "is given, the grid cannot be loaded, a file cannot be written, or there is no\n"
    "display; 2 for an unknown option or a bad value.\n";

// Each line of `text` as a console line of its own.
void PrintLines(const char* text) {
  while (*text != '\0') {
    const char* end = strchr(text, '\n');
    const int length = end ? static_cast<int>(end - text) : static_cast<int>(strlen(text));
    printf("\t%.*s\n\n", length, text);
    text += length + (end ? 1 : 0);
  }
}

#ifndef BRACKENHOLMER_OFFSCREEN
// Builds the mesh of the loaded grid at the start-up settings and writes it to `out`, with
// no display; prints the outcome. The exit status.
int ExportMesh(const char* out, const char* texture, bool base) {
  if (!show_nodata && !GridHoldsHeights()) {
    printf("\tCannot export %s: %s.\n\n", out, kNoTerrainReason);
    return 1;
  }
  MeshWholeGrid();
  Viewer.CalcNormales();
  if (normales == nullptr) {
    printf("\tCannot export %s: not enough memory for the normals of the grid.\n\n", out);
    return 1;
  }
  const IndexedMesh mesh = mesh::BuildIndexedMesh(input, mesh::CurrentSettings());
  mesh::PrintLimitLine(mesh.limit_line);
  mesh_export::Options options;
  options.base = base;
  options.units_per_metre = input.units_per_metre;
  if (texture != nullptr) options.texture = texture;
  mesh_export::Written written;
  const std::string error = mesh_export::Write(mesh, CurrentDrawScales(), out, options, &written);
  if (!error.empty()) {
    printf("\t%s\n\n", error.c_str());
    return 1;
  }
  printf("\tWrote %zu vertices and %zu triangles to %s.\n\n", written.vertices, written.triangles, out);
  return 0;
}

// Hands the whole command line to the off-screen program beside this one. Returns only
// when it cannot be started.
int HandOverToOffscreenRenderer(char** argv) {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string(argv[0]);
  path = path.substr(0, path.find_last_of('/') + 1) + "brackenholmer-offscreen";
  fflush(stdout);
  execv(path.c_str(), argv);
  printf("\t!!! Cannot start %s for --snapshot: %s !!!\n\n", path.c_str(), strerror(errno));
  return 1;
}

#endif

}  // namespace

static int Run(int argc, char** argv) {
  const char* self = argv[0] ? argv[0] : "brackenholmer";
  command_line::Options options;
  std::string error;
  if (!command_line::Parse(argc, argv, &options, &error)) {
    printf("\t!!! %s !!!\n\n", error.c_str());
    return 2;
  }
  if (options.help) {
    printf(kHelp, self, self, self, self);
    return 0;
  }
  if (options.version) {
    puts("Brackenholmer 1.0");
    return 0;
  }
#ifdef BRACKENHOLMER_OFFSCREEN
  if (options.snapshot_path.empty()) {
    printf("\t!!! %s draws pictures: --snapshot OUT.png is needed !!!\n\n", self);
    return 2;
  }
#else
  if (!options.snapshot_path.empty()) return HandOverToOffscreenRenderer(argv);
#endif

  TerrainLoader loader;

  puts("\n\n\t-------------------------------------");
  puts("\t|   Welcome to Brackenholmer 1.0    |");
  puts("\t-------------------------------------\n");

  if (options.files.empty()) {
    printf("\t!!! Usage: %s [TERRAIN FILE] [TEXTURE FILE]!!!\n\n", self);
    return 1;
  }
  // The program, the grid and the texture, as the window and the pictures take them.
  std::vector<char*> files{argv[0]};
  for (size_t i = 0; i < options.files.size() && i < 2; ++i) files.push_back(options.files[i].data());
  files.push_back(nullptr);
  const char* grid = files[1];
  [[maybe_unused]] const char* texture = files[2];

  printf("\t%s %s %s\n\n", "Loading terrain file", grid, "..");
  fflush(stdout);
  loader.units = options.degrees ? CellUnits::kDegrees : options.metres ? CellUnits::kMetres : CellUnits::kGuess;
  bool loaded = loader.LoadTerrainFile(grid);
  PrintLines(loader.note);
  printf("\t%s\n\n", loader.msg);
  PrintLines(loader.reason);
  // The viewer opens all the same, with nothing to draw until "Show NODATA" is ticked.
  if (loaded && !GridHoldsHeights()) printf("\t%s\n\n", "The grid holds no heights: every cell is NODATA.");
  // The window takes over next; the console dialogue must be out before it.
  fflush(stdout);
  // A script must tell a refused grid from a viewed one.
  if (!loaded) return 1;
  // Said when it shows in four decimals: grids near the equator are drawn all but square.
  if (std::fabs(GridColumnRatio() - 1.0) >= 0.00005) {
    printf("\tThe grid is in degrees around latitude %.4f: its columns are drawn %.4f times as far apart as "
           "its rows (\"Square Cells\" draws them square).\n\n",
           CentreLatitude(input.place, input.rows), GridColumnRatio());
    fflush(stdout);
  }

  command_line::ApplySettings(options);
  const int file_count = static_cast<int>(files.size()) - 1;
  int status = 0;
#ifdef BRACKENHOLMER_OFFSCREEN
  status = RenderSnapshot(options.snapshot_path.c_str(), options.width, options.height, file_count, files.data());
#else
  if (!options.export_path.empty()) {
    status = ExportMesh(options.export_path.c_str(), texture, options.base);
  } else {
    width = options.width;
    height = options.height;
    status = OpenViewer(file_count, files.data());
  }
#endif
  fflush(stdout);
  return status;
}

int main(int argc, char** argv) {
  // A picture or a mesh that runs out of memory where nothing else catches it ends with a
  // reason and the status of an unwritten file, not with an abort.
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    printf("\tNot enough memory to go on: nothing more is written.\n\n");
    fflush(stdout);
    return 1;
  }
}
