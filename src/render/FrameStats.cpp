#include "FrameStats.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Brackenholmer.h"
#include "Probe.h"
#include "RecordedFlight.h"
#include "ViewerRelief.h"

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

std::string notice;
int notice_until_ms = 0;

// Appends formatted text to text_buffer, never past its end.
__attribute__((format(printf, 1, 2))) void AppendOverlay(const char* format, ...) {
  const size_t used = std::strlen(text_buffer);
  if (used + 1 >= sizeof text_buffer) return;
  va_list args;
  va_start(args, format);
  std::vsnprintf(text_buffer + used, sizeof text_buffer - used, format, args);
  va_end(args);
}

// "Max. error: 37 (bound 10), RMS: 4.2", the bound only for an adaptive mesh, and the
// points no triangle covers when there are any. Nothing for an unmeasured mesh or one
// without grid points to measure.
void AppendTrueError(const mesh::TrueError& e) {
  if (!e.computed || (e.measured == 0 && e.uncovered == 0)) return;
  if (e.measured == 0) {
    AppendOverlay("Max. error: none");
  } else if (input.units_per_metre != 1) {
    // Units finer than a metre: the figures in metres, to the unit.
    const int decimals = input.units_per_metre >= 1000 ? 3 : 2;
    AppendOverlay("Max. error: %.*f m", decimals, Metres(e.max));
    if (e.bound >= 0) AppendOverlay(" (bound %.*f m)", decimals, Metres(e.bound));
    AppendOverlay(", RMS: %.*f m", decimals, Metres(e.rms));
  } else {
    // Whole distances without a fraction, others to a tenth.
    if (e.max == std::floor(e.max)) AppendOverlay("Max. error: %.0f", e.max);
    else AppendOverlay("Max. error: %.1f", e.max);
    if (e.bound >= 0) AppendOverlay(" (bound %d)", e.bound);
    AppendOverlay(", RMS: %.1f", e.rms);
  }
  if (e.uncovered > 0) AppendOverlay(", uncovered: %lld point%s", e.uncovered, e.uncovered == 1 ? "" : "s");
  AppendOverlay("\n");
}

// Pixels to at most `decimals` places, without trailing zeros: "0.9", "3", "0.25".
std::string Pixels(double px, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, px);
  std::string s = text;
  if (s.find('.') != std::string::npos) {
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
  }
  return s;
}

}  // namespace

std::string ScreenErrorLine(const mesh::ScreenResult& r) {
  if (r.coarse) return "Screen error: a coarse first mesh, refining (bound " + Pixels(r.bound_px, 2) + " px)";
  return "Screen error: " + Pixels(r.achieved_px, 1) + " px (bound " + Pixels(r.bound_px, 2) + " px)" +
         (r.limited ? ", limited" : "");
}

void ComposeOverlayText() {
  text_buffer[0] = '\0';
  AppendOverlay("Fps: %.4f\n", fps);
  // The count is the mesh's on screen; a newer one, asked for, is on its way.
  AppendOverlay("%s %i%s\n", "Triangles:", triangle_count, MeshBuildPending() ? " (building a new mesh)" : "");
  if (!notice.empty()) AppendOverlay("%s\n", notice.c_str());
  // Why the view is empty, or is not the mesh asked for.
  const IndexedMesh& mesh = Viewer.DrawnMesh();
  if (mesh.no_terrain) AppendOverlay("Every cell of the grid is NODATA: there is no terrain to draw.\n");
  if (mesh.strict_fell_back) AppendOverlay("No memory for Strict Error: fell back to the plain mesh\n");
  // The budget or the memory stopped the mesh on screen short of the precision asked for.
  if (mesh.level < 0)
    AppendOverlay("No memory left for a mesh\n");
  else if (mesh.level < mesh.precision && mesh.strict)
    AppendOverlay("Limited by the triangle budget: the bound is not met\n");
  else if (mesh.level < mesh.precision)
    AppendOverlay("Limited to precision %d of %d\n", mesh.level, mesh.precision);
  if (mesh.screen.on)
    AppendOverlay("%s\n", ScreenErrorLine(mesh.screen).c_str());
  else
    AppendTrueError(mesh.true_error);
  if (ReliefWanted() && ReliefPending()) AppendOverlay("Shading the relief\n");
  if (!recorded_flight.empty())
    AppendOverlay("Flight: %zu keyframe%s, %.1f s\n", recorded_flight.size(), recorded_flight.size() == 1 ? "" : "s",
                  FlightSeconds(recorded_flight));
  if (!probe_text.empty()) AppendOverlay("%s\n", probe_text.c_str());
  AppendOverlay("%s\n", "Left Button: Rotate");
  AppendOverlay("%s\n", "Right Button: Translate XZ");
  AppendOverlay("%s\n", "Left+Right Button: Translate XY");
}

void ShowOverlayNotice(const std::string& text, int until_ms) {
  notice = text;
  notice_until_ms = until_ms;
}

bool ExpireOverlayNotice(int now_ms) {
  if (notice.empty() || now_ms <= notice_until_ms) return false;
  notice.clear();
  return true;
}
