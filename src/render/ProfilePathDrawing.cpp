#include "ProfilePathDrawing.h"

#include <GL/gl.h>

#include "CurrentDrawScales.h"
#include "MarksOnTerrain.h"
#include "ProfilePath.h"
#include "TerrainLoader.h"

namespace {

void Vertex(const DrawnPoint& p) { glVertex3f(p.x, p.y, p.z); }

}  // namespace

void DrawProfilePath() { DrawProfilePathOf(CurrentProfile(), ProfilePath()); }

void DrawProfilePathOf(const Profile& profile, std::span<const GridPosition> corners) {
  if (corners.empty() || input.values == nullptr) return;
  const DrawScales scales = CurrentDrawScales();
  BeginMarksOnTerrain();
  glColor3f(1.0f, 0.3f, 0.0f);
  glLineWidth(3.0f);
  // A strip over each run of known heights; the line breaks where heights are unknown.
  bool open = false;
  for (const ProfileSample& s : profile.samples) {
    if (s.known && !open) glBegin(GL_LINE_STRIP);
    if (!s.known && open) glEnd();
    open = s.known;
    if (s.known) Vertex(DrawnAt(s.at, s.height, scales));
  }
  if (open) glEnd();
  glColor3f(1.0f, 0.9f, 0.1f);
  glPointSize(7.0f);
  glBegin(GL_POINTS);
  for (const GridPosition& c : corners) {
    double metres = 0;
    if (HeightAt(input, c, &metres)) Vertex(DrawnAt(c, metres, scales));
  }
  glEnd();
  EndMarksOnTerrain();
}
