#include "ImageKind.h"

#include <strings.h>

#include <cctype>
#include <cstdint>
#include <cstring>

namespace {

uint32_t Le16(const unsigned char* p) { return p[0] | (p[1] << 8); }

// A TGA has no signature: its header's fields must make sense (colour map flag, image
// type, pixel depth, a size) for it to be taken as one.
bool LooksLikeTga(const unsigned char* h, size_t got) {
  if (got < 18) return false;
  const int map = h[1], type = h[2], depth = h[16];
  const bool mapped = type == 1 || type == 9;
  const bool known_type = mapped || type == 2 || type == 3 || type == 10 || type == 11;
  const bool known_depth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
  return known_type && known_depth && (map == 1 || (map == 0 && !mapped)) && Le16(h + 12) > 0 && Le16(h + 14) > 0;
}

ImageKind Sniff(FILE* file) {
  unsigned char start[32] = {};
  const size_t got = fread(start, 1, sizeof start, file);
  rewind(file);
  static const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  auto starts = [&](const char* magic, size_t n) { return got >= n && memcmp(start, magic, n) == 0; };
  if (got >= 2 && start[0] == 'B' && start[1] == 'M') return ImageKind::kBmp;
  if (got >= 8 && memcmp(start, kPngSignature, 8) == 0) return ImageKind::kPng;
  if (got >= 3 && start[0] == 0xFF && start[1] == 0xD8 && start[2] == 0xFF) return ImageKind::kJpeg;
  if (starts("GIF87a", 6) || starts("GIF89a", 6)) return ImageKind::kGif;
  if (starts("II*\0", 4) || starts("MM\0*", 4) || starts("II+\0", 4) || starts("MM\0+", 4)) return ImageKind::kTiff;
  if (starts("gimp xcf ", 9)) return ImageKind::kXcf;
  if (starts("qoif", 4)) return ImageKind::kQoi;
  if (starts("RIFF", 4) && got >= 12 && memcmp(start + 8, "WEBP", 4) == 0) return ImageKind::kWebp;
  if (got >= 3 && start[0] == 'P' && start[1] >= '1' && start[1] <= '6' && isspace(start[2])) return ImageKind::kPnm;
  if (got >= 4 && start[0] == 0x0A && start[1] <= 5 && start[2] == 1) return ImageKind::kPcx;
  if (memmem(start, got, "<svg", 4) != nullptr || memmem(start, got, "<?xml", 5) != nullptr) return ImageKind::kSvg;
  if (LooksLikeTga(start, got)) return ImageKind::kTga;
  return ImageKind::kOther;
}

// Whether the file's name ends in `.ending`, in any case.
bool EndsWith(const char* path, const char* ending) {
  const size_t n = strlen(path), m = strlen(ending);
  return n > m && path[n - m - 1] == '.' && strcasecmp(path + n - m, ending) == 0;
}

}  // namespace

ImageKind SniffImage(FILE* file, const char* path) {
  const ImageKind kind = Sniff(file);
  return kind == ImageKind::kOther && EndsWith(path, "tga") ? ImageKind::kTga : kind;
}
