// Mesh records shared by the meshers, the normal table and the terrain drawing. The
// globals that steer mesh building belong to the viewer (MeshGlobals.h).
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
  Vertex a, b, c;  // normals and texture coordinates come from the grid position
  int hypotenuse;        // 1 = edge a-b, 2 = edge b-c, 3 = edge c-a
};

// An axis-aligned rectangle of the grid; a: least column and row, b: greatest column,
// least row, c: greatest column and row, d: least column, greatest row.
struct Quad {
  Vertex a, b, c, d;
};

// Limits of the precision setting, shared by the panel and the +/- keys.
constexpr int kMinPrecision = 0;
constexpr int kMaxPrecision = 100;

// The most triangles a build may hold by default (about 1 GB of list nodes); a build
// that would exceed it stops at the last whole level that fits.
constexpr long long kDefaultMeshTriangleBudget = 1LL << 23;
