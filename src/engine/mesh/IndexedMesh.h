// The mesh as the terrain drawing sends it to the driver: one record per grid point used
// and three indices per drawn triangle, instead of a list node per triangle.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Mesh.h"
#include "TrueError.h"

struct IndexedMesh {
  struct Point {
    int x, z;  // column and row
  };
  std::vector<Point> points;        // the grid point of each vertex record, in order of first use
  std::vector<uint32_t> indices;    // corners a, c, b of each triangle, in mesh order
  long long triangle_count = 0;     // every triangle of the mesh, including those left out below
  int precision = 0;                // the level asked for
  int level = 0;                    // the level reached (-1: nothing fitted)
  mesh::TrueError true_error;       // how far the drawn surface strays from the grid
};

// Collects a build's triangles as an IndexedMesh. A triangle with two corners on one grid
// point has no area and is left out of the indices (the drawing culls it anyway), but it
// still counts: most triangles of a large mesh on a grid that is not 2^k + 1 points wide
// are of that kind.
class IndexedMeshBuilder {
 public:
  // `superseded`, when set, is asked every few thousand triangles; when it answers true
  // the build ends with mesh::Superseded.
  IndexedMeshBuilder(int rows, int cols, std::function<bool()> superseded = {});

  void Append(const Triangle& t) {
    ++count_;
    if ((count_ & 0xFFF) == 0) Poll();
    const size_t a = GridIndex(t.a), b = GridIndex(t.b), c = GridIndex(t.c);
    if (a == b || b == c || c == a) return;
    mesh_.indices.push_back(Slot(a));
    mesh_.indices.push_back(Slot(c));
    mesh_.indices.push_back(Slot(b));
  }
  long long Count() const { return count_; }
  void Discard();
  void Trim() {}
  void Poll();

  // The mesh built, with its triangle count; the builder is left empty.
  IndexedMesh Finish();

 private:
  static constexpr uint32_t kUnused = UINT32_MAX;
  size_t GridIndex(const Vertex& v) const { return static_cast<size_t>(v.z) * cols_ + v.x; }
  uint32_t Slot(size_t grid_index) {
    uint32_t& slot = slots_[grid_index];
    if (slot == kUnused) {
      slot = static_cast<uint32_t>(mesh_.points.size());
      mesh_.points.push_back(
          IndexedMesh::Point{static_cast<int>(grid_index % cols_), static_cast<int>(grid_index / cols_)});
    }
    return slot;
  }

  size_t cols_;
  std::unique_ptr<uint32_t[]> slots_;  // grid point -> vertex record, kUnused until first use
  size_t grid_points_;
  IndexedMesh mesh_;
  long long count_ = 0;
  std::function<bool()> superseded_;
};

// Builds the mesh of the current settings (or of `s`) at once.
namespace mesh {
struct Settings;
IndexedMesh BuildIndexedMesh(const Settings& s, std::function<bool()> superseded = {});
}  // namespace mesh

// How the terrain is shaded: colour by height, draped texture, or plain white.
enum class Shading { kColor, kTexture, kPlain };

// The per-vertex arrays of a mesh as drawn: positions in whole units as the immediate
// drawing truncates them, the grid normals, and colours or texture coordinates.
struct VertexArrays {
  std::vector<int32_t> positions;  // x, y, z per record
  std::vector<float> normals;      // x, y, z per record
  std::vector<float> colours;      // r, g, b per record, colour shading only
  std::vector<float> texcoords;    // s, t per record, texture shading only
};

// Fills `out` for `mesh` from the grid and `normales`: x and z are the column and row times
// scale_xz, y the height times scale_y, each truncated toward zero and saturated at the
// int limits; colours follow the raw heights.
void FillVertexArrays(const IndexedMesh& mesh, Shading shading, double scale_xz, double scale_y,
                      VertexArrays& out);
