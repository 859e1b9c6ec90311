#include "BitmapText.h"

#include <GL/gl.h>

#include "LegendLayout.h"

void PixelQuad(int x0, int y0, int x1, int y1) {
  glVertex2f(static_cast<GLfloat>(x0), static_cast<GLfloat>(y0));
  glVertex2f(static_cast<GLfloat>(x1), static_cast<GLfloat>(y0));
  glVertex2f(static_cast<GLfloat>(x1), static_cast<GLfloat>(y1));
  glVertex2f(static_cast<GLfloat>(x0), static_cast<GLfloat>(y1));
}

void BitmapText(const std::string& text, int x, int mid_y, int s) {
  const int top = mid_y + kGlyphHeight * s / 2;
  for (char c : text) {
    if (const unsigned char* rows = Glyph(c)) {
      for (int r = 0; r < kGlyphHeight; ++r)
        for (int b = 0; b < kGlyphWidth; ++b)
          if (rows[r] & (0x10 >> b)) PixelQuad(x + b * s, top - (r + 1) * s, x + (b + 1) * s, top - r * s);
    }
    x += kGlyphAdvance * s;
  }
}

int BitmapTextWidth(const std::string& text, int s) {
  return text.empty() ? 0 : static_cast<int>(text.size()) * kGlyphAdvance * s - s;
}

int BitmapTextHeight(int s) { return kGlyphHeight * s; }
