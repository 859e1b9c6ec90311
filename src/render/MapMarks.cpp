#include "MapMarks.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <string>

#include "BitmapText.h"
#include "Brackenholmer.h"
#include "CurrentDrawScales.h"
#include "GroundDistance.h"
#include "MeasureGlobals.h"
#include "PixelView.h"
#include "ScaleBar.h"

namespace {

// The ground under the view's centre pixel, in the terrain's centred frame.
struct CentreGround {
  GLdouble model[16], projection[16];
  GLint view[4];
  double window_x, window_y, depth;
  double x, y, z;
};

bool FindCentreGround(CentreGround* g) {
  if (input.values == nullptr) return false;
  glGetIntegerv(GL_VIEWPORT, g->view);
  if (g->view[2] <= 0 || g->view[3] <= 0) return false;
  const int px = g->view[0] + g->view[2] / 2, py = g->view[1] + g->view[3] / 2;
  // Whole numbers: a float holds too few digits of depths close to 1.
  GLuint bits = UINT_MAX;
  glReadPixels(px, py, 1, 1, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, &bits);
  if (bits == UINT_MAX) return false;  // the sky
  g->window_x = px + 0.5;
  g->window_y = py + 0.5;
  g->depth = bits / static_cast<double>(UINT_MAX);
  // The modelview holds the model turns: the point comes out in the centred frame.
  glGetDoublev(GL_MODELVIEW_MATRIX, g->model);
  glGetDoublev(GL_PROJECTION_MATRIX, g->projection);
  return gluUnProject(g->window_x, g->window_y, g->depth, g->model, g->projection, g->view, &g->x, &g->y, &g->z) ==
         GL_TRUE;
}

// A point of the centred frame as a grid position.
GridPosition GridAt(double x, double z) {
  const DrawScales scales = CurrentDrawScales();
  const DrawnHalf half = DrawnHalfOf(input.rows, input.cols, input.grid_space, xz_multiplier, DrawnColumnRatio());
  return {(x + half.x) / scales.column, (z + half.z) / scales.row};
}

// The ground distance's set-up is kept while the grid and its place stay.
const GroundDistance& Distances() {
  struct Key {
    int** values;
    int rows, cols, grid_space, units_per_metre;
    bool known, degrees;
    double left, bottom, cell_x, cell_y;
    std::string system;
    bool operator==(const Key&) const = default;
  };
  const GridPlace& p = input.place;
  Key key{input.values, input.rows,  input.cols, input.grid_space, input.units_per_metre, p.known,
          p.degrees,    p.left,      p.bottom,   p.cell_x,         p.cell_y,              p.coordinate_system};
  static std::unique_ptr<GroundDistance> distances;
  static Key made_for{};
  if (!distances || !(made_for == key)) {
    distances = std::make_unique<GroundDistance>(input);
    made_for = std::move(key);
  }
  return *distances;
}

constexpr double kReach = 8;  // pixels either side of the centre

// The grid positions kReach pixels left and right of the centre, at its depth.
bool CentreSpan(const CentreGround& g, GridPosition* left, GridPosition* right) {
  double ax, ay, az, bx, by, bz;
  if (gluUnProject(g.window_x - kReach, g.window_y, g.depth, g.model, g.projection, g.view, &ax, &ay, &az) != GL_TRUE ||
      gluUnProject(g.window_x + kReach, g.window_y, g.depth, g.model, g.projection, g.view, &bx, &by, &bz) != GL_TRUE)
    return false;
  *left = GridAt(ax, az);
  *right = GridAt(bx, bz);
  return true;
}

// Metres a pixel spans across the screen at the centre's ground.
double MetresPerPixel(const CentreGround& g) {
  GridPosition a, b;
  return CentreSpan(g, &a, &b) ? Distances().Metres(a, b) / (2 * kReach) : 0;
}

// Sizes in view pixels, growing with the view as the legend's do.
struct MarkSizes {
  int s, margin, pad, bar_height, gap, radius;
};

MarkSizes SizesFor(int view_height) {
  const int s = std::clamp((view_height + 100) / 300, 1, 4);  // 2 from a 500-pixel view
  return {s, 8 * s, 5 * s, 4 * s, 3 * s, 16 * s};
}

double MaxBarPixels(int view_width) { return 0.25 * view_width; }

void FlatTriangle(double ax, double ay, double bx, double by, double cx, double cy) {
  glVertex2f(static_cast<GLfloat>(ax), static_cast<GLfloat>(ay));
  glVertex2f(static_cast<GLfloat>(bx), static_cast<GLfloat>(by));
  glVertex2f(static_cast<GLfloat>(cx), static_cast<GLfloat>(cy));
}

}  // namespace

