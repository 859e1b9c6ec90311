// Frame cost at 1024 x 768 under the real GL (run under xvfb-run), lit, colour mode, on the
// 1201 x 1201 grid with uniform quad meshes of about 8 k, 130 k, 500 k, 2 M and 8 M
// triangles. In one process, in alternating batches so that all see the same load:
//   viewer frame   GlutDisplay: camera, floodlight, terrain, overlay, panel, swap
//   terrain only   the viewer's RenderTriangles in a bare frame (camera, clear, swap)
//   display list, client arrays, VBO
//                  a bare program's best paths over the same drawn triangles
//   immediate      the former drawing: one glBegin/glEnd per triangle, every triangle
// Then: the array build after a mesh change, and the longest gap between two handled
// input events while a precision-12 mesh is built in the background.
//
// Usage: bench_gl_frame [seconds per case, default 3] [largest precision, default 11]
#define GL_GLEXT_PROTOTYPES
#include <GL/freeglut.h>
#include <GL/glext.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "TriangleList.h"
#include "Brackenholmer.h"
#include "ControlPanel.h"
#include "TerrainColor.h"
#include "TerrainDrawing.h"
#include "TerrainLoader.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

GLint Truncate(double v) {
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<GLint>(v);
}

// The drawn triangles as a bare program would hold them: one record per point, indices.
struct BareMesh {
  std::vector<GLint> positions;
  std::vector<GLfloat> normals, colours;
  std::vector<GLuint> indices;
  GLuint list = 0;
  GLuint buffers[4] = {};
};

BareMesh MakeBare() {
  BareMesh bare;
  const IndexedMesh& mesh = Viewer.DrawnMesh();
  const double f = input.grid_space;
  for (const IndexedMesh::Point& p : mesh.points) {
    const int h = input.values[p.z][p.x];
    bare.positions.insert(bare.positions.end(), {Truncate(p.x * f), h, Truncate(p.z * f)});
    const Normal& n = normales[p.z][p.x];
    bare.normals.insert(bare.normals.end(), {n.x, n.y, n.z});
    const RGBColor c = TerrainColor(h);
    bare.colours.insert(bare.colours.end(),
                        {static_cast<GLfloat>(c.r), static_cast<GLfloat>(c.g), static_cast<GLfloat>(c.b)});
  }
  bare.indices = mesh.indices;

  bare.list = glGenLists(1);
  glNewList(bare.list, GL_COMPILE);
  glBegin(GL_TRIANGLES);
  for (GLuint i : bare.indices) {
    glNormal3fv(&bare.normals[3 * i]);
    glColor3fv(&bare.colours[3 * i]);
    glVertex3iv(&bare.positions[3 * i]);
  }
  glEnd();
  glEndList();

  glGenBuffers(4, bare.buffers);
  auto upload = [](GLenum target, GLuint buffer, const auto& v) {
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(v.size() * sizeof(v[0])), v.data(), GL_STATIC_DRAW);
    glBindBuffer(target, 0);
  };
  upload(GL_ARRAY_BUFFER, bare.buffers[0], bare.positions);
  upload(GL_ARRAY_BUFFER, bare.buffers[1], bare.normals);
  upload(GL_ARRAY_BUFFER, bare.buffers[2], bare.colours);
  upload(GL_ELEMENT_ARRAY_BUFFER, bare.buffers[3], bare.indices);
  return bare;
}

void FreeBare(BareMesh& bare) {
  glDeleteLists(bare.list, 1);
  glDeleteBuffers(4, bare.buffers);
}

// Camera, clear and light as the viewer's frame, then `terrain` (centred unless it centres
// itself), then the swap.
void BareFrame(const std::function<void()>& terrain, bool centre = true) {
  Viewer.FlyingCamera();
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_LIGHTING);
  glPushMatrix();
  if (centre) {
    glTranslatef(static_cast<GLfloat>(-input.cols * 0.5 * input.grid_space), 0,
                 static_cast<GLfloat>(-input.rows * 0.5 * input.grid_space));
  }
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  terrain();
  glPopMatrix();
  glutSwapBuffers();
}

void DrawArrays(const BareMesh& bare, bool buffers) {
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  if (buffers) {
    glBindBuffer(GL_ARRAY_BUFFER, bare.buffers[0]);
    glVertexPointer(3, GL_INT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, bare.buffers[1]);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, bare.buffers[2]);
    glColorPointer(3, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, bare.buffers[3]);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(bare.indices.size()), GL_UNSIGNED_INT, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  } else {
    glVertexPointer(3, GL_INT, 0, bare.positions.data());
    glNormalPointer(GL_FLOAT, 0, bare.normals.data());
    glColorPointer(3, GL_FLOAT, 0, bare.colours.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(bare.indices.size()), GL_UNSIGNED_INT,
                   bare.indices.data());
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
}

// The former drawing, every triangle of the mesh list, one glBegin/glEnd each.
void DrawImmediate() {
  const double f = input.grid_space;
  for (const TriangleList* node = Viewer.TriangleHead(); node != nullptr; node = node->next) {
    glBegin(GL_TRIANGLES);
    for (const Vertex* v : {&node->t.a, &node->t.c, &node->t.b}) {
      const Normal& n = normales[v->z][v->x];
      glNormal3f(n.x, n.y, n.z);
      const RGBColor c = TerrainColor(v->y);
      glColor3f(static_cast<GLfloat>(c.r), static_cast<GLfloat>(c.g), static_cast<GLfloat>(c.b));
      glVertex3i(Truncate(v->x * f), v->y, Truncate(v->z * f));
    }
    glEnd();
  }
}

