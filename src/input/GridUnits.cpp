#include "GridUnits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Report.h"

namespace {

constexpr double kIntMax = 2147483647.0;
constexpr double kLargestHeight = 1e9;

// Heights of whole metres are kept as they are, however high; finer units must leave
// them clear of the int limits.
bool Fits(double spacing_units, double least, double greatest, long long widest, int per_metre) {
  const double highest = std::max(std::fabs(least), std::fabs(greatest)) * per_metre;
  return spacing_units >= 1 && 20.0 * static_cast<double>(widest) * spacing_units <= kIntMax &&
         (per_metre == 1 || highest <= kLargestHeight);
}

}  // namespace

bool IsWholeSpacing(double spacing_metres) {
  const double whole = std::round(spacing_metres);
  return whole >= 1 && std::fabs(spacing_metres - whole) <= 1e-4 * spacing_metres;
}

GridUnits ChooseGridUnits(double spacing_metres, bool whole_heights, double least, double greatest, long long widest) {
  if (!(spacing_metres > 0) || !std::isfinite(spacing_metres)) return {0, 0};
  if (whole_heights && IsWholeSpacing(spacing_metres)) {
    const double spacing = std::round(spacing_metres);
    if (Fits(spacing, least, greatest, widest, 1)) return {1, static_cast<int>(spacing)};
    return {0, 0};
  }
  GridUnits best{0, 0};
  for (int per_metre = 100; per_metre <= 1000000; per_metre *= 10) {
    const double exact = spacing_metres * per_metre;
    const double spacing = std::round(exact);
    if (!Fits(spacing, least, greatest, widest, per_metre)) {
      if (spacing >= 1) break;  // finer units only grow further
      continue;
    }
    best = {per_metre, static_cast<int>(spacing)};
    if (std::fabs(spacing - exact) <= 5e-4 * exact) return best;
  }
  if (best.per_metre != 0) return best;
  // Too wide or too high for centimetres: decimetres, then metres.
  for (int per_metre : {10, 1}) {
    const double spacing = std::round(spacing_metres * per_metre);
    if (Fits(spacing, least, greatest, widest, per_metre)) return {per_metre, static_cast<int>(spacing)};
  }
  return {0, 0};
}

const char* UnitName(int per_metre) {
  switch (per_metre) {
    case 1: return "metres";
    case 10: return "decimetres";
    case 100: return "centimetres";
    case 1000: return "millimetres";
    case 10000: return "tenths of a millimetre";
    case 100000: return "hundredths of a millimetre";
    default: return "micrometres";
  }
}

void NoteUnits(const ReportLines& out, int per_metre, bool whole_heights) {
  if (!whole_heights && per_metre == 1)
    AddNote(out, "The heights are rounded to whole metres: finer units would leave the drawing's range.");
  else if (!whole_heights && per_metre < 100)
    AddNote(out, "The heights are kept to 1/%d metre only: finer units would leave the drawing's range.", per_metre);
  if (per_metre == 1) return;
  AddNote(out, "The grid is drawn at %d units a metre to keep its fractions; the Max. Approx. Error counts in %s.",
          per_metre, UnitName(per_metre));
}

int DecimalsOf(int per_metre) {
  int decimals = 0;
  for (int n = per_metre; n >= 10; n /= 10) ++decimals;
  return decimals;
}

std::string SpacingText(const GridUnits& units) {
  char text[32];
  if (units.per_metre == 1) snprintf(text, sizeof text, "%d", units.spacing);
  else snprintf(text, sizeof text, "%g", static_cast<double>(units.spacing) / units.per_metre);
  return text;
}
