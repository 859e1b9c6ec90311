// Turns an image (BMP, PNG, JPEG or another format SDL2_image reads) into the terrain's
// OpenGL texture.
#pragma once

#include <GL/gl.h>

class TextureLoader {
 public:
  TextureLoader() {}
  // Loads the image into a new texture object and returns its name, or 0 on failure.
  // Needs a current GL context. Either way `msg` holds a one-line report; `reason` is empty
  // or holds a second line that says why a load failed. The file's header is checked before
  // anything is decoded, and an image that takes long to decode is announced on the console.
  GLuint LoadBMPTexture(const char* filename);

  char msg[255];
  char reason[255];

 private:
  void ReportTooLarge(const char* filename, long long width, long long height, int max_size);
};
