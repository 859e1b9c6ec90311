// What kind of image a file holds, told from its first bytes, before anything decodes it.
#pragma once

#include <cstdio>

// Images other than BMP are decoded by SDL2_image. Those with a kind of their own have
// their size read from their header; the others are decoded under a memory guard.
enum class ImageKind { kBmp, kPng, kJpeg, kGif, kTga, kTiff, kXcf, kSvg, kPnm, kQoi, kWebp, kPcx, kOther };

// The kind of the image in `file` (left at its start) named `path`. A TGA has no
// signature: its header's fields or its name's `.tga` ending tell it.
ImageKind SniffImage(FILE* file, const char* path);
