#include "ContourDrawing.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "CurrentDrawScales.h"
#include "MarksOnTerrain.h"
#include "MeasureGlobals.h"
#include "ViewerContours.h"

namespace {

// Every fifth level, counted from 0, is an index contour.
bool IndexLevel(double level, double interval) {
  if (!(interval > 0)) return false;
  const double steps = level / interval, whole = std::round(steps);
  return std::fabs(steps - whole) < 1e-6 && std::fmod(std::fabs(whole), 5.0) == 0;
}

// The set's segments as GL_LINES vertices, plain and index lines apart.
struct ContourVertices {
  unsigned long version = 0;
  const ContourSet* set = nullptr;
  DrawScales scales;
  int units_per_metre = 0;
  bool filled = false;
  std::vector<DrawnPoint> plain, index;
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
}

void DrawLines(const std::vector<DrawnPoint>& points, float width) {
  if (points.empty()) return;
  glLineWidth(width);
  glVertexPointer(3, GL_FLOAT, sizeof(DrawnPoint), points.data());
  glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(points.size()));
}

}  // namespace

void DrawContours() {
  if (!show_contours) return;
  if (const ContourSet* set = UpdateContours()) DrawContourSet(*set, ContourVersion());
}

void DrawContourLabels() {
  if (!show_contours) return;
  if (const ContourSet* set = UpdateContours()) DrawContourSetLabels(*set);
}

void DrawContourSet(const ContourSet& set, unsigned long version) {
  const DrawScales scales = CurrentDrawScales();
  if (!cache.filled || cache.version != version || cache.set != &set || !(cache.scales == scales) ||
      cache.units_per_metre != input.units_per_metre)
    Fill(set, version, scales);
  BeginMarksOnTerrain();
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glColor3f(kContourColour[0], kContourColour[1], kContourColour[2]);
  DrawLines(cache.plain, 1.0f);
  DrawLines(cache.index, 2.0f);
  glPopClientAttrib();
  EndMarksOnTerrain();
}
