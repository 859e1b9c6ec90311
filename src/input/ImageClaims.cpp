// What image headers claim, and whether the file and the memory can back it.
//
//   BMP           - the file and info headers; rows, or runs, the file must hold
//   PNG, JPEG     - IHDR; the start-of-frame segment
//   Other claims  - width and height from GIF, TGA, TIFF, XCF, QOI, WebP, PCX, PNM and
//                   SVG headers
//   Compressed    - how many pixels a compressed file can plausibly decode to
//   Checks        - the claim against the file and the memory
#include "ImageClaims.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "MemoryBudget.h"

namespace {

// ---------------------------------------------------------------- BMP

// A run-length coded BMP spends two bytes on a run of at most 255 pixels; anything
// denser than this is a header that promises more than its data holds.
constexpr int64_t kMostRlePixelsPerByte = 128;

uint32_t Le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t Le32(const unsigned char* p) { return Le16(p) | (Le16(p + 2) << 16); }
uint32_t Be16(const unsigned char* p) { return (p[0] << 8) | p[1]; }
uint32_t Be32(const unsigned char* p) { return (Be16(p) << 16) | Be16(p + 2); }

// Reads the file header and the start of the info header of a file that starts with "BM".
// Returns false with a reason when the file cannot be read or its header is unusable.
bool ReadBmpClaim(FILE* file, ImageClaim* claim, char* reason, size_t reason_size) {
  unsigned char h[34];
  errno = 0;
  const size_t got = fread(h, 1, sizeof h, file);
  if (got < sizeof h && ferror(file)) {
    snprintf(reason, reason_size, "%s", strerror(errno != 0 ? errno : EIO));
    return false;
  }
  const uint32_t info_size = got >= 18 ? Le32(h + 14) : 0;
  size_t needed = 18;
  if (got >= 18) {
    if (info_size == 12) {
      needed = 26;  // OS/2 core header: 16-bit width, height and depth
    } else if (info_size >= 16) {
      needed = info_size >= 40 ? 34 : 30;
    } else {
      snprintf(reason, reason_size, "Its BMP header has an unknown size (%u bytes).", info_size);
      return false;
    }
  }
  if (got < needed) {
    snprintf(reason, reason_size, "It ends inside its BMP header, after %zu bytes.", got);
    return false;
  }
  if (info_size == 12) {
    claim->width = Le16(h + 18);
    claim->height = Le16(h + 20);
    claim->bits = Le16(h + 24);
  } else {
    claim->width = static_cast<int32_t>(Le32(h + 18));
    claim->height = static_cast<int32_t>(Le32(h + 22));  // negative: rows stored top-down
    if (claim->height < 0) claim->height = -claim->height;
    claim->bits = Le16(h + 28);
    if (info_size >= 40) claim->compression = Le32(h + 30);
  }
  if (claim->width <= 0 || claim->height == 0) {
    snprintf(reason, reason_size, "Its header claims an impossible size (%lld x %lld pixels).",
             static_cast<long long>(claim->width), static_cast<long long>(claim->height));
    return false;
  }

  const int64_t file_bytes = FileBytes(file);
  if (file_bytes >= 0) {
    const uint32_t offset = Le32(h + 10);
    const int64_t start = offset != 0 ? offset : 14 + static_cast<int64_t>(info_size);
    claim->data_bytes = std::max<int64_t>(0, file_bytes - start);
  }
  return true;
}

// Whether the file is long enough for the pixels its header promises; `claim` is within the
// texture size limit, so the products below stay far inside 64 bits.
bool FileHoldsClaim(const ImageClaim& claim, char* reason, size_t reason_size) {
  if (claim.data_bytes < 0) return true;
  const long long w = claim.width, h = claim.height, held = claim.data_bytes;
  if (claim.compression == kBiRle8 || claim.compression == kBiRle4) {
    if (claim.width * claim.height <= claim.data_bytes * kMostRlePixelsPerByte) return true;
    snprintf(reason, reason_size,
             "It holds %lld bytes of run-length coded pixel data, far too few for the %lld x %lld pixels "
             "its header promises.",
             held, w, h);
    return false;
  }
  // Any other coding is read as plain rows (SDL does so too), each padded to four bytes.
  const int64_t row_bytes = (claim.width * std::max<int64_t>(claim.bits, 1) + 31) / 32 * 4;
  const long long needed = row_bytes * claim.height;
  if (held >= needed) return true;
  snprintf(reason, reason_size,
           "It holds %lld bytes of pixel data, but its header promises %lld x %lld pixels of %lld bits (%lld bytes).",
           held, w, h, static_cast<long long>(claim.bits), needed);
  return false;
}

// ---------------------------------------------------------------- PNG, JPEG

// A PNG's size stands in its first chunk, IHDR.
bool ReadPngClaim(FILE* file, ImageClaim* claim, char* reason, size_t reason_size) {
  unsigned char h[24];
  if (fread(h, 1, sizeof h, file) != sizeof h || memcmp(h + 12, "IHDR", 4) != 0) {
    snprintf(reason, reason_size, "It ends inside its PNG header, or has none.");
    return false;
  }
  claim->width = Be32(h + 16);
  claim->height = Be32(h + 20);
  // Bit depth times the channels of the colour type (grey, -, RGB, palette, grey+alpha, -, RGBA).
  unsigned char depth_and_type[2];
  if (fread(depth_and_type, 1, 2, file) == 2) {
    static const int kChannels[7] = {1, 1, 3, 1, 2, 1, 4};
    claim->bits = depth_and_type[0] * kChannels[std::min<int>(depth_and_type[1], 6)];
  }
  return true;
}

// A JPEG's size stands in its start-of-frame segment, found by walking the segments.
bool ReadJpegClaim(FILE* file, ImageClaim* claim, char* reason, size_t reason_size) {
  fseek(file, 2, SEEK_SET);
  for (int segments = 0; segments < 1000; ++segments) {
    int c = fgetc(file);
    while (c == 0xFF) c = fgetc(file);  // fill bytes before the marker
    if (c == EOF) break;
    const int marker = c;
    unsigned char length_bytes[2];
    if (fread(length_bytes, 1, 2, file) != 2) break;
    const long length = Be16(length_bytes);
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      unsigned char f[6];
      if (fread(f, 1, sizeof f, file) != sizeof f) break;
      claim->height = Be16(f + 1);
      claim->width = Be16(f + 3);
      claim->bits = 8 * std::max<int>(f[5], 1);
      return true;
    }
    if (marker == 0xDA || marker == 0xD9 || length < 2 || fseek(file, length - 2, SEEK_CUR) != 0) break;
  }
  snprintf(reason, reason_size, "Its JPEG header holds no image size.");
  return false;
}

