// The pixels of the 3-D view, read back from the frame being drawn.
#include <GL/gl.h>

#include <algorithm>
#include <vector>

#include "Brackenholmer.h"

std::vector<unsigned char> ReadViewPixels(int* w, int* h) {
  GLint view[4];
  glGetIntegerv(GL_VIEWPORT, view);
  *w = view[2];
  *h = view[3];
  const size_t row = static_cast<size_t>(*w) * 3;
  std::vector<unsigned char> bottom_up(row * static_cast<size_t>(*h > 0 ? *h : 0));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!bottom_up.empty())
    glReadPixels(view[0], view[1], *w, *h, GL_RGB, GL_UNSIGNED_BYTE, bottom_up.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  std::vector<unsigned char> top_down(bottom_up.size());
  for (int y = 0; y < *h; ++y)
    std::copy_n(bottom_up.data() + row * static_cast<size_t>(*h - 1 - y), row,
                top_down.data() + row * static_cast<size_t>(y));
  return top_down;
}
