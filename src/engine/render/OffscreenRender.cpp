#include "OffscreenRender.h"

#include <GL/osmesa.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "Snapshot.h"

int RenderSnapshot(const char* path, int w, int h, int argc, char** argv) {
  OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
  std::vector<unsigned char> buffer;
  try {
    buffer.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
  } catch (const std::bad_alloc&) {
    buffer.clear();
  }
  if (context == nullptr || buffer.empty() || !OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, w, h)) {
    printf("\tCannot render %s: the off-screen renderer has no %d x %d picture to draw in.\n\n", path, w, h);
    if (context != nullptr) OSMesaDestroyContext(context);
    return 1;
  }

  width = w;
  height = h;
  GlutInit(argc, argv);
  int status = 1;
  if (normales == nullptr) {
    printf("\tCannot render %s: not enough memory for the normals of the grid.\n\n", path);
  } else {
    RenderScene();
    glFinish();
    int view_w = 0, view_h = 0;
    const std::vector<unsigned char> pixels = ReadViewPixels(&view_w, &view_h);
    std::string error;
    if (snapshot::SavePngAs(path, view_w, view_h, pixels.data(), &error)) {
      printf("\tWrote the view to %s (%d x %d).\n\n", path, view_w, view_h);
      status = 0;
    } else {
      printf("\tCannot write %s: %s.\n\n", path, error.c_str());
    }
  }
  ReleaseTerrainArrays();
  if (texture_id != 0) glDeleteTextures(1, &texture_id);
  OSMesaDestroyContext(context);
  return status;
}