// ---------------------------------------------------------------- Other claims

// Reads `n` bytes at `offset`; false when the file ends before.
bool ReadAt(FILE* file, long offset, unsigned char* to, size_t n) {
  return fseek(file, offset, SEEK_SET) == 0 && fread(to, 1, n, file) == n;
}

// A GIF's screen, and its first image, which SDL2_image decodes at the image's own size.
bool ReadGifClaim(FILE* file, ImageClaim* claim) {
  unsigned char h[13];
  if (!ReadAt(file, 0, h, sizeof h)) return false;
  claim->width = Le16(h + 6);
  claim->height = Le16(h + 8);
  if (h[10] & 0x80) fseek(file, 3L << ((h[10] & 7) + 1), SEEK_CUR);  // global colour table
  for (int blocks = 0; blocks < 10000; ++blocks) {
    const int c = fgetc(file);
    if (c == 0x2C) {  // image descriptor
      unsigned char d[9];
      if (fread(d, 1, sizeof d, file) != sizeof d) return true;
      claim->width = std::max<int64_t>(claim->width, Le16(d + 4));
      claim->height = std::max<int64_t>(claim->height, Le16(d + 6));
      return true;
    }
    if (c != 0x21 || fgetc(file) == EOF) return true;  // an extension: label, then sub-blocks
    for (int n = fgetc(file); n > 0; n = fgetc(file))
      if (fseek(file, n, SEEK_CUR) != 0) return true;
  }
  return true;
}

