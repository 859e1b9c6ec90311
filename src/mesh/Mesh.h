// Mesh records shared by the meshers, the normal table and the terrain drawing,
// and the globals that steer mesh building.
#pragma once

#include <cstddef>

// A grid point: x is its column, z its row, y its raw height.
struct Vertex {
  int x;
  int y;
  int z;
};

struct Normal {
  float x;
  float y;
  float z;
};

struct Triangle {
  Vertex a, b, c;
  Vertex n_a, n_b, n_c;  // unused: normals come from `normales` by grid position
  Vertex t_a, t_b, t_c;  // unused: texture coordinates come from the vertex position
  int hypotenuse;        // 1 = edge a-b, 2 = edge b-c, 3 = edge c-a
};

struct TriangleList {
  TriangleList() : next(nullptr) {}
  // Nodes come from a pool of large blocks (MeshList.cpp): a mesh of millions of nodes
  // is made, walked and released far faster than with one heap block per node.
  static void* operator new(std::size_t size);
  static void operator delete(void* node) noexcept;
  Triangle t;
  TriangleList* next;
};

// An axis-aligned rectangle of the grid; a: least column and row, b: greatest column,
// least row, c: greatest column and row, d: least column, greatest row.
struct Quad {
  Vertex a, b, c, d;
};

// A node owns its successors: deleting it releases the whole chain behind it.
struct QuadList {
  QuadList() : next(nullptr) {}
  ~QuadList();
  Quad q;
  QuadList* next;
};

struct QuadTree {
  Triangle t1;
  Triangle t2;
};

extern int triangle_count;
extern int terrain_size;
extern Vertex terrain_border_1;
extern Vertex terrain_border_2;
// Mesh the whole loaded grid: borders at its corners, size its longer side.
void MeshWholeGrid();
extern int max_precision;
extern int max_approx_error;
extern int mesh_simplification;
// With simplification, elements are split until no grid point they cover departs from
// them by more than the bound, and the mesh is closed where fine meets coarse; off, each
// element is judged at one place, as the plain meshers always did.
extern int strict_error;
extern int mesh_mode;
extern bool refresh_mesh;
// NODATA cells drawn as the heights they hold; otherwise they are holes in the terrain.
extern int show_nodata;

// Limits of the precision setting, shared by the panel and the +/- keys.
constexpr int kMinPrecision = 0;
constexpr int kMaxPrecision = 100;

// The most triangles a build may hold (about 1 GB of list nodes); a build that would
// exceed it stops at the last whole level that fits.
extern long long mesh_triangle_budget;
constexpr long long kDefaultMeshTriangleBudget = 1LL << 23;
