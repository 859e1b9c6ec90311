// The outline of a triangle mesh: the boundary edges the walls of a base stand on. Free of GL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace mesh_export {

// A directed edge, from vertex record `first` to `second`.
using OutlineEdge = std::pair<uint32_t, uint32_t>;

// The directed edges that the triangles of `indices` (three a triangle, over `vertices`
// records) walk more often one way than back, once per walk in excess, in the way they
// are walked: the outline of the surface, holes included. Bisection's fills meet some
// edges inside more than twice, so an edge is on the outline by its balance, not by its
// missing reverse. Sorted by their lower vertex, then their upper one.
std::vector<OutlineEdge> OutlineEdges(const std::vector<uint32_t>& indices, size_t vertices);

}  // namespace mesh_export
