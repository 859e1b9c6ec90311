#include "CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cstdio>

#include "Brackenholmer.h"
#include "LookGlobals.h"
#include "CameraMath.h"
#include "Contours.h"
#include "MeasureGlobals.h"
#include "CurrentColourRamp.h"
#include "Mesh.h"
#include "ScreenView.h"

namespace command_line {

namespace {

// A whole number filling all of `text`, within [lo, hi].
bool WholeNumber(const char* text, int lo, int hi, int* value) {
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || errno != 0 || v < lo || v > hi) return false;
  *value = static_cast<int>(v);
  return true;
}

// A finite number filling all of `text`, within [lo, hi].
bool RealNumber(const char* text, double lo, double hi, double* value) {
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (end == text || *end != '\0' || errno != 0 || !std::isfinite(v) || v < lo || v > hi) return false;
  *value = v;
  return true;
}

// "WxH", each side 1 to kMaxPictureSide.
bool PictureSize(const char* text, int* w, int* h) {
  const char* x = std::strchr(text, 'x');
  if (x == nullptr) return false;
  const std::string first(text, x);
  return WholeNumber(first.c_str(), 1, kMaxPictureSide, w) && WholeNumber(x + 1, 1, kMaxPictureSide, h);
}

// "X,Y,Z,TILT,HEADING".
bool Camera(const char* text, CameraPlace* camera) {
  double v[5];
  const double tilt_limit = 90.0 - camera_math::kMinTilt;
  std::string rest = text;
  for (int i = 0; i < 5; ++i) {
    const size_t comma = rest.find(',');
    if ((comma == std::string::npos) != (i == 4)) return false;
    const std::string part = rest.substr(0, comma);
    const double lo = i == 3 ? -tilt_limit : -1e15, hi = i == 3 ? tilt_limit : 1e15;
    if (!RealNumber(part.c_str(), lo, hi, &v[i])) return false;
    if (comma != std::string::npos) rest.erase(0, comma + 1);
  }
  *camera = CameraPlace{v[0], v[1], v[2], v[3], v[4]};
  return true;
}

// "AZ,ALT": an azimuth from 0 to 360 degrees and an altitude from 0 to 90.
bool SunPlace(const char* text, double* azimuth, double* altitude) {
  const char* comma = std::strchr(text, ',');
  if (comma == nullptr) return false;
  const std::string first(text, comma);
  return RealNumber(first.c_str(), 0, 360, azimuth) && RealNumber(comma + 1, 0, 90, altitude);
}

// --degrees or --metres as given, for the command line of a picture: " --degrees".
std::string units_given;

// The --shading words, by rendering mode.
const char* const kShadings[] = {"color", "texture", "plain"};

// The options that take a value, and what the value must be.
struct ValueOption {
  const char* name;
  const char* needs;
};
const ValueOption kValueOptions[] = {
    {"--export", "a file name ending in .obj, .stl, .ply or .glb"},
    {"--print-size", "the model's longest side in millimetres, from 1 to 10000"},
    {"--base-thickness", "millimetres from 0.1 to 1000"},
    {"--flight", "a flight file"},
    {"--video", "a file name ending in .mp4, or a folder ending in /"},
    {"--fps", "a whole number of frames a second from 1 to 120"},
    {"--snapshot", "a file name ending in .png"},
    {"--size", "a picture size WxH, each side from 1 to 16384"},
    {"--screen-error", "a number of pixels from 0.25 to 20"},
    {"--triangle-cap", "a whole number from 1000 to 100000000"},
    {"--precision", "a whole number from 0 to 100"},
    {"--error", "a whole number from 1 to 100"},
    {"--shading", "color, texture or plain"},
    {"--y-scale", "a number from -20 to 20"},
    {"--xz-scale", "a number from 0 to 20"},
    {"--camera", "X,Y,Z,TILT,HEADING: five numbers, TILT from -89.5 to 89.5"},
    {"--colors", "default, hypsometric, grey or a colour table file"},
    {"--sun", "AZ,ALT: the sun's azimuth from 0 to 360 and altitude from 0 to 90 degrees"},
    {"--contours", "an interval in metres from 0.01 to 10000"},
    {"--contours-out", "a file name ending in .gpkg or .geojson"},
};

bool EndsWith(const std::string& s, const char* end) {
  const size_t n = std::strlen(end);
  return s.size() > n && s.compare(s.size() - n, n, end) == 0;
}

// Reads the value of `name`; false when it is not what the option needs.
bool ReadValue(const std::string& name, const char* value, Options* o) {
  double real = 0;
  if (name == "--export") {
    o->export_path = value;
    return EndsWith(o->export_path, ".obj") || EndsWith(o->export_path, ".stl") ||
           EndsWith(o->export_path, ".ply") || EndsWith(o->export_path, ".glb");
  }
  if (name == "--print-size") return RealNumber(value, 1, 10000, &o->print_size);
  if (name == "--base-thickness") return o->base_thickness_given = RealNumber(value, 0.1, 1000, &o->base_thickness);
  if (name == "--flight") return !(o->flight_path = value).empty();
  if (name == "--video") {
    o->video_path = value;
    return EndsWith(o->video_path, ".mp4") || (!o->video_path.empty() && o->video_path.back() == '/');
  }
  if (name == "--fps") return o->fps_given = WholeNumber(value, 1, 120, &o->fps);
  if (name == "--snapshot") {
    o->snapshot_path = value;
    return EndsWith(o->snapshot_path, ".png");
  }
  if (name == "--size") return o->size_given = PictureSize(value, &o->width, &o->height);
  if (name == "--screen-error") {
    if (!RealNumber(value, mesh::kMinScreenError, mesh::kMaxScreenError, &o->screen_px)) return false;
    o->screen = 1;
    return true;
  }
  if (name == "--triangle-cap") {
    return WholeNumber(value, mesh::kMinScreenTriangleCap, mesh::kMaxScreenTriangleCap, &o->triangle_cap);
  }
  if (name == "--precision") return WholeNumber(value, kMinPrecision, kMaxPrecision, &o->precision);
  if (name == "--error") return WholeNumber(value, 1, 100, &o->error);
  if (name == "--shading") {
    o->shading = -1;
    for (int i = 0; i < 3; ++i)
      if (std::strcmp(value, kShadings[i]) == 0) o->shading = i;
    return o->shading >= 0;
  }
  if (name == "--y-scale") {
    if (!RealNumber(value, -20, 20, &real)) return false;
    o->y_scale = static_cast<float>(real);
    return o->y_scale_given = true;
  }
  if (name == "--xz-scale") {
    if (!RealNumber(value, 0, 20, &real)) return false;
    o->xz_scale = static_cast<float>(real);
    return o->xz_scale_given = true;
  }
  if (name == "--colors") {
    o->colors = value;
    ColourRamp named;
    o->colors_file = !ColourRamp::Named(o->colors, &named);
    return !o->colors.empty();
  }
  if (name == "--sun") return o->sun_given = SunPlace(value, &o->sun_azimuth, &o->sun_altitude);
  if (name == "--contours") return RealNumber(value, kMinContourInterval, kMaxContourInterval, &o->contours);
  if (name == "--contours-out") {
    o->contours_out = value;
    return EndsWith(o->contours_out, ".gpkg") || EndsWith(o->contours_out, ".geojson");
  }
  return o->camera_given = Camera(value, &o->camera);
}

// The fewest digits that read back as `value`: 0.3f is "0.3", not "0.300000012".
std::string ShortestFloat(float value) {
  char text[32];
  for (int digits = 1; digits <= 9; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  return text;
}

}  // namespace

Status Parse(int argc, const char* const* argv, Options* o) {
  *o = Options{};
  for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
    const std::string word = argv[i];
    if (word.size() < 2 || word[0] != '-') {
      if (o->files.size() == 2) {
        return Status::Failure("\"" + word + "\" is one file too many: GRID and TEXTURE are the only files");
      }
      o->files.push_back(word);
      continue;
    }
    if (word == "--help" || word == "-h") o->help = true;
    else if (word == "--version") o->version = true;
    else if (word == "--base") o->base = true;
    else if (word == "--no-screen-error") o->screen = 0;
    else if (word == "--triangles") o->triangles = true;
    else if (word == "--simplify") o->simplify = true;
    else if (word == "--strict") o->strict = 1;
    else if (word == "--no-strict") o->strict = 0;
    else if (word == "--wireframe") o->wireframe = true;
    else if (word == "--no-light") o->no_light = true;
    else if (word == "--degrees") o->degrees = true;
    else if (word == "--metres") o->metres = true;
    else if (word == "--relief") o->relief = true;
    else if (word == "--multidirectional") o->multidirectional = true;
    else if (word == "--shadows") o->shadows = true;
    else if (word == "--ambient-occlusion") o->ambient_occlusion = true;
    else if (word == "--legend") o->legend = true;
    else if (word == "--sky") o->sky = true;
    else if (word == "--haze") o->haze = true;
    else if (word == "--marker") o->marker = true;
    else if (word == "--scale-bar") o->scale_bar = true;
    else if (word == "--north-arrow") o->north_arrow = true;
    else if (word == "--profile" || word == "--profile-geo") {
      // Two words: the corners, then the CSV file.
      if (!o->profile_out.empty()) return Status::Failure("--profile is given twice; one profile at a time");
      const bool geo = word == "--profile-geo";
      const bool has_values = i + 2 < argc && argv[i + 1] != nullptr && argv[i + 2] != nullptr;
      if (!has_values || !EndsWith(argv[i + 2], ".csv")) {
        return Status::Failure(word + (geo ? " needs LON,LAT,LON,LAT[,...] and" : " needs X1,Z1,X2,Z2[,...] and") +
                               " a file name ending in .csv");
      }
      o->profile_geo = geo;
      o->profile_corners = argv[i + 1];
      o->profile_out = argv[i + 2];
      i += 2;
    } else {
      const ValueOption* option = nullptr;
      for (const ValueOption& v : kValueOptions)
        if (word == v.name) option = &v;
      if (option == nullptr) {
        return Status::Failure(word + " is not an option; --help lists them");
      }
      if ((word == "--export" && !o->export_path.empty()) || (word == "--snapshot" && !o->snapshot_path.empty()) ||
          (word == "--video" && !o->video_path.empty())) {
        return Status::Failure(word + " is given twice; one file at a time");
      }
      const bool has_value = i + 1 < argc && argv[i + 1] != nullptr;
      if (!has_value || !ReadValue(word, argv[i + 1], o)) {
        return Status::Failure(word + " needs " + option->needs +
                               (has_value ? std::string(", not \"") + argv[i + 1] + "\"" : std::string()));
      }
      ++i;
    }
  }
  const bool measuring = !o->profile_out.empty() || !o->contours_out.empty();
  if (measuring && (!o->export_path.empty() || !o->snapshot_path.empty() || !o->video_path.empty())) {
    return Status::Failure("--profile and --contours-out go without --export, --snapshot and --video");
  }
  if (o->base && o->export_path.empty()) {
    return Status::Failure("--base goes with --export");
  }
  if (o->degrees && o->metres) {
    return Status::Failure("--degrees and --metres go one at a time");
  }
  if (!o->export_path.empty() && !o->snapshot_path.empty()) {
    return Status::Failure("--export and --snapshot go one at a time");
  }
  if (!o->video_path.empty() && (!o->export_path.empty() || !o->snapshot_path.empty())) {
    return Status::Failure("--video goes without --export and --snapshot");
  }
  if (o->video_path.empty() != o->flight_path.empty()) {
    return Status::Failure("--flight and --video go together");
  }
  if (o->fps_given && o->video_path.empty()) {
    return Status::Failure("--fps goes with --video");
  }
  if (o->print_size > 0 && o->export_path.empty()) {
    return Status::Failure("--print-size goes with --export");
  }
  if (o->base_thickness_given && !(o->base && o->print_size > 0)) {
    return Status::Failure("--base-thickness goes with --base and --print-size");
  }
  return Status::Ok();
}

