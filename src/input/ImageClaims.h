// What an image file's header claims (its width and height, and for BMP, PNG and JPEG its
// depth and coding), read before anything is decoded, and checked against the file's
// length and the memory left, so that a claim the file cannot back is refused unread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "ImageKind.h"
#include "Status.h"

// BMP compression codes.
constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2;

struct ImageClaim {
  int64_t width = 0;
  int64_t height = 0;  // rows, whether stored top-down or bottom-up
  int64_t bits = 0;    // per pixel, where the header says
  uint32_t compression = kBiRgb;
  int64_t data_bytes = -1;  // BMP: bytes from the start of the pixel data to the end; -1 if unknown

  // Some formats give no size cheaply: their claim is -1 x -1.
  bool SizeKnown() const { return width >= 0 && height >= 0; }
};

// The size of a regular file; -1 for pipes and other streams.
int64_t FileBytes(FILE* file);

// Reads the claim of the image of `kind` in `file`; a failure's reason says what is wrong
// with the header ("It ends inside its BMP header, after 20 bytes.").
Status ReadImageClaim(FILE* file, ImageKind kind, ImageClaim& claim);

// A known size with no pixels is refused.
Status CheckClaimedSize(const ImageClaim& claim);

// Whether the file (`file_bytes` long, -1 if unknown) can hold the pixels its BMP, PNG or
// JPEG header promises; other kinds pass. The claim is within the texture size limit.
Status CheckFileHoldsClaim(ImageKind kind, const ImageClaim& claim, int64_t file_bytes);

// Whether decoding and uploading the claimed pixels fit into the memory left; when not,
// the report ("The file P would need 3.6 GB for its 16000 x 16000 pixels; ...") is in
// `msg` (`size` bytes). An unknown size passes.
bool ClaimFitsMemory(const ImageClaim& claim, const char* path, char* msg, size_t size);
