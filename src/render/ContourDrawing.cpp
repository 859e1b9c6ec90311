#include "ContourDrawing.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "CurrentDrawScales.h"
#include "MapMarks.h"
#include "MarksOnTerrain.h"
#include "MeasureGlobals.h"
#include "TerrainDrawing.h"
#include "ViewerContours.h"

namespace {

// The set's segments as GL_LINES vertices, plain and index lines apart.
struct ContourVertices {
  unsigned long version = 0;
  const ContourSet* set = nullptr;
  DrawScales scales;
  int units_per_metre = 0;
  bool filled = false;
  std::vector<DrawnPoint> plain, index;
  // With buffer objects the driver keeps the vertices (plain, then index), so that a frame
  // does not send them again: a fine interval on a large grid has millions.
  GLuint buffer = 0;
  size_t plain_count = 0, index_count = 0;
};

ContourVertices cache;

void Fill(const ContourSet& set, unsigned long version, const DrawScales& scales) {
  cache.plain.clear();
  cache.index.clear();
  for (const ContourLine& line : set.lines) {
    std::vector<DrawnPoint>& to = IndexLevel(line.level, set.interval) ? cache.index : cache.plain;
    for (size_t i = 1; i < line.points.size(); ++i) {
      to.push_back(DrawnAt(line.points[i - 1], line.level, scales));
      to.push_back(DrawnAt(line.points[i], line.level, scales));
    }
  }
  cache.version = version;
  cache.set = &set;
  cache.scales = scales;
  cache.units_per_metre = input.units_per_metre;
  cache.filled = true;
  cache.plain_count = cache.plain.size();
  cache.index_count = cache.index.size();
  if (!(terrain_vertex_buffers_allowed && ContextHasBuffers())) return;
  if (cache.buffer == 0) glGenBuffers(1, &cache.buffer);
  const size_t bytes = sizeof(DrawnPoint);
  glBindBuffer(GL_ARRAY_BUFFER, cache.buffer);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>((cache.plain_count + cache.index_count) * bytes), nullptr,
               GL_STATIC_DRAW);
  glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(cache.plain_count * bytes), cache.plain.data());
  glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(cache.plain_count * bytes),
                  static_cast<GLsizeiptr>(cache.index_count * bytes), cache.index.data());
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  cache.plain = {};
  cache.index = {};
}

// `count` vertices from the client array `points`, or from `first` on in the buffer.
void DrawLines(const std::vector<DrawnPoint>& points, size_t first, size_t count, float width) {
  if (count == 0) return;
  glLineWidth(width);
  if (cache.buffer != 0) {
    glBindBuffer(GL_ARRAY_BUFFER, cache.buffer);
    glVertexPointer(3, GL_FLOAT, sizeof(DrawnPoint), reinterpret_cast<const void*>(first * sizeof(DrawnPoint)));
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(count));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
  } else {
    glVertexPointer(3, GL_FLOAT, sizeof(DrawnPoint), points.data());
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(count));
  }
}

// Lines closer than this on screen, in pixels, would paint the terrain over.
constexpr double kMinSpacingPixels = 4;

}  // namespace

// Every fifth level, counted from 0, is an index contour.
bool IndexLevel(double level, double interval) {
  if (!(interval > 0)) return false;
  const double steps = level / interval, whole = std::round(steps);
  return std::fabs(steps - whole) < 1e-6 && std::fmod(std::fabs(whole), 5.0) == 0;
}

int ContourLevelStep(const ContourSet& set) {
  const double cells_per_pixel = GridCellsPerPixelAtCentre();
  if (!(set.mean_spacing > 0) || !(cells_per_pixel > 0)) return 1;
  const double pixels = set.mean_spacing / cells_per_pixel;
  return pixels >= kMinSpacingPixels ? 1 : 5 * pixels >= kMinSpacingPixels ? 5 : 0;
}

void DrawContours() {
  if (!show_contours) return;
  if (const ContourSet* set = UpdateContours()) DrawContourSet(*set, ContourVersion());
}

void DrawContourLabels() {
  if (!show_contours) return;
  if (const ContourSet* set = UpdateContours()) DrawContourSetLabels(*set);
}

void ReleaseContourBuffers() {
  if (cache.buffer != 0) glDeleteBuffers(1, &cache.buffer);
  cache = ContourVertices{};
}

void DrawContourSet(const ContourSet& set, unsigned long version) {
  const DrawScales scales = CurrentDrawScales();
  if (!cache.filled || cache.version != version || cache.set != &set || !(cache.scales == scales) ||
      cache.units_per_metre != input.units_per_metre)
    Fill(set, version, scales);
  const int step = ContourLevelStep(set);  // in the frame the terrain was drawn in
  if (step == 0) return;
  BeginMarksOnTerrain();
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glColor3f(kContourColour[0], kContourColour[1], kContourColour[2]);
  if (step == 1) DrawLines(cache.plain, 0, cache.plain_count, 1.0f);
  if (step != 0) DrawLines(cache.index, cache.plain_count, cache.index_count, 2.0f);
  glPopClientAttrib();
  EndMarksOnTerrain();
}
