// Text in the built-in bitmap font (LegendLayout.h) as filled squares, so that the window
// and the off-screen program draw it alike. Inside glBegin(GL_QUADS) .. glEnd(), in pixels
// of an orthographic view.
#pragma once

#include <string>

// The corners of an axis-aligned box, as four quad vertices.
void PixelQuad(int x0, int y0, int x1, int y1);

// `text` from `x` with its middle row at `mid_y`, each font pixel an s x s square.
void BitmapText(const std::string& text, int x, int mid_y, int s);

// The pixels `text` covers across and up at scale s.
int BitmapTextWidth(const std::string& text, int s);
int BitmapTextHeight(int s);
