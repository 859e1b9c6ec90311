// The base that makes an exported surface a closed solid to print: walls down from every
// outline edge to a flat bottom a tenth of the relief below the lowest point. Free of GL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "MeshOutline.h"

namespace mesh_export {

// A position as written, in metres.
struct Corner {
  float x, y, z;
};

struct Base {
  std::vector<OutlineEdge> outline;  // the walls stand on these
  float bottom = 0;
  // The bottom as a fan from `centre` to the outline when the centre sees every outline
  // edge from inside (one loop, no holes): a tiny fraction of a mirrored mesh.
  bool fan = false;
  Corner centre{};
};

// The height of the flat bottom under a mesh whose heights run from `lowest` to
// `highest`: a tenth of the relief below the lowest point, at least one unit, rounded down.
double BaseHeight(double lowest, double highest);

// The base under the surface of `corners` with the triangles `indices` (three a triangle,
// counter-clockwise seen from above).
Base BaseUnder(const std::vector<Corner>& corners, const std::vector<uint32_t>& indices);

// The solid's triangles: the surface's, and with a base (not null) the bottom's (a fan,
// or the surface mirrored) and two a wall.
inline size_t SolidTriangles(size_t surface_triangles, const Base* base) {
  if (base == nullptr) return surface_triangles;
  return surface_triangles + (base->fan ? base->outline.size() : surface_triangles) + 2 * base->outline.size();
}

// The solid's corner points: the surface's, with a base their copies on the bottom and
// the fan's centre.
inline size_t SolidVertices(size_t surface_vertices, const Base* base) {
  if (base == nullptr) return surface_vertices;
  return 2 * surface_vertices + (base->fan ? 1 : 0);
}

// Calls `emit(a, b, c)` with every triangle of the solid as corner positions, in the
// order SolidTriangles counts them; the base's turn outward as the surface's turn up.
template <class Emit>
void ForEachSolidTriangle(const std::vector<Corner>& corners, const std::vector<uint32_t>& ix, const Base* base,
                          Emit emit) {
  for (size_t t = 0; t + 2 < ix.size(); t += 3) emit(corners[ix[t]], corners[ix[t + 1]], corners[ix[t + 2]]);
  if (base == nullptr) return;
  const auto down = [&](uint32_t i) { return Corner{corners[i].x, base->bottom, corners[i].z}; };
  if (base->fan) {
    for (const auto& [from, to] : base->outline) emit(down(from), base->centre, down(to));
  } else {
    for (size_t t = 0; t + 2 < ix.size(); t += 3) emit(down(ix[t]), down(ix[t + 2]), down(ix[t + 1]));
  }
  for (const auto& [from, to] : base->outline) {
    emit(corners[to], corners[from], down(from));
    emit(corners[to], down(from), down(to));
  }
}

// Calls `emit(a, b, c)` with every triangle of the base under `n` surface points as corner
// indices, in the order ForEachSolidTriangle gives them after the surface's: the bottom
// copy of point i is n + i, the fan's centre 2n (the point order SolidVertices counts).
template <class Emit>
void ForEachBaseFace(size_t n, const std::vector<uint32_t>& ix, const Base& base, Emit emit) {
  const uint32_t low = static_cast<uint32_t>(n);
  if (base.fan) {
    for (const auto& [from, to] : base.outline) emit(low + from, 2 * low, low + to);
  } else {
    for (size_t t = 0; t + 2 < ix.size(); t += 3) emit(low + ix[t], low + ix[t + 2], low + ix[t + 1]);
  }
  for (const auto& [from, to] : base.outline) {
    emit(to, from, low + from);
    emit(to, low + from, low + to);
  }
}

}  // namespace mesh_export
