#include "LegendLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Rows of 5 bits, top first.
constexpr unsigned char kDigits[10][kGlyphHeight] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};
constexpr unsigned char kMinus[kGlyphHeight] = {0, 0, 0, 0x1F, 0, 0, 0};
constexpr unsigned char kEm[kGlyphHeight] = {0, 0, 0x1A, 0x15, 0x15, 0x15, 0x15};
constexpr unsigned char kSpace[kGlyphHeight] = {};
// For the map's marks: "0.5 m", "2 km", "20 cm", "N".
constexpr unsigned char kPoint[kGlyphHeight] = {0, 0, 0, 0, 0, 0x0C, 0x0C};
constexpr unsigned char kKay[kGlyphHeight] = {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12};
constexpr unsigned char kSee[kGlyphHeight] = {0, 0, 0x0E, 0x10, 0x10, 0x11, 0x0E};
constexpr unsigned char kNorth[kGlyphHeight] = {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11};

long long Count(double lo, double hi, double step) {
  return static_cast<long long>(std::floor(hi / step) - std::ceil(lo / step)) + 1;
}

}  // namespace

std::vector<double> NiceTicks(double lo, double hi) {
  if (!(hi > lo)) return {std::round(lo)};
  constexpr double kMantissas[] = {1, 2, 5, 2.5, 4, 1.5, 3, 6, 8};
  double chosen = 0;
  long long chosen_miss = 0;
  for (double m : kMantissas) {
    for (double step = m; step <= 1e13; step *= 10) {
      if (step != std::floor(step)) continue;  // whole metres only
      const long long n = Count(lo, hi, step);
      const long long miss = n < 5 ? 5 - n : n > 7 ? n - 7 : 0;
      if (chosen == 0 || miss < chosen_miss) {
        chosen = step;
        chosen_miss = miss;
      }
    }
  }
  std::vector<double> ticks;
  const long long first = static_cast<long long>(std::ceil(lo / chosen));
  for (long long k = first; k < first + Count(lo, hi, chosen); ++k) ticks.push_back(static_cast<double>(k) * chosen);
  return ticks;
}

std::string TickLabel(double metres) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f m", metres == 0 ? 0.0 : metres);
  return text;
}

const unsigned char* Glyph(char c) {
  if (c >= '0' && c <= '9') return kDigits[c - '0'];
  if (c == '-') return kMinus;
  if (c == 'm') return kEm;
  if (c == ' ') return kSpace;
  if (c == '.') return kPoint;
  if (c == 'k') return kKay;
  if (c == 'c') return kSee;
  if (c == 'N') return kNorth;
  return nullptr;
}

LegendLayout LayOutLegend(int view_width, int view_height, int label_chars) {
  LegendLayout l;
  const int s = std::clamp(view_height / 300, 1, 4);
  l.scale = s;
  const int pad = 6 * s, bar_width = 10 * s, gap = 6 * s, margin = 8 * s;
  const int label_width = label_chars * kGlyphAdvance * s - s;
  const int bar_height = view_height / 2;
  const int box_width = pad + bar_width + gap + label_width + pad;
  l.backing.x1 = view_width - margin;
  l.backing.x0 = l.backing.x1 - box_width;
  l.bar = {l.backing.x0 + pad, (view_height - bar_height) / 2, l.backing.x0 + pad + bar_width, 0};
  l.bar.y1 = l.bar.y0 + bar_height;
  // Room above and below the bar for the half of a label that stands past its end.
  l.backing.y0 = l.bar.y0 - pad - kGlyphHeight * s / 2;
  l.backing.y1 = l.bar.y1 + pad + kGlyphHeight * s / 2;
  l.label_x = l.bar.x1 + gap;
  l.fits = bar_height >= 40 && l.backing.x0 >= margin;
  return l;
}

double BarRowHeight(const LegendLayout& l, int row, double lo, double hi) {
  return lo + (row - l.bar.y0 + 0.5) / (l.bar.y1 - l.bar.y0) * (hi - lo);
}

int TickRow(const LegendLayout& l, double metres, double lo, double hi) {
  const double t = hi > lo ? (metres - lo) / (hi - lo) : 0.5;
  return l.bar.y0 + static_cast<int>(std::lround(t * (l.bar.y1 - l.bar.y0 - 1)));
}
