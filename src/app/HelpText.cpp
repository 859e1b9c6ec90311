#include "HelpText.h"

#include <cstdio>

#include "KeyTable.h"

namespace {

const char kHelpStart[] =
    "Usage: %s GRID [TEXTURE] [SETTINGS]\n"
    "       %s GRID [TEXTURE] [SETTINGS] --snapshot OUT.png\n"
    "       %s GRID [TEXTURE] [SETTINGS] --export OUT.{obj,stl,ply,glb} [--base]\n"
    "                [--print-size MM [--base-thickness MM]]\n"
    "       %s GRID [TEXTURE] [SETTINGS] --flight FILE --video OUT.mp4|DIR/ [--fps N]\n"
    "       %s --help | --version\n"
    "\n"
    "Shows the elevation model GRID as a 3-D terrain in a window, optionally draped\n"
    "with the image TEXTURE, and lets you fly over it.\n"
    "\n"
    "%s\n"
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
    "              PLY, or binary glTF (.glb: metres, y up, TEXTURE inside) by the\n"
    "              ending. An existing OUT is left alone.\n"
    "--base        the mesh gets walls and a flat bottom: a closed solid to print.\n"
    "--print-size MM  a model to print: STL, PLY or OBJ in millimetres, z up, its\n"
    "              longest side MM long, heights to the same scale times the\n"
    "              Y-Multiplier.\n"
    "--base-thickness MM  with --base and --print-size, the bottom lies MM below the\n"
    "              lowest point (2).\n"
    "--flight FILE --video OUT  renders the flight FILE (keyframes saved in the\n"
    "              window with k and Save Flight) with no window: an H.264 MP4, or\n"
    "              numbered PNG frames in the folder OUT/. --fps N frames a second\n"
    "              (30); --size the frame size (even sides for MP4). An existing OUT\n"
    "              is left alone.\n"
    "--snapshot OUT  draws the start view into the picture OUT (PNG) with no window and\n"
    "              no display needed. An existing OUT is left alone.\n"
    "\n"
    "SETTINGS, as the panel sets them (the window, --snapshot and --export use them):\n"
    "  --size WxH           window or picture size (1024x768)\n"
    "  --screen-error PX    Screen Error on, bound PX pixels, 0.25 to 20 (1)\n"
    "  --no-screen-error    Screen Error off (the default)\n"
    "  --triangle-cap N     Max. Triangles under Screen Error, 1000 to 100000000\n"
    "                       (1000000); past it the bound is raised for the view\n"
    "  --precision N        subdivision levels, 0 to 100 (6)\n"
    "  --error N            Max. Approx. Error, 1 to 100 (10)\n"
    "  --triangles          triangle subdivision instead of quads\n"
    "  --simplify           Mesh Simplification: adaptive meshes within the error\n"
    "  --strict, --no-strict  Strict Error on (the default) or off\n"
    "  --shading color|texture|plain   Rendering Mode (color)\n"
    "  --wireframe, --no-light\n"
    "  --y-scale F          Y-Multiplier, -20 to 20 (1)\n"
    "  --xz-scale F         X-Z-Multiplier, 0 to 20 (1)\n"
    "  --relief             Relief Shading: light and shade from the grid's own heights\n"
    "  --sun AZ,ALT         the sun's azimuth (clockwise from north) and altitude in\n"
    "                       degrees (315,45)\n"
    "  --multidirectional   four lights around the north-west instead of one sun\n"
    "  --shadows            Shadows: the terrain casts shadows from the sun\n"
    "  --ambient-occlusion  Ambient Occlusion: valleys darken under less open sky\n"
    "  --colors NAME|FILE   Colors of Color mode: default, hypsometric (sea blues to\n"
    "                       snow), grey, or a gdaldem color-relief table FILE\n"
    "  --legend             the colour legend, also in pictures\n"
    "  --sky, --haze        a sky behind the terrain; haze over the distance\n"
    "  --marker             pictures show the floodlight marker\n"
    "  --degrees, --metres  read the grid's cell size in degrees or in metres, over\n"
    "                       the guess from its coordinate system or place\n"
    "  --camera X,Y,Z,TILT,HEADING  the camera's place in world units (the terrain's\n"
    "                       centre is 0,0,0, y up), TILT degrees below the horizon,\n"
    "                       HEADING degrees (0 looks north, 90 west); default: south of\n"
    "                       the terrain, 30 degrees down. Home and r come back to it.\n"
    "\n"
    "In the window:\n";

// After the window's keys, from the key table.
const char kHelpEnd[] =
    "  Properties (bottom)  shading, mesh, scales, error bound, borders; Quit\n"
    "\n"
    "Exit status: 0 after Quit or closing the window or a written file; 1 when no grid\n"
    "is given, the grid or the --colors table cannot be loaded, a file cannot be\n"
    "written, or there is no display; 2 for an unknown option or a bad value.\n";

}  // namespace

void PrintHelp(const char* self) {
  printf(kHelpStart, self, self, self, self, self, ScreenErrorLead().console);
  fputs(KeyTableForConsole().c_str(), stdout);
  fputs(kHelpEnd, stdout);
}