double TimeBatch(const std::function<void()>& frame, int n) {
  glFinish();
  const auto start = Clock::now();
  for (int i = 0; i < n; ++i) frame();
  glFinish();
  return Since(start) / n;
}

struct Path {
  const char* name;
  std::function<void()> frame;
  double best = 1e30;
};

void RunCase(int precision, double seconds) {
  max_precision = precision;
  refresh_mesh = true;
  GlutDisplay();  // builds and draws the mesh
  Viewer.CreateQSDTriangles();  // the list the former drawing walks
  BareMesh bare = MakeBare();
  std::vector<Path> paths = {
      {"viewer frame", [] { GlutDisplay(); }},
      {"terrain only", [] { BareFrame([] { Viewer.RenderTriangles(); }, false); }},
      {"display list", [&] { BareFrame([&] { glCallList(bare.list); }); }},
      {"client arrays", [&] { BareFrame([&] { DrawArrays(bare, false); }); }},
      {"VBO", [&] { BareFrame([&] { DrawArrays(bare, true); }); }},
      {"immediate (former)", [] { BareFrame(DrawImmediate); }},
  };
  const double first = TimeBatch(paths[0].frame, 1);
  const int per_batch = std::max(1, static_cast<int>(seconds / 20 / first));
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  for (int round = 0; Clock::now() < end || round < 2; ++round)
    for (Path& p : paths) p.best = std::min(p.best, TimeBatch(p.frame, per_batch));

  const double tris = triangle_count;
  double best_bare = std::min({paths[2].best, paths[3].best, paths[4].best});
  printf("precision %2d: %9d triangles (%zu drawn, %zu points)\n", precision, triangle_count,
         Viewer.DrawnMesh().indices.size() / 3, Viewer.DrawnMesh().points.size());
  for (const Path& p : paths)
    printf("  %-19s %9.2f ms %8.2f fps %7.2f M triangles/s\n", p.name, p.best * 1e3, 1 / p.best,
           tris / p.best / 1e6);
  printf("  terrain only / best bare path: %.3f (target <= 1.10); immediate / terrain only: %.2f (target >= 2)\n\n",
         paths[1].best / best_bare, paths[5].best / paths[1].best);
  fflush(stdout);
  FreeBare(bare);
}

// The arrays made anew for a mesh: the first frame after a change less a steady frame.
void TimeArrayBuild(int precision) {
  max_precision = precision;
  refresh_mesh = true;
  GlutDisplay();
  double steady = 1e30, with_build = 1e30;
  for (int i = 0; i < 3; ++i) {
    steady = std::min(steady, TimeBatch([] { GlutDisplay(); }, 1));
    with_build = std::min(with_build, TimeBatch([] { ReleaseTerrainArrays(); GlutDisplay(); }, 1));
  }
  printf("array build after a mesh change, precision %d (%d triangles): %.1f ms\n", precision, triangle_count,
         (with_build - steady) * 1e3);
}

// Input handled between frames while a precision-12 mesh is built on the worker: a drag
// step, the watch over the build, and the frame it asks for, until the mesh is shown. The
// gaps while the old mesh is on screen are the build's cost to the window; the frame in
// which the new mesh lands also makes its arrays and draws it.
void TimeInputGaps(int from_precision) {
  max_precision = from_precision;
  refresh_mesh = true;
  mesh_builds_in_background = false;
  GlutDisplay();
  const double old_frame = TimeBatch([] { GlutDisplay(); }, 1);
  mesh_builds_in_background = true;
  max_precision = 12;
  refresh_mesh = true;
  const auto start = Clock::now();
  GlutDisplay();  // sends the request
  auto last = Clock::now();
  double longest = 0, landing = 0;
  int events = 0;
  while (MeshBuildPending()) {
    GlutMotion(prev_x + 1, prev_y);  // a drag step: the camera turns
    const bool landed = Viewer.UpdateMesh();
    GlutDisplay();
    glFinish();
    const auto now = Clock::now();
    const double gap = std::chrono::duration<double>(now - last).count();
    if (landed)
      landing = gap;
    else
      longest = std::max(longest, gap);
    last = now;
    ++events;
  }
  printf("precision %d -> 12 built in the background in %.2f s: %d drag steps handled, longest gap "
         "while building %.0f ms (a frame of the old mesh alone: %.0f ms); the frame the new mesh "
         "landed in: %.0f ms, %d triangles\n",
         from_precision, Since(start), events, longest * 1e3, old_frame * 1e3, landing * 1e3, triangle_count);
  mesh_builds_in_background = false;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? atof(argv[1]) : 3.0;
  const int largest = argc > 2 ? atoi(argv[2]) : 11;
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(1024, 768);
  main_window = glutCreateWindow("Brackenholmer");
  glutDisplayFunc(GlutDisplay);
  CreateControlPanel();
  printf("GL renderer: %s, %s\n\n", glGetString(GL_RENDERER), glGetString(GL_VERSION));

  const std::string grid = std::string(GENERATED_DATA_DIR) + "/jacksboro_resampled_1201x1201.asc";
  TerrainLoader loader;
  if (!loader.LoadArcASCIIFile(grid.c_str())) {
    fprintf(stderr, "%s\n", loader.msg);
    return 1;
  }
  char program[] = "bench_gl_frame";
  char* args[] = {program, const_cast<char*>(grid.c_str()), nullptr};
  GlutInit(2, args);
  GlutReshape(1024, 768);
  light = 1;
  rendering_mode = 0;
  left_button = 1;
  for (int precision : {6, 8, 9, 10, 11})
    if (precision <= largest) RunCase(precision, seconds);
  TimeArrayBuild(std::min(largest, 11));
  TimeInputGaps(6);
  TimeInputGaps(9);
  return 0;
}
