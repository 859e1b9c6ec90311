#include "OffscreenRender.h"

#include <GL/osmesa.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "ConsoleProgress.h"
#include "ContourDrawing.h"
#include "Legend.h"
#include "LookGlobals.h"
#include "MeasureGlobals.h"
#include "MemoryBudget.h"
#include "Snapshot.h"
#include "ReliefTextures.h"
#include "TerrainDrawing.h"
#include "ViewerContours.h"

bool OffscreenCanDraw(const char* path, const char* texture, ConsoleProgress* progress) {
  // A reason goes on a line of its own.
  const auto clear_progress = [progress] {
    if (progress != nullptr) progress->Done();
  };
  if (NormalTableMissing()) {
    clear_progress();
    printf("\tCannot render %s: not enough memory for the normals of the grid.\n\n", path);
    return false;
  }
  if (rendering_mode == 1 && texture_id == 0) {
    clear_progress();
    if (texture != nullptr)
      printf("\tCannot render %s: the texture %s could not be loaded for --shading texture.\n\n", path, texture);
    else
      printf("\tCannot render %s: --shading texture needs a TEXTURE file.\n\n", path);
    return false;
  }
  return true;
}

bool DrawPicture(const char* path, ConsoleProgress* progress) {
  // Without a window no frame waits for the worker: the contours are made here.
  if (show_contours) MakeContoursNow();
  RenderScene(SceneUse::kPicture);
  if (LegendShown(legend_in_pictures)) DrawLegend();
  glFinish();
  if (Viewer.DrawnMesh().level >= 0) return true;
  progress->Done();
  printf("\tCannot render %s: no memory left for a mesh at any precision.\n\n", path);
  return false;
}

namespace {

// Draws the start view into the current context and writes it to `path`, unless what was
// asked cannot be drawn; prints the outcome. The exit status.
int DrawAndWrite(const char* path, const char* texture, ConsoleProgress& progress) {
  progress.Update(0.6);  // the scene is set up: the mesh and the shading are made
  if (!OffscreenCanDraw(path, texture, &progress)) return 1;
  if (!DrawPicture(path, &progress)) return 1;
  progress.Update(0.8);
  int view_w = 0, view_h = 0;
  const std::vector<unsigned char> pixels = ReadViewPixels(&view_w, &view_h);
  const Status saved = snapshot::SavePngAs(path, view_w, view_h, pixels.data());
  progress.Done();
  if (!saved.ok()) {
    printf("\tCannot write %s: %s.\n\n", path, saved.reason().c_str());
    return 1;
  }
  printf("\tWrote the view to %s (%d x %d).\n\n", path, view_w, view_h);
  return 0;
}

}  // namespace

int DrawOffscreen(const char* path, int w, int h, int argc, char** argv, const std::function<int()>& draw) {
  if (!GridHoldsHeights()) {
    printf("\tCannot render %s: %s.\n\n", path, kNoTerrainReason);
    return 1;
  }
  // Mesa does not survive a buffer it cannot have: the figures are checked first.
  const unsigned long long needed = snapshot::PictureBytes(w, h), available = static_cast<unsigned long long>(memory::Available().bytes);
  if (needed > available) {
    printf("\tCannot render %s: a %d x %d picture needs %llu MB to draw and write, and %llu MB are free.\n\n",
           path, w, h, needed >> 20, available >> 20);
    return 1;
  }
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
  SetUpScene(argc, argv);
  const int status = draw();
  ReleaseTerrainArrays();
  ReleaseContourBuffers();
  ReleaseReliefTextures();
  if (texture_id != 0) glDeleteTextures(1, &texture_id);
  OSMesaDestroyContext(context);
  return status;
}

int RenderSnapshot(const char* path, int w, int h, int argc, char** argv) {
  ConsoleProgress progress(std::string("Rendering ") + path);
  return DrawOffscreen(path, w, h, argc, argv,
                       [&] { return DrawAndWrite(path, argc > 2 ? argv[2] : nullptr, progress); });
}