bool ReadTgaClaim(FILE* file, ImageClaim* claim) {
  unsigned char h[18];
  if (!ReadAt(file, 0, h, sizeof h)) return false;
  claim->width = Le16(h + 12);
  claim->height = Le16(h + 14);
  return true;
}

// The width and height tags of a TIFF's first directory, classic or BigTIFF.
bool ReadTiffClaim(FILE* file, ImageClaim* claim) {
  unsigned char h[16];
  if (!ReadAt(file, 0, h, sizeof h)) return false;
  const bool be = h[0] == 'M';
  auto u16 = [be](const unsigned char* p) { return be ? Be16(p) : Le16(p); };
  auto u32 = [be](const unsigned char* p) { return be ? Be32(p) : Le32(p); };
  auto u64 = [&](const unsigned char* p) {
    return be ? (uint64_t{u32(p)} << 32) | u32(p + 4) : (uint64_t{u32(p + 4)} << 32) | u32(p);
  };
  const bool big = u16(h + 2) == 43;
  const uint64_t at = big ? u64(h + 8) : u32(h + 4);
  const size_t count_bytes = big ? 8 : 2, entry_bytes = big ? 20 : 12;
  unsigned char c[8];
  if (at > LONG_MAX / 2 || !ReadAt(file, static_cast<long>(at), c, count_bytes)) return false;
  const uint64_t entries = std::min<uint64_t>(big ? u64(c) : u16(c), 4096);
  for (uint64_t i = 0; i < entries; ++i) {
    unsigned char e[20];
    if (fread(e, 1, entry_bytes, file) != entry_bytes) break;
    const uint32_t tag = u16(e), type = u16(e + 2);
    const unsigned char* value = e + (big ? 12 : 8);
    const int64_t v = type == 3 ? u16(value) : type == 4 ? u32(value) : type == 16 ? static_cast<int64_t>(u64(value) & INT64_MAX) : 0;
    if (tag == 256) claim->width = v;
    if (tag == 257) claim->height = v;
  }
  return true;
}

// A file cut inside the header is left to SDL2_image, which reads it as an empty image.
bool ReadXcfClaim(FILE* file, ImageClaim* claim) {
  unsigned char h[22];
  if (!ReadAt(file, 0, h, sizeof h)) return true;
  claim->width = Be32(h + 14);
  claim->height = Be32(h + 18);
  return true;
}

bool ReadQoiClaim(FILE* file, ImageClaim* claim) {
  unsigned char h[12];
  if (!ReadAt(file, 0, h, sizeof h)) return false;
  claim->width = Be32(h + 4);
  claim->height = Be32(h + 8);
  return true;
}

// The size in a WebP's first chunk: lossy (VP8), lossless (VP8L) or extended (VP8X).
bool ReadWebpClaim(FILE* file, ImageClaim* claim) {
  unsigned char h[30];
  if (!ReadAt(file, 0, h, sizeof h)) return false;
  if (memcmp(h + 12, "VP8X", 4) == 0) {
    claim->width = 1 + (h[24] | (h[25] << 8) | (h[26] << 16));
    claim->height = 1 + (h[27] | (h[28] << 8) | (h[29] << 16));
  } else if (memcmp(h + 12, "VP8L", 4) == 0) {
    const uint32_t bits = Le32(h + 21);
    claim->width = 1 + (bits & 0x3FFF);
    claim->height = 1 + ((bits >> 14) & 0x3FFF);
  } else if (memcmp(h + 12, "VP8 ", 4) == 0) {
    claim->width = Le16(h + 26) & 0x3FFF;
    claim->height = Le16(h + 28) & 0x3FFF;
  } else {
    return false;
  }
  return true;
}

