// Turns a BMP file into the terrain's texture: SDL decodes the file, every pixel depth is
// brought to 24-bit BGR, and the rows go to OpenGL top row first.
#include "TextureLoader.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "Report.h"

namespace {

// Size of one 24-bit row as SDL stores it and as OpenGL reads it with its default unpack
// alignment of 4: three bytes per pixel, filled up to a multiple of four.
int AlignedRowBytes(int w) { return (w * 3 + 3) & ~3; }

}  // namespace

GLuint TextureLoader::LoadBMPTexture(const char* filename) {
  SDL_Surface* bmp_image = SDL_LoadBMP_RW(SDL_RWFromFile(filename, "rb"), 1);
  if (bmp_image == nullptr) {
    WriteReport(msg, sizeof msg, "Could not open the file ", filename, "");
    return 0;
  }

  // Palette, 16- and 32-bit images are converted; the upload reads three bytes per pixel.
  if (bmp_image->format->format != SDL_PIXELFORMAT_BGR24) {
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(bmp_image, SDL_PIXELFORMAT_BGR24, 0);
    SDL_FreeSurface(bmp_image);
    if (converted == nullptr) {
      WriteReport(msg, sizeof msg, "Could not open the file ", filename, "");
      return 0;
    }
    bmp_image = converted;
  }

  const int w = bmp_image->w;
  const int h = bmp_image->h;
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  if (w > max_size || h > max_size) {
    char suffix[96];
    snprintf(suffix, sizeof suffix, " is too large for a texture (%i x %i pixels, at most %i x %i).", w, h,
             static_cast<int>(max_size), static_cast<int>(max_size));
    WriteReport(msg, sizeof msg, "The file ", filename, suffix);
    SDL_FreeSurface(bmp_image);
    return 0;
  }

  if (SDL_MUSTLOCK(bmp_image)) SDL_LockSurface(bmp_image);
  const unsigned char* pixels = static_cast<const unsigned char*>(bmp_image->pixels);
  // SDL pads 24-bit rows to four bytes, which is what OpenGL expects; any other pitch is
  // repacked so that no row is read from the wrong place.
  std::vector<unsigned char> repacked;
  const int row_bytes = AlignedRowBytes(w);
  if (bmp_image->pitch != row_bytes) {
    repacked.assign(static_cast<size_t>(row_bytes) * h, 0);
    for (int row = 0; row < h; ++row)
      memcpy(&repacked[static_cast<size_t>(row) * row_bytes],
             pixels + static_cast<size_t>(row) * bmp_image->pitch, static_cast<size_t>(w) * 3);
    pixels = repacked.data();
  }

  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  // The rows are laid out for the default unpack state; make sure nothing else is in force.
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
  glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, w, h, 0, GL_BGR, GL_UNSIGNED_BYTE, pixels);
  glPopClientAttrib();
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

  if (SDL_MUSTLOCK(bmp_image)) SDL_UnlockSurface(bmp_image);
  SDL_FreeSurface(bmp_image);

  WriteReport(msg, sizeof msg, "The file ", filename, " was loaded succesfully.");
  return texture;
}
