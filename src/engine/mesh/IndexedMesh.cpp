#include "IndexedMesh.h"

#include <climits>
#include <cstring>

#include "Brackenholmer.h"
#include "MeshBuild.h"
#include "MeshList.h"
#include "TerrainColor.h"

IndexedMeshBuilder::IndexedMeshBuilder(int rows, int cols, std::function<bool()> superseded)
    : cols_(static_cast<size_t>(cols)),
      slots_(new uint32_t[static_cast<size_t>(rows) * static_cast<size_t>(cols)]),
      grid_points_(static_cast<size_t>(rows) * static_cast<size_t>(cols)),
      superseded_(std::move(superseded)) {
  std::memset(slots_.get(), 0xFF, grid_points_ * sizeof(uint32_t));
}

void IndexedMeshBuilder::Poll() {
  if (superseded_ && superseded_()) throw mesh::Superseded{};
}

void IndexedMeshBuilder::Discard() {
  for (const IndexedMesh::Point& p : mesh_.points) slots_[static_cast<size_t>(p.z) * cols_ + p.x] = kUnused;
  mesh_.points = {};
  mesh_.indices = {};
  count_ = 0;
}

IndexedMesh IndexedMeshBuilder::Finish() {
  mesh_.triangle_count = count_;
  mesh_.points.shrink_to_fit();
  mesh_.indices.shrink_to_fit();
  IndexedMesh done = std::move(mesh_);
  mesh_ = IndexedMesh{};
  count_ = 0;
  std::memset(slots_.get(), 0xFF, grid_points_ * sizeof(uint32_t));
  return done;
}

IndexedMesh mesh::BuildIndexedMesh(const Settings& s, std::function<bool()> superseded) {
  const int precision = std::max(s.precision, 0);
  IndexedMesh built;
  try {
    IndexedMeshBuilder builder(input.rows, input.cols, superseded);
    const int level = BuildMesh(s, builder);
    built = builder.Finish();
    built.level = level;
  } catch (const std::bad_alloc&) {
    // Not even the grid's point table fits: an empty mesh, said on the console.
    built = IndexedMesh{};
    built.level = -1;
    ReportBuild(0, -1, precision, precision);
  }
  built.precision = precision;
  // Measured after the builder's point table is gone; a mesh that leaves no room for the
  // measurement is shown without it.
  if (superseded && superseded()) throw mesh::Superseded{};
  try {
    built.true_error = mesh::MeasureTrueError(built, mesh::MeshedArea(s));
    built.true_error.bound = s.adaptive ? s.bound : -1;
  } catch (const std::bad_alloc&) {
  }
  return built;
}

namespace {

// Drawn coordinates are whole height units, truncated toward zero; values beyond the int
// range (extreme heights times a large multiplier) saturate instead of overflowing.
inline int32_t TruncateToInt(double v) {
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int32_t>(v);
}

}  // namespace

void FillVertexArrays(const IndexedMesh& mesh, Shading shading, double scale_xz, double scale_y,
                      VertexArrays& out) {
  const size_t n = mesh.points.size();
  out.positions.resize(3 * n);
  out.normals.resize(3 * n);
  out.colours.resize(shading == Shading::kColor ? 3 * n : 0);
  out.texcoords.resize(shading == Shading::kTexture ? 2 * n : 0);
  const double cols = input.cols;
  const double rows = input.rows;
  for (size_t i = 0; i < n; ++i) {
    const IndexedMesh::Point p = mesh.points[i];
    const int h = input.values[p.z][p.x];
    int32_t* position = &out.positions[3 * i];
    position[0] = TruncateToInt(p.x * scale_xz);
    position[1] = TruncateToInt(h * scale_y);
    position[2] = TruncateToInt(p.z * scale_xz);
    const Normal& normal = normales[p.z][p.x];
    float* nv = &out.normals[3 * i];
    nv[0] = normal.x;
    nv[1] = normal.y;
    nv[2] = normal.z;
    if (shading == Shading::kColor) {
      const RGBColor c = TerrainColor(h);
      float* cv = &out.colours[3 * i];
      cv[0] = static_cast<float>(c.r);
      cv[1] = static_cast<float>(c.g);
      cv[2] = static_cast<float>(c.b);
    } else if (shading == Shading::kTexture) {
      out.texcoords[2 * i] = static_cast<float>(p.x / cols);
      out.texcoords[2 * i + 1] = static_cast<float>(p.z / rows);
    }
  }
}