bool ReadPcxClaim(FILE* file, ImageClaim* claim) {
  unsigned char h[12];
  if (!ReadAt(file, 0, h, sizeof h)) return false;
  claim->width = static_cast<int64_t>(Le16(h + 8)) - Le16(h + 4) + 1;
  claim->height = static_cast<int64_t>(Le16(h + 10)) - Le16(h + 6) + 1;
  return true;
}

// Netpbm: the magic, then width and height as decimal words, with comments between.
bool ReadPnmClaim(FILE* file, ImageClaim* claim) {
  fseek(file, 2, SEEK_SET);
  int64_t figures[2] = {-1, -1};
  for (int64_t& figure : figures) {
    int c = fgetc(file);
    while (c == '#' || isspace(c)) {
      if (c == '#')
        while (c != '\n' && c != EOF) c = fgetc(file);
      c = fgetc(file);
    }
    if (!isdigit(c)) return false;
    figure = 0;
    for (; isdigit(c) && figure < (int64_t{1} << 40); c = fgetc(file)) figure = figure * 10 + (c - '0');
  }
  claim->width = figures[0];
  claim->height = figures[1];
  return true;
}

// An SVG is drawn at the width and height of its <svg> element in pixels (96 an inch), or
// at its view box's. Percentages and missing figures leave the size unknown (-1).
double SvgLength(const char* element, const char* name) {
  char key[16];
  snprintf(key, sizeof key, " %s=", name);
  const char* at = strstr(element, key);
  if (at == nullptr) {
    snprintf(key, sizeof key, "\n%s=", name);
    at = strstr(element, key);
  }
  if (at == nullptr) return -1;
  at += strlen(key) + 1;  // past the quote
  char* end = nullptr;
  const double v = strtod(at, &end);
  if (end == at || !(v >= 0)) return -1;
  static const struct {
    const char* unit;
    double px;
  } kUnits[] = {{"px", 1}, {"pt", 96.0 / 72}, {"pc", 16}, {"mm", 96 / 25.4}, {"cm", 96 / 2.54}, {"in", 96}};
  for (const auto& u : kUnits)
    if (strncmp(end, u.unit, 2) == 0) return v * u.px;
  if (*end == '%' || isalpha(static_cast<unsigned char>(*end))) return -1;
  return v;
}

bool ReadSvgClaim(FILE* file, ImageClaim* claim) {
  std::vector<char> text(65536);
  fseek(file, 0, SEEK_SET);
  text.resize(fread(text.data(), 1, text.size() - 1, file));
  text.push_back(0);
  const char* svg = strstr(text.data(), "<svg");
  if (svg == nullptr) return true;
  const char* close = strchr(svg, '>');
  const std::string element(svg, close != nullptr ? close : svg + strlen(svg));
  double w = SvgLength(element.c_str(), "width"), h = SvgLength(element.c_str(), "height");
  const char* box = strstr(element.c_str(), "viewBox=");
  double box_w = -1, box_h = -1;
  if (box != nullptr && sscanf(box + 9, "%*f%*[ ,]%*f%*[ ,]%lf%*[ ,]%lf", &box_w, &box_h) != 2) box_w = box_h = -1;
  if (w < 0) w = box_w;
  if (h < 0) h = box_h;
  if (w >= 0 && h >= 0) {
    claim->width = static_cast<int64_t>(std::min(std::ceil(w), 1e12));
    claim->height = static_cast<int64_t>(std::min(std::ceil(h), 1e12));
  }
  return true;
}

