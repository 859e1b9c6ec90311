// Contours, their labels and the profile path drawn by the real GL over known terrain: lines
// where a tilted plane has their heights, in two mesh modes; none where a ridge hides them;
// labels beside the lines, only in pictures.
#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "ContourDrawing.h"
#include "MarksFixture.h"
#include "ProfilePathDrawing.h"
#include "ViewerContours.h"

namespace {

// Heights rise 4 m a column: level L lies along column (L - 400) / 4.
int Plane(int, int column) { return 400 + 4 * column; }

// Lines down every column of the plane that has one of `levels`, point by point.
ContourSet PlaneContours(std::initializer_list<double> levels) {
  ContourSet set;
  set.interval = 40;
  for (double level : levels) {
    ContourLine line{level, {}};
    for (int row = 0; row < 65; ++row) line.points.push_back({(level - 400) / 4, static_cast<double>(row)});
    set.lines.push_back(line);
  }
  return set;
}

struct WindowPoint {
  double x, y;
};

// Where the plane's point (column c, row r) shows in the window, under the camera's projection.
WindowPoint OnScreen(double c, double r = 32.5) {
  GLdouble model[16], proj[16], x, y, z;
  GLint view[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetIntegerv(GL_VIEWPORT, view);
  gluProject(c * 90 - 32.5 * 90, 400 + 4 * c, r * 90 - 32.5 * 90, model, proj, view, &x, &y, &z);
  return {x, y};
}

double ScreenColumn(double c) { return OnScreen(c).x; }

bool ContourColoured(const Rgb& p) { return IsColour(p, 56, 33, 13, 3); }

// The runs of contour-coloured pixels along row y, as their middle columns.
std::vector<double> DarkRuns(const Picture& pic, int y) {
  std::vector<double> middles;
  for (int x = 0; x < pic.w;) {
    if (!ContourColoured(pic.At(x, y))) {
      ++x;
      continue;
    }
    const int start = x;
    while (x < pic.w && ContourColoured(pic.At(x, y))) ++x;
    middles.push_back(0.5 * (start + x - 1));
  }
  return middles;
}

// Contour-coloured pixels away from every column in `away_from` by more than 3: labels.
int ColouredAwayFrom(const Picture& pic, const std::vector<double>& away_from) {
  int n = 0;
  for (int y = 0; y < pic.h; ++y)
    for (int x = 0; x < pic.w; ++x) {
      bool near = false;
      for (double c : away_from) near = near || std::fabs(x - c) <= 3;
      n += !near && ContourColoured(pic.At(x, y));
    }
  return n;
}

int CountColoured(const Picture& pic) { return ColouredAwayFrom(pic, {}); }

// Pixels of the labels' light boxes over the plain white terrain.
int LabelBoxPixels(const Picture& pic) {
  int n = 0;
  for (int y = 0; y < pic.h; ++y)
    for (int x = 0; x < pic.w; ++x) n += IsColour(pic.At(x, y), 255, 255, 243, 2);
  return n;
}

TEST_F(MarksTest, ContoursLieWhereThePlaneHasTheirHeights) {
  MakeTestGrid(65, 65, 90, Plane);
  Start();
  LookDownFrom(9000);
  const ContourSet set = PlaneContours({440, 480, 520, 560, 600});
  unsigned long version = 1;
  for (int mode : {0, 1}) {  // quads, triangles
    SCOPED_TRACE(testing::Message() << "mesh mode " << mode);
    mesh_mode = mode;
    refresh_mesh = true;
    RenderScene();
    DrawContourSet(set, ++version);
    const Picture pic = Frame();
    const std::vector<double> runs = DarkRuns(pic, kMarksHeight / 2);
    ASSERT_EQ(runs.size(), 5u);
    for (size_t i = 0; i < runs.size(); ++i) EXPECT_NEAR(runs[i], ScreenColumn(10.0 * (i + 1)), 1.5) << i;
    // Nothing but the lines: no label in the window's drawing.
    std::vector<double> columns;
    for (int c = 10; c <= 50; c += 10) columns.push_back(ScreenColumn(c));
    EXPECT_EQ(ColouredAwayFrom(pic, columns), 0);
    // The index line (600 m, every fifth 40 m level) is drawn thicker than the others.
    int thin = 0, thick = 0;
    for (int x = static_cast<int>(columns[0]) - 3; x <= columns[0] + 3; ++x) thin += ContourColoured(pic.At(x, 300));
    for (int x = static_cast<int>(columns[4]) - 3; x <= columns[4] + 3; ++x) thick += ContourColoured(pic.At(x, 300));
    EXPECT_GT(thick, thin);

    EXPECT_EQ(LabelBoxPixels(pic), 0);
    DrawContourSetLabels(set);
    const Picture labelled = Frame();
    EXPECT_GT(ColouredAwayFrom(labelled, columns), 50);  // their text
    EXPECT_GT(LabelBoxPixels(labelled), 500);
  }
}

// Lines that would come closer on screen than 4 pixels give way to every fifth level, then to
// none: the set's mean spacing against the spacing the runs show.
TEST_F(MarksTest, CrowdedLinesKeepEveryFifthLevelThenNone) {
  MakeTestGrid(65, 65, 90, Plane);
  Start();
  LookDownFrom(9000);
  ContourSet set = PlaneContours({440, 480, 520, 560, 600});
  RenderScene();  // sets the camera up
  const double pixels_apart = ScreenColumn(20) - ScreenColumn(10);
  unsigned long version = 1;
  for (auto [shown_apart, runs] : {std::pair{4.5, 5u}, std::pair{3.5, 1u}, std::pair{0.7, 0u}}) {
    set.mean_spacing = 10 * shown_apart / pixels_apart;  // ten columns apart, as drawn
    RenderScene();
    DrawContourSet(set, ++version);
    EXPECT_EQ(DarkRuns(Frame(), kMarksHeight / 2).size(), runs) << shown_apart << " pixels apart";
  }
}

// From the start view 30 degrees down from the south, a 2000 m ridge across the middle rows
// hides a line along row 10 behind it, and a line along row 55 before it shows.
TEST_F(MarksTest, ARidgeHidesTheContourBehindIt) {
  auto line_along = [](int row) {
    ContourLine line{0, {}};
    for (int c = 2; c <= 62; ++c) line.points.push_back({static_cast<double>(c), static_cast<double>(row)});
    return line;
  };
  ContourSet front, both;
  front.interval = both.interval = 40;
  front.lines = {line_along(55)};
  both.lines = {line_along(55), line_along(10)};
  unsigned long version = 1;
  auto draw = [&](const ContourSet& set, bool labels) {
    refresh_mesh = true;
    RenderScene();
    DrawContourSet(set, ++version);
    if (labels) DrawContourSetLabels(set);
    return Frame();
  };
  auto coloured = [&](const ContourSet& set) { return CountColoured(draw(set, false)); };
  auto labelled = [&](const ContourSet& set) { return LabelBoxPixels(draw(set, true)); };
  MakeTestGrid(65, 65, 90, [](int row, int) { return row >= 30 && row <= 34 ? 2000 : 0; });
  Start();
  const int front_only = coloured(front);
  EXPECT_GT(front_only, 500);
  EXPECT_EQ(coloured(both), front_only);
  const int front_labels = labelled(front);
  EXPECT_GT(front_labels, 100);  // the line in view is labelled
  EXPECT_EQ(labelled(both), front_labels);  // the hidden one is not

  MakeFlatGrid(65, 65, 90, 0);  // without the ridge the far line shows
  Start();
  EXPECT_GT(coloured(both), front_only + 300);
  EXPECT_GT(labelled(both), front_labels + 100);
}

// The viewer's own contours, made at once as pictures make them: labelled in pictures,
// not in the window.
TEST_F(MarksTest, LabelsOnlyInPictures) {
  MakeTestGrid(65, 65, 90, Plane);
  Start();
  LookDownFrom(9000);
  show_contours = 1;
  contour_interval = 40;
  MakeContoursNow();
  if (UpdateContours() == nullptr) GTEST_SKIP() << "no contours are made in this build";
  std::vector<double> columns;
  RenderScene(SceneUse::kWindow);
  for (int c = 0; c <= 60; c += 10) columns.push_back(ScreenColumn(c));
  EXPECT_EQ(ColouredAwayFrom(Frame(), columns), 0);
  RenderScene(SceneUse::kPicture);
  EXPECT_GT(ColouredAwayFrom(Frame(), columns), 50);
  ForgetContours();
}

// The path's line over a plane: orange pixels along it, at the plane's heights; nothing
// without corners.
TEST_F(MarksTest, ProfilePathRunsOverTheTerrain) {
  MakeTestGrid(65, 65, 90, Plane);
  Start();
  LookDownFrom(9000);
  Profile profile;
  const std::vector<GridPosition> corners{{10, 32}, {50, 32}};
  for (int c = 10; c <= 50; ++c) {
    ProfileSample s;
    s.at = {static_cast<double>(c), 32};
    s.height = Plane(32, c);
    s.known = true;
    profile.samples.push_back(s);
  }
  auto orange = [](const Picture& pic) {
    int n = 0;
    for (int y = 0; y < pic.h; ++y)
      for (int x = 0; x < pic.w; ++x) n += IsColour(pic.At(x, y), 255, 77, 0, 2);
    return n;
  };
  RenderScene();
  DrawProfilePathOf(profile, {});
  EXPECT_EQ(orange(Frame()), 0);
  DrawProfilePathOf(profile, corners);
  const Picture pic = Frame();
  const double from = ScreenColumn(10), to = ScreenColumn(50);
  // About three pixels thick over the length between the corners' points.
  EXPECT_NEAR(orange(pic), 3 * (to - from), 0.3 * (to - from));
  const WindowPoint middle = OnScreen(30, 32);
  EXPECT_TRUE(IsColour(pic.At(static_cast<int>(middle.x), static_cast<int>(middle.y)), 255, 77, 0, 2));
}

}  // namespace
