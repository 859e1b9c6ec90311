#include "ColourRamp.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

RGBColor Bytes(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

double Mix(double lo, double hi, double t) { return lo + (hi - lo) * t; }

// gdaldem's colour names and its values for them.
struct NamedColour {
  const char* name;
  int r, g, b;
};
constexpr NamedColour kNames[] = {
    {"white", 255, 255, 255}, {"black", 0, 0, 0},       {"red", 255, 0, 0},       {"green", 0, 255, 0},
    {"blue", 0, 0, 255},      {"yellow", 255, 255, 0},  {"magenta", 255, 0, 255}, {"cyan", 0, 255, 255},
    {"aqua", 0, 191, 191},    {"grey", 191, 191, 191},  {"gray", 191, 191, 191},  {"orange", 255, 127, 0},
    {"brown", 191, 127, 63},  {"purple", 127, 0, 255},  {"violet", 127, 0, 255},  {"indigo", 0, 127, 255},
};

// A finite number filling all of `text`.
bool Number(const std::string& text, double* value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (*end != '\0' || errno != 0 || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  for (char c : line + " ") {
    if (c == ' ' || c == '\t' || c == ',' || c == '\r') {
      if (!field.empty()) fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  return fields;
}

// One entry's colour from fields[1..]; the reason otherwise.
std::string ReadColour(const std::vector<std::string>& f, RGBColor* colour) {
  if (f.size() == 2) {
    for (const NamedColour& n : kNames)
      if (f[1] == n.name) {
        *colour = Bytes(n.r, n.g, n.b);
        return "";
      }
    return "\"" + f[1] + "\" is no colour name gdaldem knows";
  }
  if (f.size() != 4 && f.size() != 5) return "an entry is HEIGHT R G B [A] or HEIGHT NAME";
  double v[4] = {0, 0, 0, 0};
  for (size_t i = 1; i < f.size(); ++i)
    if (!Number(f[i], &v[i - 1]) || v[i - 1] < 0 || v[i - 1] > 255)
      return "\"" + f[i] + "\" is no colour value from 0 to 255";
  *colour = {v[0] / 255, v[1] / 255, v[2] / 255};
  return "";
}

// One entry into `ramp`; the reason otherwise.
std::string ReadEntry(const std::vector<std::string>& f, ColourRamp* ramp) {
  RGBColor colour{};
  if (const std::string reason = ReadColour(f, &colour); !reason.empty()) return reason;
  const std::string& height = f[0];
  if (height == "nv") {
    ramp->SetNoData(colour);
    return "";
  }
  const bool percent = height.back() == '%';
  double value = 0;
  if (!Number(percent ? height.substr(0, height.size() - 1) : height, &value))
    return "\"" + height + "\" is no height (a number, N% or nv)";
  ramp->Add({value, percent, colour});
  return "";
}

}  // namespace

ColourRamp ColourRamp::Default() {
  ColourRamp ramp;
  ramp.terrain_color_ = true;
  return ramp;
}

ColourRamp ColourRamp::Hypsometric() {
  ColourRamp ramp;
  struct {
    double height;
    int r, g, b;
  } const kStops[] = {
      // Sea: deep navy to pale blue at the coast.
      {-8000, 8, 20, 70}, {-6000, 16, 42, 112}, {-4000, 32, 74, 150}, {-2000, 62, 114, 190},
      {-500, 112, 162, 222}, {-50, 160, 202, 236}, {0, 192, 226, 246},
      // Land, from the coast up: the jump at 0 separates it from the sea.
      {0, 84, 150, 84}, {200, 132, 182, 100}, {500, 200, 212, 132}, {1000, 226, 202, 142},
      {1500, 202, 160, 100}, {2000, 166, 116, 70}, {3000, 130, 96, 76}, {4000, 162, 156, 150},
      {5000, 252, 252, 252}};
  for (const auto& s : kStops) ramp.Add({s.height, false, Bytes(s.r, s.g, s.b)});
  return ramp;
}

ColourRamp ColourRamp::Grey() {
  ColourRamp ramp;
  ramp.Add({0, true, {0.12, 0.12, 0.12}});
  ramp.Add({100, true, {0.95, 0.95, 0.95}});
  return ramp;
}

bool ColourRamp::Named(const std::string& name, ColourRamp* ramp) {
  if (name == "default") *ramp = Default();
  else if (name == "hypsometric") *ramp = Hypsometric();
  else if (name == "grey" || name == "gray") *ramp = Grey();
  else return false;
  return true;
}

ColourRamp ColourRamp::Resolved(double min_metres, double max_metres) const {
  ColourRamp out = *this;
  for (RampStop& s : out.stops_) {
    if (s.percent) s.height = min_metres + (max_metres - min_metres) * s.height / 100;
    s.percent = false;
  }
  std::stable_sort(out.stops_.begin(), out.stops_.end(),
                   [](const RampStop& a, const RampStop& b) { return a.height < b.height; });
  return out;
}

RGBColor ColourRamp::Colour(double metres) const {
  if (terrain_color_) return TerrainColor(metres);
  if (stops_.empty()) return {0, 0, 0};
  // The first stop above the height: at a jump (two stops of one height) the upper colour.
  const auto above = std::upper_bound(stops_.begin(), stops_.end(), metres,
                                      [](double h, const RampStop& s) { return h < s.height; });
  if (above == stops_.begin()) return stops_.front().colour;
  if (above == stops_.end()) return stops_.back().colour;
  const RampStop& lo = above[-1];
  const RampStop& hi = *above;
  const double t = (metres - lo.height) / (hi.height - lo.height);
  return {Mix(lo.colour.r, hi.colour.r, t), Mix(lo.colour.g, hi.colour.g, t), Mix(lo.colour.b, hi.colour.b, t)};
}

Status ParseColourTable(const std::string& text, const std::string& name, ColourRamp* ramp) {
  ColourRamp read;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const std::vector<std::string> fields = Fields(line);
    if (fields.empty() || fields[0][0] == '#') continue;
    if (const std::string reason = ReadEntry(fields, &read); !reason.empty())
      return Status::Failure(name + " line " + std::to_string(number) + ": " + reason);
  }
  if (read.stops().empty()) return Status::Failure(name + " holds no colour entry");
  *ramp = read;
  return Status::Ok();
}

Status ReadColourTable(const std::string& path, ColourRamp* ramp) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return Status::Failure("the colour table " + path + " is a directory");
  std::ifstream file(path, std::ios::binary);
  if (!file) return Status::Failure("cannot read the colour table " + path + ": " + std::strerror(errno));
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) return Status::Failure("cannot read the colour table " + path);
  return ParseColourTable(text.str(), path, ramp);
}