Status ReadColourFile(Options* o) {
  if (!o->colors_file) return Status::Ok();
  return ReadColourTable(o->colors, &o->colour_table);
}

void ApplySettings(const Options& o) {
  if (o.screen_px >= 0) max_screen_error = static_cast<float>(o.screen_px);
  if (o.screen >= 0) screen_error = o.screen;
  if (o.triangle_cap >= 0) screen_triangle_cap = o.triangle_cap;
  if (o.precision >= 0) max_precision = o.precision;
  if (o.error >= 0) max_approx_error = o.error;
  if (o.triangles) mesh_mode = 1;
  if (o.simplify) mesh_simplification = 1;
  if (o.strict >= 0) strict_error = o.strict;
  if (o.shading >= 0) rendering_mode = o.shading;
  if (o.wireframe) wireframe = 1;
  if (o.no_light) light = 0;
  if (o.y_scale_given) y_multiplier = o.y_scale;
  if (o.xz_scale_given) xz_multiplier = o.xz_scale;
  if (o.relief) relief_shading = 1;
  if (o.sun_given) {
    sun_azimuth = static_cast<float>(o.sun_azimuth);
    sun_altitude = static_cast<float>(o.sun_altitude);
  }
  if (o.multidirectional) multidirectional = 1;
  if (o.shadows) cast_shadows = 1;
  if (o.ambient_occlusion) ambient_occlusion = 1;
  if (o.colors_file) SetColourRampFile(o.colour_table, o.colors);
  else if (o.colors == "hypsometric") colour_ramp = kHypsometricRamp;
  else if (o.colors == "grey" || o.colors == "gray") colour_ramp = kGreyRamp;
  else if (o.colors == "default") colour_ramp = kDefaultRamp;
  if (o.legend) show_legend = legend_in_pictures = show_scale_bar = show_north_arrow = 1;
  if (o.scale_bar) show_scale_bar = 1;
  if (o.north_arrow) show_north_arrow = 1;
  if (o.contours > 0) {
    show_contours = 1;
    contour_interval = static_cast<float>(o.contours);
  } else if (contour_interval <= 0 && input.values != nullptr) {
    contour_interval = static_cast<float>(AutomaticContourInterval(input));
  }
  if (o.sky) sky = 1;
  if (o.haze) haze = 1;
  if (o.marker) marker_in_pictures = 1;
  units_given = o.degrees ? " --degrees" : o.metres ? " --metres" : "";
  start_camera_given = o.camera_given;
  if (o.camera_given) start_camera = o.camera;
}

