// The colour legend's figures, free of GL: round heights for its labels, a tiny bitmap
// font for them (the off-screen program has no GLUT fonts), and where its parts lie in
// the 3-D view.
#pragma once

#include <string>
#include <vector>

// Round heights within lo..hi metres for the labels, rising: multiples of a step of 1, 2,
// 5, 2.5, 4, 1.5, 3, 6 or 8 times a power of ten (whole metres, in that order of liking),
// 5 to 7 of them where some step gives that many, otherwise as near 6 as any step comes.
// One label, lo rounded, when the range is empty.
std::vector<double> NiceTicks(double lo, double hi);

// "1500 m", "-200 m".
std::string TickLabel(double metres);

// The font: 5 x 7 pixels a character and one blank column between characters.
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kGlyphAdvance = kGlyphWidth + 1;
// A character's rows, top first, bit 4 its left column: digits, '-', '.', ' ', 'm', 'k',
// 'c' and 'N'; nullptr for any other.
const unsigned char* Glyph(char c);

// Pixel rectangles in the view, x from the left, y from the bottom, ends excluded.
struct PixelBox {
  int x0, y0, x1, y1;
};

struct LegendLayout {
  bool fits = false;  // the view is big enough for the legend
  int scale = 1;      // font pixels and margins are this many view pixels
  PixelBox backing{};  // the dark translucent box
  PixelBox bar{};      // the colour bar, lowest height at its bottom row
  int label_x = 0;     // left edge of the labels
};

// The legend at the right edge of a view_width x view_height view, for labels of up to
// `label_chars` characters.
LegendLayout LayOutLegend(int view_width, int view_height, int label_chars);

// The height a pixel row of the bar stands for (at the row's middle), the bar running from
// lo at its bottom to hi at its top.
double BarRowHeight(const LegendLayout& layout, int row, double lo, double hi);
// The row a height's tick lies on.
int TickRow(const LegendLayout& layout, double metres, double lo, double hi);
