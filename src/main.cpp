// Entry point: greets the user, loads the height grid named on the command line and
// hands over to the viewer window.
#include <cmath>
#include <cstdio>
#include <cstring>

#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "DrawScales.h"
#include "MeshBuild.h"
#include "MeshExport.h"
#include "TerrainLoader.h"

namespace {

const char kHelp[] =
    "Usage: %s GRID [TEXTURE]\n"
    "       %s GRID [TEXTURE] --export OUT.{obj,stl,ply} [--base]\n"
    "       %s --help | --version\n"
    "\n"
    "Shows the elevation model GRID as a 3-D terrain in a window, optionally draped\n"
    "with the image TEXTURE, and lets you fly over it.\n"
    "\n"
    "GRID     an ARC/INFO ASCII grid (.asc), or any raster GDAL reads: GeoTIFF (.tif),\n"
    "         SRTM HGT (.hgt), ERDAS Imagine (.img), netCDF, ... Cells in degrees of a\n"
    "         geographic system count 30 height units an arc-second; cells of a\n"
    "         projected system are taken in metres.\n"
    "TEXTURE  a BMP, PNG, JPEG or other image that SDL2_image reads, north up.\n"
    "\n"
    "--export OUT  writes the mesh of the start-up settings to OUT instead of opening\n"
    "              a window: OBJ (with an .mtl naming TEXTURE), binary STL or binary\n"
    "              PLY by the ending. An existing OUT is left alone.\n"
    "--base        STL and PLY get walls and a flat bottom: a closed solid to print.\n"
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
    "  Properties (bottom)  shading, mesh, scales, error bound, borders; Quit\n"
    "\n"
    "Exit status: 0 after Quit or closing the window or a written export; 1 when no grid\n"
    "is given, the grid cannot be loaded, the export fails, or there is no display.\n";

// Each line of `text` as a console line of its own.
void PrintLines(const char* text) {
  while (*text != '\0') {
    const char* end = strchr(text, '\n');
    const int length = end ? static_cast<int>(end - text) : static_cast<int>(strlen(text));
    printf("\t%.*s\n\n", length, text);
    text += length + (end ? 1 : 0);
  }
}

// Builds the mesh of the loaded grid at the start-up settings and writes it to `out`, with
// no display; prints the outcome. The exit status.
int ExportMesh(const char* out, const char* texture, bool base) {
  MeshWholeGrid();
  Viewer.CalcNormales();
  if (normales == nullptr) {
    printf("\tCannot export %s: not enough memory for the normals of the grid.\n\n", out);
    return 1;
  }
  const IndexedMesh mesh = mesh::BuildIndexedMesh(mesh::CurrentSettings());
  mesh_export::Options options;
  options.base = base;
  if (texture != nullptr) options.texture = texture;
  const std::string error = mesh_export::Write(mesh, CurrentDrawScales(), out, options);
  if (!error.empty()) {
    printf("\t%s\n\n", error.c_str());
    return 1;
  }
  printf("\tWrote %zu vertices and %zu triangles to %s.\n\n", mesh.points.size(), mesh.indices.size() / 3, out);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* self = argv[0] ? argv[0] : "brackenholmer";
  // --export OUT and --base may stand anywhere; the rest keep their places.
  const char* export_path = nullptr;
  bool base = false;
  std::vector<char*> args;
  for (int i = 0; i < argc && argv[i] != nullptr; ++i) {
    if (i > 0 && strcmp(argv[i], "--base") == 0) {
      base = true;
    } else if (i > 0 && strcmp(argv[i], "--export") == 0) {
      if (i + 1 >= argc || argv[i + 1] == nullptr) {
        printf("\t!!! --export needs a file name ending in .obj, .stl or .ply !!!\n\n");
        return 1;
      }
      export_path = argv[++i];
    } else {
      args.push_back(argv[i]);
    }
  }
  args.push_back(nullptr);
  argc = static_cast<int>(args.size()) - 1;
  argv = args.data();
  if (base && export_path == nullptr) {
    printf("\t!!! --base goes with --export !!!\n\n");
    return 1;
  }
  if (argc >= 2 && argv[1] != nullptr) {
    if (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0) {
      printf(kHelp, self, self, self);
      return 0;
    }
    if (strcmp(argv[1], "--version") == 0) {
      puts("Brackenholmer 1.0");
      return 0;
    }
  }

  TerrainLoader loader;

  puts("\n\n\t-------------------------------------");
  puts("\t|   Welcome to Brackenholmer 1.0    |");
  puts("\t-------------------------------------\n");

  if (argc < 2 || argv[1] == nullptr) {
    printf("\t!!! Usage: %s [TERRAIN FILE] [TEXTURE FILE]!!!\n\n", self);
    return 1;
  }

  printf("\t%s %s %s\n\n", "Loading terrain file", argv[1], "..");
  fflush(stdout);
  bool loaded = loader.LoadTerrainFile(argv[1]);
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

  if (export_path != nullptr) {
    const int status = ExportMesh(export_path, argc >= 3 ? argv[2] : nullptr, base);
    fflush(stdout);
    return status;
  }
  return OpenViewer(argc, argv);
}
