#include "FrameStats.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Brackenholmer.h"

void UpdateFrameRate(int now_ms) {
  frames += 1;
  const float elapsed = now_ms - timebase;
  if (elapsed > 1000) {
    fps = frames * (1000 / elapsed);
    timebase = now_ms;
    frames = 0;
  }
}

namespace {

// Appends formatted text to text_buffer, never past its end.
__attribute__((format(printf, 1, 2))) void AppendOverlay(const char* format, ...) {
  const size_t used = std::strlen(text_buffer);
  if (used + 1 >= sizeof text_buffer) return;
  va_list args;
  va_start(args, format);
  std::vsnprintf(text_buffer + used, sizeof text_buffer - used, format, args);
  va_end(args);
}

}  // namespace

void ComposeOverlayText() {
  text_buffer[0] = '\0';
  AppendOverlay("Fps: %.4f\n", fps);
  AppendOverlay("%s %i\n", "Triangles:", triangle_count);
  // The budget or the memory stopped the mesh on screen short of the precision asked for.
  const IndexedMesh& mesh = Viewer.DrawnMesh();
  if (mesh.level < 0)
    AppendOverlay("No memory left for a mesh\n");
  else if (mesh.level < mesh.precision)
    AppendOverlay("Limited to precision %d of %d\n", mesh.level, mesh.precision);
  AppendOverlay("%s\n", "Left Button: Rotate");
  AppendOverlay("%s\n", "Right Button: Translate XZ");
  AppendOverlay("%s\n", "Left+Right Button: Translate XY");
}
