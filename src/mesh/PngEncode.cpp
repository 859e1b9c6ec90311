#include "PngEncode.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

void AppendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<unsigned char>*>(context);
  const auto* bytes = static_cast<const unsigned char*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

bool EncodePng(int width, int height, const unsigned char* rgb, std::vector<unsigned char>* png) {
  png->clear();
  return width > 0 && height > 0 && rgb != nullptr &&
         stbi_write_png_to_func(AppendBytes, png, width, height, 3, rgb, width * 3) != 0;
}
