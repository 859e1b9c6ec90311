// Turns an image file into the terrain's texture. The file's header is read first, so that a
// claim the file cannot back or OpenGL cannot hold is refused before anything is decoded;
// then SDL decodes the file, every pixel depth is brought to 24-bit BGR, and the rows go to
// OpenGL top row first.
#include "TextureLoader.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

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

// Images other than BMP, decoded by SDL2_image.
enum class ImageKind { kBmp, kPng, kJpeg, kOther };

ImageKind Sniff(FILE* file) {
  unsigned char start[8] = {};
  const size_t got = fread(start, 1, sizeof start, file);
  rewind(file);
  static const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (got >= 2 && start[0] == 'B' && start[1] == 'M') return ImageKind::kBmp;
  if (got == 8 && memcmp(start, kPngSignature, 8) == 0) return ImageKind::kPng;
  if (got >= 3 && start[0] == 0xFF && start[1] == 0xD8 && start[2] == 0xFF) return ImageKind::kJpeg;
  return ImageKind::kOther;
}

uint32_t Be16(const unsigned char* p) { return (p[0] << 8) | p[1]; }
uint32_t Be32(const unsigned char* p) { return (Be16(p) << 16) | Be16(p + 2); }

// A PNG's size stands in its first chunk, IHDR.
bool ReadPngClaim(FILE* file, BmpClaim* claim, char* reason, size_t reason_size) {
  unsigned char h[24];
  if (fread(h, 1, sizeof h, file) != sizeof h || memcmp(h + 12, "IHDR", 4) != 0) {
    snprintf(reason, reason_size, "It ends inside its PNG header, or has none.");
    return false;
  }
  claim->width = Be32(h + 16);
  claim->height = Be32(h + 20);
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
      unsigned char f[5];
      if (fread(f, 1, sizeof f, file) != sizeof f) break;
      claim->height = Be16(f + 1);
      claim->width = Be16(f + 3);
      return true;
    }
    if (marker == 0xDA || marker == 0xD9 || length < 2 || fseek(file, length - 2, SEEK_CUR) != 0) break;
  }
  snprintf(reason, reason_size, "Its JPEG header holds no image size.");
  return false;
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
  if (file_bytes < 0 || claim.width * claim.height * 3 <= file_bytes * kMostDecodedBytesPerFileByte) return true;
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
  // The size the image claims, read from its header before anything is decoded; other
  // formats are measured once decoded.
  const ImageKind kind = Sniff(file);
  BmpClaim claim;
  bool claimed = true;
  if (kind == ImageKind::kBmp)
    claimed = ReadClaim(file, &claim, reason, sizeof reason);
  else if (kind == ImageKind::kPng)
    claimed = ReadPngClaim(file, &claim, reason, sizeof reason);
  else if (kind == ImageKind::kJpeg)
    claimed = ReadJpegClaim(file, &claim, reason, sizeof reason);
  if (!claimed) {
    fclose(file);
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
                     : kind == ImageKind::kOther
                         ? true
                         : CompressedFileHoldsClaim(claim, FileBytes(file), reason, sizeof reason);
  if (!holds) {
    fclose(file);
    WriteReport(msg, sizeof msg, "Could not open the file ", filename, "");
    return 0;
  }

  const int64_t decoded_bytes = claim.width * claim.height * 3;
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
  SDL_Surface* bmp_image = kind == ImageKind::kBmp ? SDL_LoadBMP_RW(stream, 1) : IMG_Load_RW(stream, 1);
  if (bmp_image == nullptr) {
    if (kind == ImageKind::kOther)
      snprintf(reason, sizeof reason, "It is no BMP, PNG or JPEG image, nor another format SDL2_image reads.");
    else
      SdlReason(reason, sizeof reason);
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
