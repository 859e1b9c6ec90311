// The help card: what Screen Error does, then every key and mouse action, on a dark
// translucent box over the 3-D view, shown and hidden with `h` or F1.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "Brackenholmer.h"
#include "CameraMath.h"
#include "KeyTable.h"

namespace {

constexpr const char* kTitle = "Keys and mouse";

// A fixed-width font, so the card is measured without asking GLUT.
void* const kFont = GLUT_BITMAP_9_BY_15;
constexpr int kCharWidth = 9;
constexpr int kLineHeight = 18;
constexpr int kPadding = 14;
constexpr int kColumnGap = 2;  // characters between the keys and their action

void WriteAt(int x, int y, const char* text) {
  glRasterPos2i(x, y);
  for (const char* c = text; *c != '\0'; ++c) glutBitmapCharacter(kFont, *c);
}

}  // namespace

void RenderHelpCard() {
  const ScreenErrorNote& lead = ScreenErrorLead();
  size_t keys_chars = 0, action_chars = std::strlen(kTitle), lead_chars = 0;
  for (const KeyBinding& line : KeyTable()) {
    keys_chars = std::max(keys_chars, std::strlen(line.keys));
    action_chars = std::max(action_chars, std::strlen(line.action));
  }
  for (const char* line : lead.card) lead_chars = std::max(lead_chars, std::strlen(line));
  const int action_x = static_cast<int>(keys_chars + kColumnGap) * kCharWidth;
  const int card_w = 2 * kPadding + std::max(action_x + static_cast<int>(action_chars) * kCharWidth,
                                             static_cast<int>(lead_chars) * kCharWidth);
  // The lead, a gap, the title, a gap, the keys.
  const int rows = static_cast<int>(std::size(lead.card) + 1 + KeyTable().size()) + 2;
  const int card_h = 2 * kPadding + rows * kLineHeight;

  // Centred on the view above the panel; a view too low for it lets it reach over the
  // panel, but never above the window's top edge. GL counts y from the bottom.
  const int view_h = camera_math::ViewHeight(height, panel_top);
  const int left = (width - card_w) / 2;
  const int top = std::max(0, (view_h - card_h) / 2);  // from the window's top edge
  const int bottom = height - top - card_h;

  glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT |
               GL_VIEWPORT_BIT);
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0, width, 0, height);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  glColor4f(0.05f, 0.05f, 0.08f, 0.8f);
  glBegin(GL_QUADS);
  glVertex2i(left, bottom);
  glVertex2i(left + card_w, bottom);
  glVertex2i(left + card_w, bottom + card_h);
  glVertex2i(left, bottom + card_h);
  glEnd();

  glColor3f(1, 1, 1);
  const int x = left + kPadding;
  // Text stands on its baseline: a line's baseline is a little above its cell's bottom.
  int y = bottom + card_h - kPadding - kLineHeight + 4;
  for (const char* line : lead.card) {
    WriteAt(x, y, line);
    y -= kLineHeight;
  }
  y -= kLineHeight;
  WriteAt(x, y, kTitle);
  y -= 2 * kLineHeight;
  for (const KeyBinding& line : KeyTable()) {
    WriteAt(x, y, line.keys);
    WriteAt(x + action_x, y, line.action);
    y -= kLineHeight;
  }
  glPopAttrib();
}
