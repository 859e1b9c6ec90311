// An image file decoded by SDL (BMP) or SDL2_image (the rest) into 24-bit BGR rows, each
// padded to four bytes, top row first: what the texture upload reads.
#pragma once

#include <cstdio>
#include <vector>

#include "ImageKind.h"
#include "Status.h"

struct SDL_Surface;

class DecodedImage {
 public:
  DecodedImage() = default;
  DecodedImage(const DecodedImage&) = delete;
  DecodedImage& operator=(const DecodedImage&) = delete;
  ~DecodedImage();

  int width() const;
  int height() const;

  // Brings every pixel depth to 24-bit BGR rows of the aligned length; then rows() holds them.
  Status ToBgrRows();
  const unsigned char* rows() const { return rows_; }

 private:
  friend Status DecodeImage(FILE* file, ImageKind kind, DecodedImage& image);
  SDL_Surface* surface_ = nullptr;
  bool locked_ = false;
  std::vector<unsigned char> repacked_;
  const unsigned char* rows_ = nullptr;
};

// Decodes the image of `kind` in `file`, which it takes over (closed either way). No block
// the decoder asks for may exceed the decoded image's share of the memory left. An image
// of no pixels is refused.
Status DecodeImage(FILE* file, ImageKind kind, DecodedImage& image);
