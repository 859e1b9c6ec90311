// Colour ramps: colours at heights (stops), linear between them, the end colours beyond
// them. A stop's height is in metres or a percentage of the grid's range; percentages take
// their heights from the grid (Resolved) before colours are looked up.
#pragma once

#include <string>
#include <vector>

#include "Status.h"
#include "TerrainColor.h"

struct RampStop {
  double height;  // metres, or percent of the grid's range when `percent`
  bool percent;
  RGBColor colour;  // 0..1
};

class ColourRamp {
 public:
  // TerrainColor itself, its jump at 0 included.
  static ColourRamp Default();
  // Atlas colours: blues from the deep sea to the coast, greens, tans, browns, greys, snow.
  static ColourRamp Hypsometric();
  // Dark at the grid's lowest point to light at its highest.
  static ColourRamp Grey();
  // "default", "hypsometric", "grey" or "gray"; false for any other name.
  static bool Named(const std::string& name, ColourRamp* ramp);

  // Stops may come in any order; Resolved sorts them by height.
  void Add(RampStop stop) { stops_.push_back(stop); }
  void SetNoData(RGBColor colour) {
    has_nodata_ = true;
    nodata_ = colour;
  }

  // The ramp with percentages turned into heights of the range min..max (metres) and its
  // stops sorted by height (stops of equal height keep their order: a jump).
  ColourRamp Resolved(double min_metres, double max_metres) const;
  // The colour of a height; percent stops count as unresolved heights (call Resolved first).
  RGBColor Colour(double metres) const;

  bool has_nodata() const { return has_nodata_; }
  RGBColor nodata() const { return nodata_; }
  const std::vector<RampStop>& stops() const { return stops_; }

 private:
  bool terrain_color_ = false;
  std::vector<RampStop> stops_;
  bool has_nodata_ = false;
  RGBColor nodata_ = {0, 0, 0};
};

// Reads a colour table in the text form gdaldem color-relief reads: a line
// "HEIGHT R G B [A]" per stop (0..255; spaces, tabs or commas between the fields), HEIGHT
// "N%" for a percentage of the grid's range and "nv" for the NODATA colour, a colour name
// (white, red, ...) in place of R G B; blank lines and lines starting with # are skipped.
// Alpha is read and left aside. A failure names the file and line and says what is wrong.
Status ReadColourTable(const std::string& path, ColourRamp* ramp);
// The same from text already read; `name` stands for the file in the reasons.
Status ParseColourTable(const std::string& text, const std::string& name, ColourRamp* ramp);
