// Frame cost at 1024 x 768 under the real GL (run under xvfb-run): the viewer's whole frame
// (camera, floodlight, terrain, overlay, panel, swap) against a bare loop that sends the same
// triangles with the same immediate-mode calls and nothing else, which is the renderer's own
// limit. Colour mode, lit. Cases: the sample with the default mesh, and a uniform mesh at
// precision 10 (about two million triangles) on the 1201 x 1201 grid.
//
// Usage: bench_gl_frame [seconds per measurement, default 3] [--no-panel]
#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Brackenholmer.h"
#include "ControlPanel.h"
#include "TerrainColor.h"
#include "TerrainLoader.h"

namespace {

using Clock = std::chrono::steady_clock;

// Everything the bare loop sends for one corner, computed before the timing.
struct Corner {
  GLfloat nx, ny, nz;
  GLfloat r, g, b;
  GLint x, y, z;
};

std::vector<Corner> Flatten() {
  std::vector<Corner> corners;
  corners.reserve(static_cast<size_t>(triangle_count) * 3);
  const float f = static_cast<float>(input.grid_space * static_cast<double>(xz_multiplier));
  for (const TriangleList* node = Viewer.TriangleHead(); node != nullptr; node = node->next) {
    for (const Vertex* v : {&node->t.a, &node->t.c, &node->t.b}) {
      const Normal& n = normales[v->z][v->x];
      const RGBColor c = TerrainColor(v->y);
      corners.push_back(Corner{n.x, n.y, n.z, static_cast<GLfloat>(c.r), static_cast<GLfloat>(c.g),
                               static_cast<GLfloat>(c.b), static_cast<GLint>(v->x * static_cast<double>(f)),
                               static_cast<GLint>(v->y * static_cast<double>(y_multiplier)),
                               static_cast<GLint>(v->z * static_cast<double>(f))});
    }
  }
  return corners;
}

void BareFrame(const std::vector<Corner>& corners) {
  Viewer.FlyingCamera();
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_LIGHTING);
  glPushMatrix();
  glTranslatef(static_cast<GLfloat>(-input.cols * 0.5 * input.grid_space), 0,
               static_cast<GLfloat>(-input.rows * 0.5 * input.grid_space));
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  for (size_t i = 0; i + 2 < corners.size(); i += 3) {
    glBegin(GL_TRIANGLES);
    for (size_t k = i; k < i + 3; ++k) {
      const Corner& c = corners[k];
      glNormal3f(c.nx, c.ny, c.nz);
      glColor3f(c.r, c.g, c.b);
      glVertex3i(c.x, c.y, c.z);
    }
    glEnd();
  }
  glPopMatrix();
  glutSwapBuffers();
}

void ViewerFrame() { GlutDisplay(); }

// The bare loop's frame with the viewer's RenderTriangles in place of the loop: separates the
// drawing's own cost per triangle from the rest of the frame (floodlight, overlay, panel).
void TerrainOnlyFrame() {
  Viewer.FlyingCamera();
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_LIGHTING);
  glPushMatrix();
  Viewer.RenderTriangles();
  glPopMatrix();
  glutSwapBuffers();
}

// Seconds per frame: frames are drawn in alternating batches of the two kinds so that both
// see the same load of a shared machine; the best batch of each kind counts.
struct Timing {
  double viewer = 1e30, bare = 1e30, terrain = 1e30;
  int viewer_frames = 0, bare_frames = 0;
};

double TimeBatch(void (*frame)(), const std::vector<Corner>* corners, int n) {
  glFinish();
  const auto start = Clock::now();
  for (int i = 0; i < n; ++i) {
    if (corners)
      BareFrame(*corners);
    else
      frame();
  }
  glFinish();
  return std::chrono::duration<double>(Clock::now() - start).count() / n;
}

Timing Measure(const std::vector<Corner>& corners, double seconds) {
  // One frame of each to learn the size of a batch of about a tenth of the time.
  const double first = TimeBatch(ViewerFrame, nullptr, 1);
  TimeBatch(nullptr, &corners, 1);
  const int per_batch = std::max(1, static_cast<int>(seconds / 10 / first));
  Timing t;
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  int rounds = 0;
  while (Clock::now() < end || rounds < 3) {
    t.viewer = std::min(t.viewer, TimeBatch(ViewerFrame, nullptr, per_batch));
    t.bare = std::min(t.bare, TimeBatch(nullptr, &corners, per_batch));
    t.terrain = std::min(t.terrain, TimeBatch(TerrainOnlyFrame, nullptr, per_batch));
    t.viewer_frames += per_batch;
    t.bare_frames += per_batch;
    ++rounds;
  }
  return t;
}

bool Load(const std::string& path) {
  TerrainLoader loader;
  const bool ok = loader.LoadArcASCIIFile(path.c_str());
  if (!ok) fprintf(stderr, "%s\n", loader.msg);
  return ok;
}

void RunCase(const char* name, const std::string& grid, int precision, double seconds) {
  if (!Load(grid)) return;
  char program[] = "bench_gl_frame";
  std::string grid_arg = grid;
  char* argv[] = {program, grid_arg.data(), nullptr};
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  GlutInit(2, argv);
  GlutReshape(1024, 768);
  light = 1;
  rendering_mode = 0;
  wireframe = 0;
  mesh_mode = 0;
  mesh_simplification = 0;
  max_precision = precision;
  refresh_mesh = true;

  const auto build_start = Clock::now();
  GlutDisplay();  // builds the mesh
  glFinish();
  const double build = std::chrono::duration<double>(Clock::now() - build_start).count();
  const std::vector<Corner> corners = Flatten();
  const Timing t = Measure(corners, seconds);

  const double tris = triangle_count;
  printf("%s: %s, %i x %i points, precision %i, %i triangles (first frame with the mesh build %.2f s)\n",
         name, grid.c_str(), input.rows, input.cols, precision, triangle_count, build);
  printf("  viewer frame: %9.2f ms  %8.2f fps  %6.3f M triangles/s  (%i frames)\n", t.viewer * 1e3,
         1 / t.viewer, tris / t.viewer / 1e6, t.viewer_frames);
  printf("  bare loop:    %9.2f ms  %8.2f fps  %6.3f M triangles/s  (%i frames)\n", t.bare * 1e3, 1 / t.bare,
         tris / t.bare / 1e6, t.bare_frames);
  printf("  terrain only: %9.2f ms  %8.2f fps  %6.3f M triangles/s  (RenderTriangles in the bare frame)\n",
         t.terrain * 1e3, 1 / t.terrain, tris / t.terrain / 1e6);
  printf("  viewer frame costs %+.1f %% against the bare loop (target: at most +10 %%)\n\n",
         (t.viewer / t.bare - 1) * 100);
  fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? atof(argv[1]) : 3.0;
  const bool panel = !(argc > 2 && std::string(argv[2]) == "--no-panel");
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowPosition(50, 50);
  glutInitWindowSize(1024, 768);
  main_window = glutCreateWindow("Brackenholmer");
  glutDisplayFunc(GlutDisplay);
  if (panel) CreateControlPanel();
  printf("GL renderer: %s, %s; control panel %s\n\n", glGetString(GL_RENDERER), glGetString(GL_VERSION),
         panel ? "drawn" : "not drawn");

  RunCase("default mesh", std::string(REPO_DATA_DIR) + "/jacksboro_403x344.asc", 6, seconds);
  RunCase("uniform precision 10", std::string(GENERATED_DATA_DIR) + "/jacksboro_resampled_1201x1201.asc", 10,
          seconds);
  return 0;
}