// The size an image of `kind` claims; -1 x -1 when its format says nothing cheaply found.
bool ReadOtherClaim(ImageKind kind, FILE* file, ImageClaim* claim, char* reason, size_t reason_size) {
  claim->width = claim->height = -1;
  bool read = true;
  switch (kind) {
    case ImageKind::kGif: read = ReadGifClaim(file, claim); break;
    case ImageKind::kTga: read = ReadTgaClaim(file, claim); break;
    case ImageKind::kTiff: read = ReadTiffClaim(file, claim); break;
    case ImageKind::kXcf: read = ReadXcfClaim(file, claim); break;
    case ImageKind::kSvg: read = ReadSvgClaim(file, claim); break;
    case ImageKind::kPnm: read = ReadPnmClaim(file, claim); break;
    case ImageKind::kQoi: read = ReadQoiClaim(file, claim); break;
    case ImageKind::kWebp: read = ReadWebpClaim(file, claim); break;
    case ImageKind::kPcx: read = ReadPcxClaim(file, claim); break;
    default: break;
  }
  if (!read) snprintf(reason, reason_size, "It ends inside its header, or has none.");
  return read;
}

// ---------------------------------------------------------------- Compressed

// Compressed images decode to at most this many bytes per byte of file: deflate reaches
// about 1030, a JPEG of a single colour about 200.
constexpr int64_t kMostDecodedBytesPerFileByte = 1100;

bool CompressedFileHoldsClaim(const ImageClaim& claim, int64_t file_bytes, char* reason, size_t reason_size) {
  if (claim.width <= 0 || claim.height <= 0) {
    snprintf(reason, reason_size, "Its header claims an impossible size (%lld x %lld pixels).",
             static_cast<long long>(claim.width), static_cast<long long>(claim.height));
    return false;
  }
  // The pixels as the format codes them before compression: rows of `bits` per pixel
  // (a PNG row starts with a filter byte).
  const int64_t row_bytes = (claim.width * std::max<int64_t>(claim.bits, 1) + 7) / 8 + 1;
  if (file_bytes < 0 || row_bytes * claim.height <= file_bytes * kMostDecodedBytesPerFileByte) return true;
  snprintf(reason, reason_size, "It holds %lld bytes, far too few for the %lld x %lld pixels its header promises.",
           static_cast<long long>(file_bytes), static_cast<long long>(claim.width),
           static_cast<long long>(claim.height));
  return false;
}

}  // namespace

// ---------------------------------------------------------------- Checks

int64_t FileBytes(FILE* file) {
  struct stat st;
  return fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : -1;
}

Status ReadImageClaim(FILE* file, ImageKind kind, ImageClaim& claim) {
  char reason[255];
  const bool claimed = kind == ImageKind::kBmp    ? ReadBmpClaim(file, &claim, reason, sizeof reason)
                       : kind == ImageKind::kPng  ? ReadPngClaim(file, &claim, reason, sizeof reason)
                       : kind == ImageKind::kJpeg ? ReadJpegClaim(file, &claim, reason, sizeof reason)
                                                  : ReadOtherClaim(kind, file, &claim, reason, sizeof reason);
  return claimed ? Status::Ok() : Status::Failure(reason);
}

Status CheckClaimedSize(const ImageClaim& claim) {
  if (!claim.SizeKnown() || (claim.width != 0 && claim.height != 0)) return Status::Ok();
  char reason[255];
  snprintf(reason, sizeof reason, "Its header claims an impossible size (%lld x %lld pixels).",
           static_cast<long long>(claim.width), static_cast<long long>(claim.height));
  return Status::Failure(reason);
}

Status CheckFileHoldsClaim(ImageKind kind, const ImageClaim& claim, int64_t file_bytes) {
  char reason[255];
  const bool holds = kind == ImageKind::kBmp ? FileHoldsClaim(claim, reason, sizeof reason)
                     : kind == ImageKind::kPng || kind == ImageKind::kJpeg
                         ? CompressedFileHoldsClaim(claim, file_bytes, reason, sizeof reason)
                         : true;
  return holds ? Status::Ok() : Status::Failure(reason);
}

bool ClaimFitsMemory(const ImageClaim& claim, const char* path, char* msg, size_t size) {
  return !claim.SizeKnown() ||
         memory::Fits(static_cast<double>(claim.width) * static_cast<double>(claim.height) * memory::kBytesPerTexel,
                      claim.width, claim.height, "pixels", path, msg, size);
}
