#include "IndexedMesh.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <tuple>

#include "MeshBuild.h"
#include "MeshList.h"
#include "MeshNormals.h"
#include "Sampling.h"

IndexedMeshBuilder::IndexedMeshBuilder(const data& grid, std::function<bool()> superseded, bool show_nodata,
                                       bool sparse)
    : cols_(static_cast<size_t>(grid.cols)),
      slots_(static_cast<size_t>(grid.rows) * static_cast<size_t>(grid.cols), sparse),
      grid_points_(static_cast<size_t>(grid.rows) * static_cast<size_t>(grid.cols)),
      superseded_(std::move(superseded)),
      holes_(grid.has_nodata && !show_nodata),
      nodata_(grid.nodata) {}

void IndexedMeshBuilder::Poll() {
  if (superseded_ && superseded_()) throw mesh::Superseded{};
}

void IndexedMeshBuilder::Reserve(long long triangles) {
  // A triangulation of T triangles over a region with B border points has (T + B + 2) / 2
  // points; the border of the grid holds fewer than 2 * (rows + cols).
  const size_t rows = grid_points_ / cols_;
  const size_t t = static_cast<size_t>(std::max(triangles, 0LL));
  mesh_.indices.reserve(3 * t);
  mesh_.points.reserve(std::min(grid_points_, (t + 2 * (rows + cols_) + 2) / 2));
  slots_.Reserve(mesh_.points.capacity());
}

void IndexedMeshBuilder::Discard() {
  for (const IndexedMesh::Point& p : mesh_.points) slots_[static_cast<size_t>(p.z) * cols_ + p.x] = kUnused;
  mesh_.points = {};
  mesh_.indices = {};
  mesh_.hole_corners = {};
  hinges_ = {};
  count_ = 0;
}

void IndexedMeshBuilder::AppendCrackFills() {
  // Hinges of one edge and split point side by side, whichever way round they name the edge.
  auto key = [](const Hinge& h) { return std::tuple(std::min(h.p, h.q), std::max(h.p, h.q), h.m); };
  std::sort(hinges_.begin(), hinges_.end(), [&](const Hinge& l, const Hinge& r) { return key(l) < key(r); });
  const size_t mesh_indices = mesh_.indices.size();
  for (size_t i = 0; i < hinges_.size();) {
    const Hinge& h = hinges_[i];
    int sense = 0;  // the times the edge was named least corner first, less the times the other way
    for (; i < hinges_.size() && key(hinges_[i]) == key(h); ++i) sense += hinges_[i].p < hinges_[i].q ? 1 : -1;
    if (sense == 0) continue;
    // The hinge p-q-m, drawn as the mesh's triangles are: p, m, q.
    const uint32_t p = sense > 0 ? std::min(h.p, h.q) : std::max(h.p, h.q);
    const uint32_t q = sense > 0 ? std::max(h.p, h.q) : std::min(h.p, h.q);
    mesh_.indices.push_back(Slot(p));
    mesh_.indices.push_back(Slot(h.m));
    mesh_.indices.push_back(Slot(q));
  }
  mesh_.crack_fills = static_cast<long long>((mesh_.indices.size() - mesh_indices) / 3);
}

IndexedMesh IndexedMeshBuilder::Finish() {
  const size_t own_indices = mesh_.indices.size();
  try {
    AppendCrackFills();
  } catch (const std::bad_alloc&) {
    // A mesh that fitted is worth more than its crack fills.
    mesh_.indices.resize(own_indices);
    mesh_.crack_fills = 0;
  }
  hinges_ = {};
  mesh_.triangle_count = count_;
  mesh_.points.shrink_to_fit();
  mesh_.indices.shrink_to_fit();
  IndexedMesh done = std::move(mesh_);
  mesh_ = IndexedMesh{};
  count_ = 0;
  slots_.Clear();
  return done;
}

IndexedMesh mesh::BuildIndexedMesh(const data& grid, const Settings& s, std::function<bool()> superseded) {
  const int precision = std::max(s.precision, 0);
  IndexedMesh built;
  try {
    IndexedMeshBuilder builder(grid, superseded, s.show_nodata, /*sparse=*/s.screen.on);
    const int level = BuildMesh(grid, s, builder);
    built = builder.Finish();
    built.level = level;
  } catch (const std::bad_alloc&) {
    // Not even the grid's point table fits: an empty mesh, said on the console.
    built = IndexedMesh{};
    built.level = -1;
    built.limit_line = LimitLine(0, -1, precision, precision);
  }
  built.precision = precision;
  built.shows_nodata = s.show_nodata;
  built.strict = s.adaptive && s.strict && !built.strict_fell_back;
  built.no_terrain = !s.show_nodata && built.indices.empty() && !HoldsHeights(grid);
  if (superseded && superseded()) throw mesh::Superseded{};
  if (s.screen.on) {
    // Its error is told in pixels; a measure over the whole grid would cost more than the build.
    try {
      built.normals = mesh::FaceNormalsOf(grid, built);
    } catch (const std::bad_alloc&) {
    }
    built.hole_corners = {};
    return built;
  }
  // Measured after the builder's point table is gone; a mesh that leaves no room for the
  // measurement is shown without it.
  try {
    built.true_error = mesh::MeasureTrueError(grid, built, mesh::MeshedArea(grid, s));
    built.true_error.bound = s.adaptive ? s.bound : -1;
  } catch (const std::bad_alloc&) {
  }
  built.hole_corners = {};  // needed by the measurement only
  return built;
}
