// The command line: the grid and texture, what to do with them (a window, a picture
// rendered off screen, a mesh file), and the settings the panel would otherwise set, so
// that a picture or a mesh made from a script is the view a user set up.
#pragma once

#include <string>
#include <vector>

#include "CameraPlace.h"
#include "ColourRamp.h"
#include "Status.h"

namespace command_line {

using ::CameraPlace;

// Each setting keeps its start value unless its option was given.
struct Options {
  std::vector<std::string> files;  // GRID [TEXTURE]
  bool help = false;
  bool version = false;
  std::string export_path;
  bool base = false;
  double print_size = 0;       // --print-size: the model's longest side in millimetres, 0: none
  double base_thickness = 2;   // --base-thickness: millimetres under the lowest point
  bool base_thickness_given = false;
  std::string flight_path;     // --flight: the keyframes --video follows
  std::string video_path;      // --video: an .mp4 file, or a folder (ending in /) for PNG frames
  int fps = 30;                // --fps: frames a second of the video
  bool fps_given = false;
  std::string snapshot_path;
  bool size_given = false;
  int width = 1024, height = 768;
  int screen = -1;         // -1: not given, else 0 or 1
  double screen_px = -1;   // the bound --screen-error gave, -1: none
  int triangle_cap = -1;   // -1: not given
  int precision = -1;  // -1: not given
  int error = -1;
  bool triangles = false;
  bool simplify = false;
  int strict = -1;    // -1: not given, else 0 or 1
  int shading = -1;   // 0 colour, 1 texture, 2 plain
  bool wireframe = false;
  bool no_light = false;
  bool y_scale_given = false, xz_scale_given = false;
  float y_scale = 1.0f, xz_scale = 1.0f;
  bool camera_given = false;
  CameraPlace camera;
  bool degrees = false, metres = false;  // the grid's cell size, over the readers' guess
  // How the terrain looks: each flag turns its panel toggle on.
  bool relief = false, multidirectional = false, shadows = false, ambient_occlusion = false;
  bool sun_given = false;
  double sun_azimuth = 315, sun_altitude = 45;
  bool legend = false, sky = false, haze = false, marker = false;
  std::string colors;       // --colors: a ramp's name or a colour table file
  bool colors_file = false;  // `colors` names a file, read into colour_table (ReadColourFile)
  ColourRamp colour_table;
  // Measuring: a profile's corners (--profile columns and rows, --profile-geo longitudes and
  // latitudes) and its CSV file; contours every `contours` metres (0: not given) and
  // their GIS file; the scale bar and north arrow.
  std::string profile_corners;
  bool profile_geo = false;
  std::string profile_out;
  double contours = 0;
  std::string contours_out;
  bool scale_bar = false, north_arrow = false;
};

// The largest picture side: what the off-screen renderer can draw in one go.
constexpr int kMaxPictureSide = 16384;

// Reads argv[1..argc-1]. Options may stand anywhere; the other words are the files. On a
// bad option or value, a failure whose reason is the one line that says which and why.
Status Parse(int argc, const char* const* argv, Options* options);

// Reads the colour table file --colors names, if it names one: a failure says which line
// of which file is wrong, or why the file cannot be read.
Status ReadColourFile(Options* options);

// Sets the viewer's settings the options give; the camera waits for the window or the
// off-screen picture (see `start_camera`).
void ApplySettings(const Options& options);

// The options that give the viewer's present settings and `camera` (those at their start
// values left out), in the order --help lists them: " --precision 8 --camera ...", after
// --degrees or --metres when the grid was read so.
std::string DescribeSettings(const CameraPlace& camera);

// `word` as one shell word: quoted when it holds spaces, quotes, $ or backslashes.
std::string ShellWord(const std::string& word);

}  // namespace command_line
