// Turns an image file into the terrain's texture. The file's header is read first, so that a
// claim the file cannot back or OpenGL cannot hold is refused before anything is decoded;
// then SDL decodes the file, every pixel depth is brought to 24-bit BGR, and the rows go to
// OpenGL top row first.
//
//   Claims          - what a BMP header promises, and whether the file can hold it
//   GL errors       - names for the upload's failures
//   Sniffing        - the format from the first bytes (TGA by its header fields)
//   Other claims    - width and height from PNG, JPEG, GIF, TGA, TIFF, XCF, QOI, WebP,
//                     PCX, PNM and SVG headers, checked against the file and the memory
//   Guarded decode  - SDL's allocations bounded for formats without a readable size
//   LoadBMPTexture
#include "TextureLoader.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <sys/stat.h>

#include <strings.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "MemoryBudget.h"
#include "Report.h"

namespace {

// Size of one 24-bit row as SDL stores it and as OpenGL reads it with its default unpack
// alignment of 4: three bytes per pixel, filled up to a multiple of four.
int AlignedRowBytes(int w) { return (w * 3 + 3) & ~3; }

// Images whose decoded pixels take more than this are announced before they are loaded.
constexpr int64_t kLargeImageBytes = int64_t{64} << 20;

// A run-length coded BMP spends two bytes on a run of at most 255 pixels; anything
// denser than this is a header that promises more than its data holds.
constexpr int64_t kMostRlePixelsPerByte = 128;

// BMP compression codes.
constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2;

uint32_t Le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t Le32(const unsigned char* p) { return Le16(p) | (Le16(p + 2) << 16); }

// What a BMP header promises.
struct BmpClaim {
  int64_t width = 0;
  int64_t height = 0;  // rows, whether stored top-down or bottom-up
  int64_t bits = 0;
  uint32_t compression = kBiRgb;
  int64_t data_bytes = -1;  // bytes from the start of the pixel data to the end; -1 if unknown
};

// The size of a regular file; -1 for pipes and other streams.
int64_t FileBytes(FILE* file) {
  struct stat st;
  return fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : -1;
}

// Reads the file header and the start of the info header of a file that starts with "BM".
// Returns false with a reason when the file cannot be read or its header is unusable.
bool ReadClaim(FILE* file, BmpClaim* claim, char* reason, size_t reason_size) {
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
bool FileHoldsClaim(const BmpClaim& claim, char* reason, size_t reason_size) {
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

const char* GlErrorName(GLenum error, char* buffer, size_t size) {
  switch (error) {
    case GL_INVALID_ENUM:
      return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE:
      return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION:
      return "GL_INVALID_OPERATION";
    case GL_STACK_OVERFLOW:
      return "GL_STACK_OVERFLOW";
    case GL_STACK_UNDERFLOW:
      return "GL_STACK_UNDERFLOW";
    case GL_OUT_OF_MEMORY:
      return "GL_OUT_OF_MEMORY";
    default:
      snprintf(buffer, size, "GL error 0x%04X", static_cast<unsigned>(error));
      return buffer;
  }
}

// Discards the error flags left by earlier calls, so that a check after the upload sees only
// the upload's own. A context sets at most one flag per kind of error.
void ClearGlErrors() {
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
  }
}

// Images other than BMP, decoded by SDL2_image. Those with a kind of their own have their
// size read from their header; the others are decoded under the memory guard below.
enum class ImageKind { kBmp, kPng, kJpeg, kGif, kTga, kTiff, kXcf, kSvg, kPnm, kQoi, kWebp, kPcx, kOther };

uint32_t Be16(const unsigned char* p) { return (p[0] << 8) | p[1]; }
uint32_t Be32(const unsigned char* p) { return (Be16(p) << 16) | Be16(p + 2); }

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

// A PNG's size stands in its first chunk, IHDR.
bool ReadPngClaim(FILE* file, BmpClaim* claim, char* reason, size_t reason_size) {
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
bool ReadJpegClaim(FILE* file, BmpClaim* claim, char* reason, size_t reason_size) {
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

// Reads `n` bytes at `offset`; false when the file ends before.
bool ReadAt(FILE* file, long offset, unsigned char* to, size_t n) {
  return fseek(file, offset, SEEK_SET) == 0 && fread(to, 1, n, file) == n;
}

// A GIF's screen, and its first image, which SDL2_image decodes at the image's own size.
bool ReadGifClaim(FILE* file, BmpClaim* claim) {
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

bool ReadTgaClaim(FILE* file, BmpClaim* claim) {
  unsigned char h[18];
  if (!ReadAt(file, 0, h, sizeof h)) return false;
  claim->width = Le16(h + 12);
  claim->height = Le16(h + 14);
  return true;
}

// The width and height tags of a TIFF's first directory, classic or BigTIFF.
bool ReadTiffClaim(FILE* file, BmpClaim* claim) {
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
bool ReadXcfClaim(FILE* file, BmpClaim* claim) {
  unsigned char h[22];
  if (!ReadAt(file, 0, h, sizeof h)) return true;
  claim->width = Be32(h + 14);
  claim->height = Be32(h + 18);
  return true;
}

bool ReadQoiClaim(FILE* file, BmpClaim* claim) {
  unsigned char h[12];
  if (!ReadAt(file, 0, h, sizeof h)) return false;
  claim->width = Be32(h + 4);
  claim->height = Be32(h + 8);
  return true;
}

// The size in a WebP's first chunk: lossy (VP8), lossless (VP8L) or extended (VP8X).
bool ReadWebpClaim(FILE* file, BmpClaim* claim) {
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

bool ReadPcxClaim(FILE* file, BmpClaim* claim) {
  unsigned char h[12];
  if (!ReadAt(file, 0, h, sizeof h)) return false;
  claim->width = static_cast<int64_t>(Le16(h + 8)) - Le16(h + 4) + 1;
  claim->height = static_cast<int64_t>(Le16(h + 10)) - Le16(h + 6) + 1;
  return true;
}

// Netpbm: the magic, then width and height as decimal words, with comments between.
bool ReadPnmClaim(FILE* file, BmpClaim* claim) {
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

bool ReadSvgClaim(FILE* file, BmpClaim* claim) {
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
bool ReadOtherClaim(ImageKind kind, FILE* file, BmpClaim* claim, char* reason, size_t reason_size) {
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

// Compressed images decode to at most this many bytes per byte of file: deflate reaches
// about 1030, a JPEG of a single colour about 200.
constexpr int64_t kMostDecodedBytesPerFileByte = 1100;

bool CompressedFileHoldsClaim(const BmpClaim& claim, int64_t file_bytes, char* reason, size_t reason_size) {
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

// SDL's account of its last failure, or a general one when it left none.
void SdlReason(char* reason, size_t size) {
  const char* text = SDL_GetError();
  snprintf(reason, size, "%s", text != nullptr && text[0] != 0 ? text : "Its pixel data cannot be decoded.");
}

// While an image is decoded, SDL's allocator refuses any block larger than the memory
// left, so that a size no header gave away (an XCF's layers, an SVG without one) fails
// cleanly instead of taking the machine's memory. The guard wraps SDL's own functions and
// frees with them, so it can be put in place at any time.
std::atomic<size_t> largest_block{SIZE_MAX};
std::atomic<size_t> refused_block{0};
SDL_malloc_func sdl_malloc = nullptr;
SDL_calloc_func sdl_calloc = nullptr;
SDL_realloc_func sdl_realloc = nullptr;
SDL_free_func sdl_free = nullptr;

bool Refused(size_t bytes) {
  if (bytes <= largest_block) return false;
  refused_block = bytes;
  return true;
}
void* GuardedMalloc(size_t bytes) { return Refused(bytes) ? nullptr : sdl_malloc(bytes); }
void* GuardedCalloc(size_t count, size_t each) {
  return each != 0 && (count > SIZE_MAX / each || Refused(count * each)) ? nullptr : sdl_calloc(count, each);
}
void* GuardedRealloc(void* block, size_t bytes) { return Refused(bytes) ? nullptr : sdl_realloc(block, bytes); }

// Limits SDL's blocks to `bytes` for as long as it lives.
class DecodeGuard {
 public:
  explicit DecodeGuard(size_t bytes) {
    static const bool installed = [] {
      SDL_GetMemoryFunctions(&sdl_malloc, &sdl_calloc, &sdl_realloc, &sdl_free);
      return SDL_SetMemoryFunctions(GuardedMalloc, GuardedCalloc, GuardedRealloc, sdl_free) == 0;
    }();
    (void)installed;
    refused_block = 0;
    largest_block = bytes;
  }
  ~DecodeGuard() { largest_block = SIZE_MAX; }
  size_t Refused() const { return refused_block; }
};

// Whether the file's name ends in `.ending`, in any case.
bool EndsWith(const char* path, const char* ending) {
  const size_t n = strlen(path), m = strlen(ending);
  return n > m && path[n - m - 1] == '.' && strcasecmp(path + n - m, ending) == 0;
}

}  // namespace

void TextureLoader::ReportTooLarge(const char* filename, long long width, long long height, int max_size) {
  char suffix[128];
  snprintf(suffix, sizeof suffix, " is too large for a texture (%lld x %lld pixels, at most %i x %i).", width, height,
           max_size, max_size);
  WriteReport(msg, sizeof msg, "The file ", filename, suffix);
}

GLuint TextureLoader::LoadBMPTexture(const char* filename) {
  reason[0] = 0;
  FILE* file = fopen(filename, "rb");
  if (file == nullptr) {
    snprintf(reason, sizeof reason, "%s", strerror(errno));
    WriteReport(msg, sizeof msg, "Could not open the file ", filename, "");
    return 0;
  }

  struct stat st;
  if (fstat(fileno(file), &st) == 0 && S_ISDIR(st.st_mode)) {  // opens, but cannot be read
    snprintf(reason, sizeof reason, "%s", strerror(EISDIR));
    fclose(file);
    WriteReport(msg, sizeof msg, "Could not open the file ", filename, "");
    return 0;
  }
  // The size the image claims, read from its header before anything is decoded. A TGA
  // has no signature: its header's fields or its name's ending tell it.
  ImageKind kind = Sniff(file);
  if (kind == ImageKind::kOther && EndsWith(filename, "tga")) kind = ImageKind::kTga;
  BmpClaim claim;
  bool claimed = true;
  if (kind == ImageKind::kBmp)
    claimed = ReadClaim(file, &claim, reason, sizeof reason);
  else if (kind == ImageKind::kPng)
    claimed = ReadPngClaim(file, &claim, reason, sizeof reason);
  else if (kind == ImageKind::kJpeg)
    claimed = ReadJpegClaim(file, &claim, reason, sizeof reason);
  else
    claimed = ReadOtherClaim(kind, file, &claim, reason, sizeof reason);
  if (!claimed) {
    fclose(file);
    WriteReport(msg, sizeof msg, "Could not open the file ", filename, "");
    return 0;
  }
  const bool known = claim.width >= 0 && claim.height >= 0;  // some formats give no size cheaply
  if (known && (claim.width == 0 || claim.height == 0)) {
    fclose(file);
    snprintf(reason, sizeof reason, "Its header claims an impossible size (%lld x %lld pixels).",
             static_cast<long long>(claim.width), static_cast<long long>(claim.height));
    WriteReport(msg, sizeof msg, "Could not open the file ", filename, "");
    return 0;
  }
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  if (claim.width > max_size || claim.height > max_size) {
    fclose(file);
    ReportTooLarge(filename, claim.width, claim.height, max_size);
    return 0;
  }
  const bool holds = kind == ImageKind::kBmp ? FileHoldsClaim(claim, reason, sizeof reason)
                     : kind == ImageKind::kPng || kind == ImageKind::kJpeg
                         ? CompressedFileHoldsClaim(claim, FileBytes(file), reason, sizeof reason)
                         : true;
  if (!holds) {
    fclose(file);
    WriteReport(msg, sizeof msg, "Could not open the file ", filename, "");
    return 0;
  }
  // What decoding and uploading take, against the memory left.
  if (known && !memory::Fits(static_cast<double>(claim.width) * static_cast<double>(claim.height) *
                                 memory::kBytesPerTexel,
                             claim.width, claim.height, "pixels", filename, msg, sizeof msg)) {
    fclose(file);
    return 0;
  }

  const int64_t decoded_bytes = std::max<int64_t>(claim.width * claim.height * 3, 0);
  if (decoded_bytes > kLargeImageBytes) {
    printf("\tLoading a large texture (%lld x %lld pixels, %lld MB), this takes a while ..\n\n",
           static_cast<long long>(claim.width), static_cast<long long>(claim.height),
           static_cast<long long>((decoded_bytes + (1 << 19)) >> 20));
    fflush(stdout);
  }

  rewind(file);
  SDL_ClearError();
  SDL_RWops* stream = SDL_RWFromFP(file, SDL_TRUE);
  if (stream == nullptr) {
    SdlReason(reason, sizeof reason);
    fclose(file);
    WriteReport(msg, sizeof msg, "Could not open the file ", filename, "");
    return 0;
  }
  // No block of the decoder's may take more than the decoded image's share of the memory left.
  const memory::Room room = memory::Available();
  SDL_Surface* bmp_image = nullptr;
  size_t refused = 0;
  {
    DecodeGuard guard(static_cast<size_t>(room.bytes / memory::kBytesPerTexel * 4));
    bmp_image = kind == ImageKind::kBmp   ? SDL_LoadBMP_RW(stream, 1)
                : kind == ImageKind::kTga ? IMG_LoadTyped_RW(stream, 1, "TGA")
                                          : IMG_Load_RW(stream, 1);
    refused = guard.Refused();
  }
  if (bmp_image == nullptr) {
    if (refused > 0) {
      char need[32], have[32];
      memory::FormatBytes(static_cast<double>(refused), need, sizeof need);
      memory::FormatBytes(static_cast<double>(room.bytes), have, sizeof have);
      snprintf(reason, sizeof reason, "Decoding it asked for %s at once; %s %s%s.", need,
               room.process_limit ? "the process's memory limit leaves" : "this machine has", have,
               room.process_limit ? "" : " free");
    } else if (kind == ImageKind::kOther) {
      snprintf(reason, sizeof reason, "It is no BMP, PNG or JPEG image, nor another format SDL2_image reads.");
    } else {
      SdlReason(reason, sizeof reason);
    }
    WriteReport(msg, sizeof msg, "Could not open the file ", filename, "");
    return 0;
  }
  if (bmp_image->w <= 0 || bmp_image->h <= 0) {
    snprintf(reason, sizeof reason, "It decodes to an empty image (%i x %i pixels).", bmp_image->w, bmp_image->h);
    SDL_FreeSurface(bmp_image);
    WriteReport(msg, sizeof msg, "Could not open the file ", filename, "");
    return 0;
  }
  if (bmp_image->w > max_size || bmp_image->h > max_size) {
    ReportTooLarge(filename, bmp_image->w, bmp_image->h, max_size);
    SDL_FreeSurface(bmp_image);
    return 0;
  }

  // Palette, 16- and 32-bit images are converted; the upload reads three bytes per pixel.
  if (bmp_image->format->format != SDL_PIXELFORMAT_BGR24) {
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(bmp_image, SDL_PIXELFORMAT_BGR24, 0);
    SDL_FreeSurface(bmp_image);
    if (converted == nullptr) {
      SdlReason(reason, sizeof reason);
      WriteReport(msg, sizeof msg, "Could not open the file ", filename, "");
      return 0;
    }
    bmp_image = converted;
  }

  const int w = bmp_image->w;
  const int h = bmp_image->h;
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

  ClearGlErrors();
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
  // An image the GL cannot hold (out of memory, most likely) leaves no texture behind.
  const GLenum error = glGetError();
  glPopClientAttrib();

  if (SDL_MUSTLOCK(bmp_image)) SDL_UnlockSurface(bmp_image);
  SDL_FreeSurface(bmp_image);

  if (error != GL_NO_ERROR) {
    glDeleteTextures(1, &texture);
    ClearGlErrors();
    char name[32];
    char suffix[96];
    snprintf(suffix, sizeof suffix, " could not be made a texture (%s).", GlErrorName(error, name, sizeof name));
    WriteReport(msg, sizeof msg, "The file ", filename, suffix);
    snprintf(reason, sizeof reason, "OpenGL refused its %i x %i pixels; the terrain is drawn without a texture.", w, h);
    return 0;
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

  WriteReport(msg, sizeof msg, "The file ", filename, " was loaded succesfully.");
  return texture;
}
