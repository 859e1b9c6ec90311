#include "TextureDecode.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <atomic>
#include <cstdint>
#include <cstring>

#include "MemoryBudget.h"

namespace {

// Size of one 24-bit row as SDL stores it and as OpenGL reads it with its default unpack
// alignment of 4: three bytes per pixel, filled up to a multiple of four.
int AlignedRowBytes(int w) { return (w * 3 + 3) & ~3; }

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

}  // namespace

DecodedImage::~DecodedImage() {
  if (surface_ == nullptr) return;
  if (locked_) SDL_UnlockSurface(surface_);
  SDL_FreeSurface(surface_);
}

int DecodedImage::width() const { return surface_->w; }
int DecodedImage::height() const { return surface_->h; }

Status DecodeImage(FILE* file, ImageKind kind, DecodedImage& image) {
  rewind(file);
  SDL_ClearError();
  SDL_RWops* stream = SDL_RWFromFP(file, SDL_TRUE);
  char reason[255];
  if (stream == nullptr) {
    SdlReason(reason, sizeof reason);
    fclose(file);
    return Status::Failure(reason);
  }
  // No block of the decoder's may take more than the decoded image's share of the memory left.
  const memory::Room room = memory::Available();
  SDL_Surface* decoded = nullptr;
  size_t refused = 0;
  {
    DecodeGuard guard(static_cast<size_t>(room.bytes / memory::kBytesPerTexel * 4));
    decoded = kind == ImageKind::kBmp   ? SDL_LoadBMP_RW(stream, 1)
              : kind == ImageKind::kTga ? IMG_LoadTyped_RW(stream, 1, "TGA")
                                        : IMG_Load_RW(stream, 1);
    refused = guard.Refused();
  }
  if (decoded == nullptr) {
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
    return Status::Failure(reason);
  }
  if (decoded->w <= 0 || decoded->h <= 0) {
    snprintf(reason, sizeof reason, "It decodes to an empty image (%i x %i pixels).", decoded->w, decoded->h);
    SDL_FreeSurface(decoded);
    return Status::Failure(reason);
  }
  image.surface_ = decoded;
  return Status::Ok();
}

Status DecodedImage::ToBgrRows() {
  // Palette, 16- and 32-bit images are converted; the upload reads three bytes per pixel.
  if (surface_->format->format != SDL_PIXELFORMAT_BGR24) {
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(surface_, SDL_PIXELFORMAT_BGR24, 0);
    SDL_FreeSurface(surface_);
    surface_ = converted;
    if (converted == nullptr) {
      char reason[255];
      SdlReason(reason, sizeof reason);
      return Status::Failure(reason);
    }
  }
  const int w = surface_->w;
  const int h = surface_->h;
  if (SDL_MUSTLOCK(surface_)) locked_ = SDL_LockSurface(surface_) == 0;
  const unsigned char* pixels = static_cast<const unsigned char*>(surface_->pixels);
  // SDL pads 24-bit rows to four bytes, which is what OpenGL expects; any other pitch is
  // repacked so that no row is read from the wrong place.
  const int row_bytes = AlignedRowBytes(w);
  if (surface_->pitch != row_bytes) {
    repacked_.assign(static_cast<size_t>(row_bytes) * h, 0);
    for (int row = 0; row < h; ++row)
      memcpy(&repacked_[static_cast<size_t>(row) * row_bytes], pixels + static_cast<size_t>(row) * surface_->pitch,
             static_cast<size_t>(w) * 3);
    pixels = repacked_.data();
  }
  rows_ = pixels;
  return Status::Ok();
}
