#include "CurrentColourRamp.h"

#include <cmath>

#include "LookGlobals.h"
#include "TerrainLoader.h"

namespace {

ColourRamp file_ramp;
std::string file_path;
unsigned long file_number = 0;  // files taken so far

// The choice's ramp before its percentages are resolved.
ColourRamp ChosenRamp() {
  switch (colour_ramp) {
    case kHypsometricRamp: return ColourRamp::Hypsometric();
    case kGreyRamp: return ColourRamp::Grey();
    case kFileRamp: return file_number > 0 ? file_ramp : ColourRamp::Default();
    default: return ColourRamp::Default();
  }
}

// The last resolved ramp, kept while neither the choice nor the grid's range changes: the
// drawing asks for a colour per vertex.
struct Cache {
  bool valid = false;
  unsigned long version = 0;
  int y_min = 0, y_max = 0, units_per_metre = 1;
  ColourRamp ramp;
};
Cache cache;

const ColourRamp& Current() {
  const unsigned long version = ColourRampVersion();
  if (!cache.valid || cache.version != version || cache.y_min != input.y_min || cache.y_max != input.y_max ||
      cache.units_per_metre != input.units_per_metre) {
    cache.ramp = ChosenRamp().Resolved(Metres(input.y_min), Metres(input.y_max));
    cache.version = version;
    cache.y_min = input.y_min;
    cache.y_max = input.y_max;
    cache.units_per_metre = input.units_per_metre;
    cache.valid = true;
  }
  return cache.ramp;
}

// The colour of a height in metres under `ramp`, its NODATA colour for the loaded grid's
// NODATA height where it has one; `nodata` is that height in metres, NaN without one.
RGBColor ColourOf(const ColourRamp& ramp, double nodata, double metres) {
  if (ramp.has_nodata() && metres == nodata) return ramp.nodata();
  return ramp.Colour(metres);
}

double NoDataMetres() { return input.has_nodata ? Metres(input.nodata) : std::nan(""); }

}  // namespace

void SetColourRampFile(const ColourRamp& ramp, const std::string& path) {
  file_ramp = ramp;
  file_path = path;
  ++file_number;
  colour_ramp = kFileRamp;
}

const std::string& ColourRampFilePath() { return file_path; }

bool ColourRampFileLoaded() { return file_number > 0; }

ColourRamp CurrentRamp() { return Current(); }

RGBColor CurrentRampColour(double metres) { return ColourOf(Current(), NoDataMetres(), metres); }

unsigned long ColourRampVersion() {
  return file_number * 4 + static_cast<unsigned long>(colour_ramp & 3);
}

std::function<RGBColor(double metres)> CurrentRampCopy() {
  return [ramp = Current(), nodata = NoDataMetres()](double metres) { return ColourOf(ramp, nodata, metres); };
}