std::string DescribeSettings(const CameraPlace& camera) {
  std::string out = units_given;
  char word[160];
  const auto add = [&](const char* format, auto... values) {
    std::snprintf(word, sizeof word, format, values...);
    out += word;
  };
  // A bound set while the mode is off still reads back: "--screen-error 2 --no-screen-error".
  if (screen_error != 0 || max_screen_error != static_cast<float>(mesh::kDefaultScreenError)) {
    add(" --screen-error %s", ShortestFloat(max_screen_error).c_str());
    if (screen_error == 0) out += " --no-screen-error";
  }
  if (screen_triangle_cap != mesh::kDefaultScreenTriangleCap) add(" --triangle-cap %d", screen_triangle_cap);
  if (max_precision != 6) add(" --precision %d", max_precision);
  if (max_approx_error != 10) add(" --error %d", max_approx_error);
  if (mesh_mode != 0) out += " --triangles";
  if (mesh_simplification != 0) out += " --simplify";
  if (strict_error == 0) out += " --no-strict";
  if (rendering_mode > 0 && rendering_mode < 3) add(" --shading %s", kShadings[rendering_mode]);
  if (wireframe != 0) out += " --wireframe";
  if (light == 0) out += " --no-light";
  if (y_multiplier != 1.0f) add(" --y-scale %.9g", static_cast<double>(y_multiplier));
  if (xz_multiplier != 1.0f) add(" --xz-scale %.9g", static_cast<double>(xz_multiplier));
  if (relief_shading != 0) out += " --relief";
  if (sun_azimuth != 315.0f || sun_altitude != 45.0f)
    add(" --sun %s,%s", ShortestFloat(sun_azimuth).c_str(), ShortestFloat(sun_altitude).c_str());
  if (multidirectional != 0) out += " --multidirectional";
  if (cast_shadows != 0) out += " --shadows";
  if (ambient_occlusion != 0) out += " --ambient-occlusion";
  if (colour_ramp == kHypsometricRamp) out += " --colors hypsometric";
  if (colour_ramp == kGreyRamp) out += " --colors grey";
  if (colour_ramp == kFileRamp && ColourRampFileLoaded()) out += " --colors " + ShellWord(ColourRampFilePath());
  if (legend_in_pictures != 0) out += " --legend";
  if (show_contours != 0) add(" --contours %s", ShortestFloat(contour_interval).c_str());
  if (show_scale_bar != 0 && legend_in_pictures == 0) out += " --scale-bar";
  if (show_north_arrow != 0 && legend_in_pictures == 0) out += " --north-arrow";
  if (sky != 0) out += " --sky";
  if (haze != 0) out += " --haze";
  if (marker_in_pictures != 0) out += " --marker";
  add(" --camera %.10g,%.10g,%.10g,%.10g,%.10g", camera.x, camera.y, camera.z, camera.tilt, camera.heading);
  return out;
}

std::string ShellWord(const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t'\"$\\") == std::string::npos) return word;
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace command_line
