// Turns an image file into the terrain's texture. The file's header is read first
// (ImageClaims), so that a claim the file cannot back or OpenGL cannot hold is refused
// before anything is decoded; then SDL decodes the file to 24-bit BGR rows
// (TextureDecode), and the rows go to OpenGL top row first.
#include "TextureLoader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "ImageClaims.h"
#include "Report.h"
#include "TextureDecode.h"

namespace {

// Images whose decoded pixels take more than this are announced before they are loaded.
constexpr int64_t kLargeImageBytes = int64_t{64} << 20;

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
  // Refuses the file with `status`'s reason.
  auto refuse = [&](const Status& status) {
    snprintf(reason, sizeof reason, "%s", status.reason().c_str());
    WriteReport(msg, sizeof msg, "Could not open the file ", filename, "");
    return 0;
  };

  struct stat st;
  if (fstat(fileno(file), &st) == 0 && S_ISDIR(st.st_mode)) {  // opens, but cannot be read
    fclose(file);
    return refuse(Status::Failure(strerror(EISDIR)));
  }
  // The size the image claims, read from its header before anything is decoded.
  const ImageKind kind = SniffImage(file, filename);
  ImageClaim claim;
  Status check = ReadImageClaim(file, kind, claim);
  if (check.ok()) check = CheckClaimedSize(claim);
  if (!check.ok()) {
    fclose(file);
    return refuse(check);
  }
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  if (claim.width > max_size || claim.height > max_size) {
    fclose(file);
    ReportTooLarge(filename, claim.width, claim.height, max_size);
    return 0;
  }
  check = CheckFileHoldsClaim(kind, claim, FileBytes(file));
  if (!check.ok()) {
    fclose(file);
    return refuse(check);
  }
  // What decoding and uploading take, against the memory left.
  if (!ClaimFitsMemory(claim, filename, msg, sizeof msg)) {
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

  DecodedImage image;
  check = DecodeImage(file, kind, image);
  if (!check.ok()) return refuse(check);
  if (image.width() > max_size || image.height() > max_size) {
    ReportTooLarge(filename, image.width(), image.height(), max_size);
    return 0;
  }
  check = image.ToBgrRows();
  if (!check.ok()) return refuse(check);
  const int w = image.width();
  const int h = image.height();

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
  glTexImage2D(GL_TEXTURE_2D, 0, 3, w, h, 0, GL_BGR, GL_UNSIGNED_BYTE, image.rows());
  // An image the GL cannot hold (out of memory, most likely) leaves no texture behind.
  const GLenum error = glGetError();
  glPopClientAttrib();

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