ScaleBarLength ScaleBarAtCentre() {
  CentreGround g;
  if (!FindCentreGround(&g)) return {};
  return ChooseScaleBar(MetresPerPixel(g), MaxBarPixels(g.view[2]));
}

double GridCellsPerPixelAtCentre() {
  CentreGround g;
  GridPosition a, b;
  if (!FindCentreGround(&g) || !CentreSpan(g, &a, &b)) return 0;
  return std::hypot(b.column - a.column, b.row - a.row) / (2 * kReach);
}

void DrawScaleBar() {
  const ScaleBarLength bar = ScaleBarAtCentre();
  if (!(bar.metres > 0)) return;
  int w = 0, h = 0;
  if (!BeginPixelView(&w, &h)) return;
  const MarkSizes z = SizesFor(h);
  const int length = static_cast<int>(std::lround(bar.pixels));
  const int inner = std::max(length, BitmapTextWidth(bar.label, z.s));
  const int x0 = z.margin + z.pad, y0 = z.margin + z.pad;
  const int text_mid = y0 + z.bar_height + z.gap + BitmapTextHeight(z.s) / 2;

  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glBegin(GL_QUADS);
  glColor4f(1, 1, 1, 0.7f);
  PixelQuad(z.margin, z.margin, x0 + inner + z.pad, y0 + z.bar_height + z.gap + BitmapTextHeight(z.s) + z.pad);
  glEnd();
  glDisable(GL_BLEND);
  // Black, with the second and fourth quarters white inside a black outline.
  glBegin(GL_QUADS);
  glColor3f(0, 0, 0);
  PixelQuad(x0, y0, x0 + length, y0 + z.bar_height);
  glColor3f(1, 1, 1);
  for (int q : {1, 3})
    PixelQuad(x0 + length * q / 4, y0 + 1, x0 + length * (q + 1) / 4 - (q == 3 ? 1 : 0), y0 + z.bar_height - 1);
  glColor3f(0, 0, 0);
  BitmapText(bar.label, x0, text_mid, z.s);
  glEnd();
  EndPixelView();
}

void DrawNorthArrow() {
  CentreGround g;
  if (!FindCentreGround(&g)) return;
  // North is toward row - 1, that is toward -z in the terrain's frame.
  double cx, cy, cz, nx, ny, nz;
  if (gluProject(g.x, g.y, g.z, g.model, g.projection, g.view, &cx, &cy, &cz) != GL_TRUE ||
      gluProject(g.x, g.y, g.z - CurrentDrawScales().row, g.model, g.projection, g.view, &nx, &ny, &nz) != GL_TRUE)
    return;
  double dx = nx - cx, dy = ny - cy;
  const double norm = std::hypot(dx, dy);
  if (!(norm > 1e-9)) return;  // north runs straight at the eye
  dx /= norm;
  dy /= norm;
  int w = 0, h = 0;
  if (!BeginPixelView(&w, &h)) return;
  const MarkSizes z = SizesFor(h);
  // Above the scale bar's box at the left edge, so the arrow does not move with the bar.
  const double bar_box = show_scale_bar ? 2 * z.pad + z.bar_height + z.gap + BitmapTextHeight(z.s) + z.margin : 0;
  const double ox = z.margin + z.radius, oy = z.margin + bar_box + z.radius;
  const double length = 0.5 * z.radius, half_width = 3.0 * z.s;
  const double px = -dy * half_width, py = dx * half_width;

  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glBegin(GL_TRIANGLE_FAN);
  glColor4f(0, 0, 0, 0.5f);
  glVertex2f(static_cast<GLfloat>(ox), static_cast<GLfloat>(oy));
  for (int i = 0; i <= 32; ++i) {
    const double a = i * 2 * M_PI / 32;
    glVertex2f(static_cast<GLfloat>(ox + z.radius * std::cos(a)), static_cast<GLfloat>(oy + z.radius * std::sin(a)));
  }
  glEnd();
  glDisable(GL_BLEND);
  glBegin(GL_TRIANGLES);
  glColor3f(1, 0, 0);  // the northern half
  FlatTriangle(ox + dx * length, oy + dy * length, ox + px, oy + py, ox - px, oy - py);
  glColor3f(200 / 255.0f, 200 / 255.0f, 200 / 255.0f);
  FlatTriangle(ox - dx * length, oy - dy * length, ox + px, oy + py, ox - px, oy - py);
  glEnd();
  // "N" beyond the tip, upright.
  const double reach = length + 0.5 * BitmapTextHeight(z.s) + z.s;
  glBegin(GL_QUADS);
  glColor3f(1, 1, 1);
  BitmapText("N", static_cast<int>(std::lround(ox + dx * reach - 0.5 * BitmapTextWidth("N", z.s))),
             static_cast<int>(std::lround(oy + dy * reach)), z.s);
  glEnd();
  EndPixelView();
}
