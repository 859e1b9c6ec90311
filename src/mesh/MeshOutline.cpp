#include "MeshOutline.h"

#include <algorithm>

namespace mesh_export {

namespace {

// A well-mixed 64-bit value per vertex (splitmix64's finaliser).
uint64_t VertexHash(uint64_t v) {
  v += 0x9E3779B97F4A7C15ull;
  v = (v ^ (v >> 30)) * 0xBF58476D1CE4E5B9ull;
  v = (v ^ (v >> 27)) * 0x94D049BB133111EBull;
  return v ^ (v >> 31);
}

}  // namespace

// Every walk a->b adds hash(b) at a and takes hash(a) from b, so a walk back cancels it:
// only the ends of unbalanced edges keep a sum other than zero (barring a 64-bit
// coincidence). The edges between two such vertices, few next to the mesh, are then sorted
// and their walks counted.
std::vector<OutlineEdge> OutlineEdges(const std::vector<uint32_t>& indices, size_t vertices) {
  const size_t walked = indices.size() - indices.size() % 3;
  std::vector<uint64_t> balance(vertices, 0);
  for (size_t t = 0; t < walked; t += 3)
    for (int k = 0; k < 3; ++k) {
      const uint32_t from = indices[t + k], to = indices[t + (k + 1) % 3];
      balance[from] += VertexHash(to);
      balance[to] -= VertexHash(from);
    }
  std::vector<unsigned char> on_outline(vertices);
  for (size_t v = 0; v < vertices; ++v) on_outline[v] = balance[v] != 0;
  // An edge filed as its lower vertex, and its upper one times two, plus one when walked down.
  std::vector<std::pair<uint32_t, uint32_t>> filed;
  for (size_t t = 0; t < walked; t += 3)
    for (int k = 0; k < 3; ++k) {
      const uint32_t from = indices[t + k], to = indices[t + (k + 1) % 3];
      if (!on_outline[from] || !on_outline[to]) continue;
      filed.push_back(from < to ? std::pair{from, 2 * to} : std::pair{to, 2 * from + 1});
    }
  std::sort(filed.begin(), filed.end());
  std::vector<OutlineEdge> out;
  for (size_t i = 0; i < filed.size();) {
    const uint32_t low = filed[i].first, high = filed[i].second / 2;
    int excess = 0;
    for (; i < filed.size() && filed[i].first == low && filed[i].second / 2 == high; ++i)
      excess += (filed[i].second & 1) != 0 ? -1 : 1;
    for (; excess > 0; --excess) out.push_back({low, high});
    for (; excess < 0; ++excess) out.push_back({high, low});
  }
  return out;
}

}  // namespace mesh_export
