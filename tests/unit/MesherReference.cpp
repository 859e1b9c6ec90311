#include "MesherReference.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "TriangleList.h"

namespace mesher_test {

// The chain is unlinked and deleted in a loop, so a list of millions of quads needs no
// stack depth.
QuadList::~QuadList() {
  QuadList* node = next;
  next = nullptr;
  while (node != nullptr) {
    QuadList* after = node->next;
    node->next = nullptr;
    delete node;
    node = after;
  }
}

ScopedGrid::ScopedGrid(int rows, int cols, int fill)
    : saved_input_(input) {
  // The lists pinned here are those of the meshers that judge each element at one place.
  strict_error = 0;
  input.rows = rows;
  input.cols = cols;
  input.has_nodata = false;
  input.values = new int*[rows];
  for (int r = 0; r < rows; ++r) {
    input.values[r] = new int[cols];
    for (int c = 0; c < cols; ++c) input.values[r][c] = fill;
  }
  UseWholeGrid();
}

ScopedGrid::~ScopedGrid() {
  // A rectangle that admits no quad centre leaves the viewer without a mesh.
  terrain_border_1 = Vertex{1, 0, 1};
  terrain_border_2 = Vertex{0, 0, 0};
  Viewer.CreateQSDTriangles();
  for (int r = 0; r < input.rows; ++r) delete[] input.values[r];
  delete[] input.values;
  input = saved_input_;
}

void ScopedGrid::UseWholeGrid() {
  terrain_size = input.rows > input.cols ? input.rows : input.cols;
  terrain_border_1 = Vertex{0, 0, 0};
  terrain_border_2 = Vertex{input.cols, 0, input.rows};
}

static bool Same(const Vertex& l, const Vertex& r) {
  return l.x == r.x && l.y == r.y && l.z == r.z;
}

bool operator==(const Tri& l, const Tri& r) {
  return Same(l.a, r.a) && Same(l.b, r.b) && Same(l.c, r.c) && l.hypotenuse == r.hypotenuse;
}

std::string ToString(const Tri& t) {
  std::ostringstream out;
  for (const Vertex* v : {&t.a, &t.b, &t.c}) out << "(" << v->x << "," << v->y << "," << v->z << ")";
  out << " " << t.hypotenuse;
  return out.str();
}

std::string ToString(const std::vector<Tri>& list) {
  std::string text;
  for (const Tri& t : list) text += ToString(t) + "\n";
  return text;
}

std::vector<Tri> MeshOfViewer(bool with_hypotenuse) {
  std::vector<Tri> mesh;
  for (const TriangleList* node = Viewer.TriangleHead(); node != nullptr; node = node->next)
    mesh.push_back({node->t.a, node->t.b, node->t.c, with_hypotenuse ? node->t.hypotenuse : 0});
  return mesh;
}

// ---------------------------------------------------------------- sampling

// Clamps at the last row and column, then truncates.
static Vertex Sample(float x, float z) {
  if (z >= input.rows) z = input.rows - 1;
  if (x >= input.cols) x = input.cols - 1;
  const int xi = static_cast<int>(x), zi = static_cast<int>(z);
  return Vertex{xi, input.values[zi][xi], zi};
}

Tri At(int ax, int az, int bx, int bz, int cx, int cz, int hypotenuse) {
  return Tri{Sample(ax, az), Sample(bx, bz), Sample(cx, cz), hypotenuse};
}

// ---------------------------------------------------------------- quads

static bool QuadError(Quad q) {
  const int s = q.c.x - q.a.x;
  const float length = sqrtf(2.0f * s * s);
  const float gradient = (q.c.y - q.a.y) / length;
  for (int i = 1; i < s; i += 2) {
    const Vertex r = Sample(q.a.x + i, q.a.z + i);
    const float approx_y = q.a.y + gradient * 1.4142135f * i;
    if (std::fabs(approx_y - r.y) > max_approx_error) return true;
  }
  return false;
}

std::vector<Tri> ReferenceQuadMesh() {
  const float size = static_cast<float>(terrain_size);
  QuadList* quads = new QuadList;
  quads->q = Quad{Sample(0, 0), Sample(size, 0), Sample(size, size), Sample(0, size)};

  for (int precision = 1; precision <= max_precision; ++precision) {
    QuadList* head = nullptr;
    QuadList* temp_quads = nullptr;
    auto append = [&](const Quad& q) {
      QuadList* node = new QuadList;
      node->q = q;
      if (head == nullptr) head = node;
      else temp_quads->next = node;
      temp_quads = node;
    };
    for (QuadList* node = quads; node != nullptr; node = node->next) {
      const Quad q = node->q;
      const bool error = QuadError(q);
      if (error || mesh_simplification == 0) {
        const int mx = q.a.x + (q.b.x - q.a.x) / 2;
        const int mz = q.a.z + (q.d.z - q.a.z) / 2;
        const int x0 = q.a.x, x1 = q.b.x, z0 = q.a.z, z1 = q.d.z;
        append(Quad{Sample(x0, z0), Sample(mx, z0), Sample(mx, mz), Sample(x0, mz)});
        append(Quad{Sample(mx, z0), Sample(x1, z0), Sample(x1, mz), Sample(mx, mz)});
        append(Quad{Sample(mx, mz), Sample(x1, mz), Sample(x1, z1), Sample(mx, z1)});
        append(Quad{Sample(x0, mz), Sample(mx, mz), Sample(mx, z1), Sample(x0, z1)});
      } else {
        append(q);
      }
    }
    delete quads;  // the node releases the chain behind it
    quads = head;
  }

  std::vector<Tri> mesh;
  for (QuadList* node = quads; node != nullptr; node = node->next) {
    const Quad q = node->q;
    const int mx = q.a.x + (q.b.x - q.a.x) / 2;
    const int mz = q.a.z + (q.d.z - q.a.z) / 2;
    if (!(terrain_border_1.x <= mx && mx <= terrain_border_2.x && terrain_border_1.z <= mz &&
          mz <= terrain_border_2.z))
      continue;
    const Vertex a = Sample(q.a.x, q.a.z), b = Sample(q.b.x, q.b.z);
    const Vertex c = Sample(q.c.x, q.c.z), d = Sample(q.d.x, q.d.z);
    mesh.push_back(Tri{a, b, c, 0});
    mesh.push_back(Tri{a, c, d, 0});
  }
  delete quads;
  return mesh;
}

// ---------------------------------------------------------------- triangles

// Midpoint of the edge from p to q, rounded toward p.
static Vertex Mid(const Vertex& p, const Vertex& q) {
  return Vertex{p.x + (q.x - p.x) / 2, p.y + (q.y - p.y) / 2, p.z + (q.z - p.z) / 2};
}

static bool SampleFails(const Vertex& p, const Vertex& q) {
  const Vertex m = Mid(p, q);
  const Vertex g = Sample(m.x, m.z);
  return std::abs(m.y - g.y) > max_approx_error;
}

static bool TriangleError(const Triangle& t) {
  if (t.hypotenuse == 1) return SampleFails(t.a, t.b) || SampleFails(t.a, t.c);
  if (t.hypotenuse == 2) return SampleFails(t.b, t.c);
  return SampleFails(t.a, t.c);
}

static Triangle Make(const Vertex& a, const Vertex& b, const Vertex& c, int hypotenuse) {
  Triangle t{};
  t.a = Sample(a.x, a.z);
  t.b = Sample(b.x, b.z);
  t.c = Sample(c.x, c.z);
  t.hypotenuse = hypotenuse;
  return t;
}

std::vector<Tri> ReferenceTriangleMesh() {
  const float s = static_cast<float>(terrain_size);
  TriangleList* triangles = new TriangleList;
  triangles->t = Make(Sample(0, 0), Sample(s, 0), Sample(s, s), 3);
  triangles->next = new TriangleList;
  triangles->next->t = Make(Sample(0, 0), Sample(s, s), Sample(0, s), 1);

  for (int precision = 1; precision <= max_precision; ++precision) {
    TriangleList* head = nullptr;
    TriangleList* temp_triangles = nullptr;
    auto append = [&](const Triangle& t) {
      TriangleList* node = new TriangleList;
      node->t = t;
      if (head == nullptr) head = node;
      else temp_triangles->next = node;
      temp_triangles = node;
    };
    for (TriangleList* node = triangles; node != nullptr; node = node->next) {
      const Triangle t = node->t;
      const bool error = TriangleError(t);
      if (!(error || mesh_simplification == 0)) {
        append(t);
        continue;
      }
      if (t.hypotenuse == 1) {
        const Vertex m = Sample(Mid(t.a, t.b).x, Mid(t.a, t.b).z);
        append(Make(t.a, m, t.c, 3));
        append(Make(m, t.b, t.c, 2));
      } else if (t.hypotenuse == 2) {
        const Vertex m = Sample(Mid(t.b, t.c).x, Mid(t.b, t.c).z);
        append(Make(t.a, t.b, m, 1));
        append(Make(t.a, m, t.c, 3));
      } else {
        const Vertex m = Sample(Mid(t.a, t.c).x, Mid(t.a, t.c).z);
        append(Make(t.a, t.b, m, 1));
        append(Make(m, t.b, t.c, 2));
      }
    }
    while (triangles != nullptr) {
      TriangleList* triangles_delete = triangles;
      triangles = triangles->next;
      delete triangles_delete;
    }
    triangles = head;
  }

  std::vector<Tri> mesh;
  while (triangles != nullptr) {
    mesh.push_back(Tri{triangles->t.a, triangles->t.b, triangles->t.c, triangles->t.hypotenuse});
    TriangleList* triangles_delete = triangles;
    triangles = triangles->next;
    delete triangles_delete;
  }
  return mesh;
}

}  // namespace mesher_test
