// The contours' height labels in pictures: a few on each line long enough on screen, where
// the line shows (its depth against the finished depth buffer) and no other label lies.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "BitmapText.h"
#include "ContourDrawing.h"
#include "CurrentDrawScales.h"
#include "LevelLabel.h"
#include "MarksOnTerrain.h"
#include "PixelView.h"

namespace {

struct Matrices {
  GLdouble model[16], pulled[16], plain[16];
  GLint view[4];
};

// The terrain frame's matrices, with the projection as the lines are drawn and as it is.
Matrices TerrainMatrices() {
  Matrices m;
  glGetDoublev(GL_PROJECTION_MATRIX, m.plain);
  BeginMarksOnTerrain();
  glGetDoublev(GL_MODELVIEW_MATRIX, m.model);
  glGetDoublev(GL_PROJECTION_MATRIX, m.pulled);
  EndMarksOnTerrain();
  glGetIntegerv(GL_VIEWPORT, m.view);
  return m;
}

struct Spot {
  double x, y;  // window pixels
  bool ok;
};

struct Rect {
  int x0, y0, x1, y1;
  bool Meets(const Rect& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

class Labeller {
 public:
  explicit Labeller(const Matrices& m) : m_(m), depth_(static_cast<size_t>(m.view[2]) * m.view[3]) {
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(m.view[0], m.view[1], m.view[2], m.view[3], GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, depth_.data());
    s_ = std::clamp(m.view[3] / 500, 1, 3);
  }

  void Label(const ContourLine& line, double interval) {
    const DrawScales scales = CurrentDrawScales();
    // The line on screen, and the length along it to each point.
    std::vector<Spot> spots;
    std::vector<double> along{0};
    for (const GridPosition& p : line.points) {
      const DrawnPoint d = DrawnAt(p, line.level, scales);
      double x, y, z;
      const bool ok = gluProject(d.x, d.y, d.z, m_.model, m_.pulled, m_.view, &x, &y, &z) == GL_TRUE && z > 0 && z < 1;
      if (!spots.empty())
        along.push_back(along.back() + (ok && spots.back().ok ? std::hypot(x - spots.back().x, y - spots.back().y) : 0));
      spots.push_back({x, y, ok});
    }
    const std::string text = LevelLabel(line.level, interval);
    const int w = BitmapTextWidth(text, s_) + 4 * s_, h = BitmapTextHeight(s_) + 4 * s_;
    const double length = along.back();
    if (length < 3.0 * w) return;  // too short on screen to carry a label
    const int wanted = length < 8.0 * w ? 1 : 2;
    for (int k = 1; k <= wanted; ++k) {
      const double at = length * k / (wanted + 1);
      const size_t i = std::lower_bound(along.begin(), along.end(), at) - along.begin();
      if (i >= spots.size() || !spots[i].ok) continue;
      const DrawnPoint d = DrawnAt(line.points[i], line.level, scales);
      if (!Shows(d, spots[i])) continue;
      const int cx = static_cast<int>(spots[i].x) - m_.view[0], cy = static_cast<int>(spots[i].y) - m_.view[1];
      const Rect r{cx - w / 2, cy - h / 2, cx - w / 2 + w, cy - h / 2 + h};
      if (r.x0 < 0 || r.y0 < 0 || r.x1 > m_.view[2] || r.y1 > m_.view[3]) continue;
      const Rect spaced{r.x0 - 2 * s_, r.y0 - 2 * s_, r.x1 + 2 * s_, r.y1 + 2 * s_};
      if (std::any_of(taken_.begin(), taken_.end(), [&](const Rect& o) { return o.Meets(spaced); })) continue;
      taken_.push_back(r);
      texts_.push_back(text);
    }
  }

  // In the current orthographic view of the viewport's pixels.
  void Draw() const {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_QUADS);
    glColor4f(1, 1, 0.94f, 0.75f);
    for (const Rect& r : taken_) PixelQuad(r.x0, r.y0, r.x1, r.y1);
    glEnd();
    glDisable(GL_BLEND);
    glBegin(GL_QUADS);
    glColor3f(kContourColour[0], kContourColour[1], kContourColour[2]);
    for (size_t i = 0; i < taken_.size(); ++i)
      BitmapText(texts_[i], taken_[i].x0 + 2 * s_, (taken_[i].y0 + taken_[i].y1) / 2, s_);
    glEnd();
  }

 private:
  // The line shows at its point when nothing in the depth buffer lies nearer than it by
  // more than half of the pull towards the eye the line was drawn with.
  bool Shows(const DrawnPoint& d, const Spot& spot) const {
    const int px = static_cast<int>(spot.x) - m_.view[0], py = static_cast<int>(spot.y) - m_.view[1];
    if (px < 0 || py < 0 || px >= m_.view[2] || py >= m_.view[3]) return false;
    double x, y, pulled_z, plain_z;
    gluProject(d.x, d.y, d.z, m_.model, m_.pulled, m_.view, &x, &y, &pulled_z);
    gluProject(d.x, d.y, d.z, m_.model, m_.plain, m_.view, &x, &y, &plain_z);
    const double buffer = depth_[static_cast<size_t>(py) * m_.view[2] + px] / static_cast<double>(UINT_MAX);
    return buffer >= pulled_z - 0.5 * (plain_z - pulled_z);
  }

  const Matrices& m_;
  std::vector<GLuint> depth_;
  int s_ = 1;
  std::vector<Rect> taken_;
  std::vector<std::string> texts_;
};

}  // namespace

void DrawContourSetLabels(const ContourSet& set) {
  const Matrices m = TerrainMatrices();
  if (m.view[2] <= 0 || m.view[3] <= 0) return;
  const int step = ContourLevelStep(set);
  if (step == 0) return;
  Labeller labeller(m);
  for (const ContourLine& line : set.lines)
    if (step == 1 || IndexLevel(line.level, set.interval)) labeller.Label(line, set.interval);

  int w = 0, h = 0;
  if (!BeginPixelView(&w, &h)) return;
  labeller.Draw();
  EndPixelView();
}
