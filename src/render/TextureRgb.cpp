#include "TextureRgb.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ImageClaims.h"
#include "ImageKind.h"
#include "TextureDecode.h"

Status ReadTextureRgb(const std::string& path, TextureRgb* out) {
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return Status::Failure(strerror(errno));
  const ImageKind kind = SniffImage(file, path.c_str());
  ImageClaim claim;
  Status check = ReadImageClaim(file, kind, claim);
  if (check.ok()) check = CheckClaimedSize(claim);
  if (!check.ok()) {
    fclose(file);
    return check;
  }
  DecodedImage image;
  if (check = DecodeImage(file, kind, image); !check.ok()) return check;  // the file is closed
  if (check = image.ToBgrRows(); !check.ok()) return check;
  const int w = image.width(), h = image.height();
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  out->width = w;
  out->height = h;
  out->rgb.resize(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = image.rows() + y * stride;
    unsigned char* to = &out->rgb[static_cast<size_t>(y) * w * 3];
    for (int x = 0; x < w; ++x) {
      to[3 * x] = row[3 * x + 2];
      to[3 * x + 1] = row[3 * x + 1];
      to[3 * x + 2] = row[3 * x];
    }
  }
  return Status::Ok();
}
