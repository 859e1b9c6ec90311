// Pictures the GL tests read: the back buffer after a frame, or a PNG a frame saved, with
// pixels counted as GL counts them (x from the left, y from the bottom).
#pragma once

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <filesystem>
#include <vector>

struct Rgb {
  int c[3];
};

struct Picture {
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;
  Rgb At(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * w + x) * 3;
    return Rgb{{rgb[i], rgb[i + 1], rgb[i + 2]}};
  }
};

// The back buffer's w x h pixels from the bottom-left corner, once drawing has finished.
inline Picture ReadBackBuffer(int w, int h) {
  glFinish();
  Picture pic{w, h, std::vector<unsigned char>(static_cast<size_t>(w) * h * 3)};
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pic.rgb.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return pic;
}

// A PNG's pixels, bottom row first; empty when it cannot be read.
inline Picture LoadPicture(const std::filesystem::path& path) {
  Picture pic;
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (loaded == nullptr) return pic;
  SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
  SDL_FreeSurface(loaded);
  pic.w = s->w;
  pic.h = s->h;
  for (int y = s->h - 1; y >= 0; --y) {
    const auto* row = static_cast<const unsigned char*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
    pic.rgb.insert(pic.rgb.end(), row, row + s->w * 3);
  }
  SDL_FreeSurface(s);
  return pic;
}
