// An image file decoded to tight RGB rows, top row first, for writers that embed the drape
// in a file (binary glTF): the same decoders and checks as the texture upload, no GL.
#pragma once

#include <string>
#include <vector>

#include "Status.h"

struct TextureRgb {
  std::vector<unsigned char> rgb;
  int width = 0, height = 0;
};

// Decodes `path`; a failure says why (as the texture loader would).
Status ReadTextureRgb(const std::string& path, TextureRgb* image);
