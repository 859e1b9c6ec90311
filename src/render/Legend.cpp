#include "Legend.h"

#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BitmapText.h"
#include "Brackenholmer.h"
#include "CurrentColourRamp.h"
#include "LegendLayout.h"
#include "PixelView.h"

namespace {

void Draw(const LegendLayout& l, const std::vector<double>& ticks, const std::vector<std::string>& labels, double lo,
          double hi) {
  const int s = l.scale;
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glBegin(GL_QUADS);
  glColor4f(0, 0, 0, 0.6f);
  PixelQuad(l.backing.x0, l.backing.y0, l.backing.x1, l.backing.y1);
  glEnd();
  glDisable(GL_BLEND);

  // A row of the bar a pixel high, each in its height's colour: exact for any ramp, jumps too.
  const ColourRamp ramp = CurrentRamp();
  glBegin(GL_QUADS);
  for (int row = l.bar.y0; row < l.bar.y1; ++row) {
    const RGBColor c = ramp.Colour(BarRowHeight(l, row, lo, hi));
    glColor3f(static_cast<GLfloat>(c.r), static_cast<GLfloat>(c.g), static_cast<GLfloat>(c.b));
    PixelQuad(l.bar.x0, row, l.bar.x1, row + 1);
  }
  // Ticks and labels in white.
  glColor3f(1, 1, 1);
  for (size_t i = 0; i < ticks.size(); ++i) {
    const int row = TickRow(l, ticks[i], lo, hi);
    PixelQuad(l.bar.x1, row, l.bar.x1 + 3 * s, row + s);
    BitmapText(labels[i], l.label_x, row, s);
  }
  glEnd();
}

}  // namespace

bool LegendShown(int wanted) { return wanted != 0 && rendering_mode == 0 && input.values != nullptr; }

void DrawLegend() {
  GLint view[4];
  glGetIntegerv(GL_VIEWPORT, view);
  const double lo = Metres(input.y_min), hi = Metres(input.y_max);
  const std::vector<double> ticks = NiceTicks(lo, hi);
  std::vector<std::string> labels;
  size_t chars = 0;
  for (double t : ticks) {
    labels.push_back(TickLabel(t));
    chars = std::max(chars, labels.back().size());
  }
  const LegendLayout layout = LayOutLegend(view[2], view[3], static_cast<int>(chars));
  if (!layout.fits) return;

  int w = 0, h = 0;
  if (!BeginPixelView(&w, &h)) return;
  Draw(layout, ticks, labels, lo, hi);
  EndPixelView();
}
