// The mesh as the terrain drawing sends it to the driver: one record per grid point used
// and three indices per drawn triangle, instead of a list node per triangle.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Mesh.h"
#include "PointSlots.h"
#include "ScreenView.h"
#include "TerrainLoader.h"
#include "TrueError.h"

struct IndexedMesh {
  struct Point {
    int x, z;  // column and row
  };
  std::vector<Point> points;        // the grid point of each vertex record, in order of first use
  std::vector<uint32_t> indices;    // corners a, c, b of each triangle, in mesh order, then the crack fills
  long long triangle_count = 0;     // every triangle of the mesh, including those left out below
  long long crack_fills = 0;        // triangles at the end of `indices` that close cracks; not counted
  int precision = 0;                // the level asked for
  int level = 0;                    // the level reached (-1: nothing fitted)
  bool shows_nodata = false;        // NODATA cells drawn as heights, not left as holes
  bool strict = false;              // adaptive under a strict bound: a limit raises the bound
  bool strict_fell_back = false;    // Strict Error was asked, but its hierarchy did not fit
  bool no_terrain = false;          // every cell of the grid is NODATA, and NODATA cells are holes
  // The triangles left out for a NODATA corner, three grid indices (row * cols + column)
  // each, so that the true error tells the points under a hole from those under no
  // triangle; emptied once measured.
  std::vector<uint32_t> hole_corners;
  mesh::TrueError true_error;       // how far the drawn surface strays from the grid
  mesh::ScreenResult screen;        // a mesh built for a view: its error in pixels
  // With a screen bound: the normals of the surface drawn, x, y, z per vertex record, in the
  // grid normals' frame (unit steps, raw heights); empty otherwise, when the grid's are used.
  std::vector<float> normals;
  // The console line that says why the build stopped short (mesh::LimitLine), empty when
  // it did not. Printed by whoever shows or writes the mesh, never by a build that a newer
  // request may still drop.
  std::string limit_line;
};

// Collects a build's triangles as an IndexedMesh. A triangle with two corners on one grid
// point has no area and is left out of the indices (the drawing culls it anyway), but it
// still counts: most triangles of a large mesh on a grid that is not 2^k + 1 points wide
// are of that kind. Unless NODATA cells are shown as heights, a triangle with a corner on
// one is left out too and still counts: the grid has a hole there.
//
// Triangle bisection rounds split points toward the first-named corner of the hypotenuse,
// so two neighbours may split their common edge at different grid points, and an adaptive
// mesh splits one side of an edge and not the other: both leave cracks, slivers in the
// plan and steps in height. A triangle p-q-a split at m equals its children plus the
// hinge p-q-m, taken with turning sense; the hinges of the two sides of an edge split at
// one point cancel, and the rest are drawn after the mesh's own triangles. The drawn
// surface then closes along every edge inside the grid, and every pixel inside the
// terrain's outline is covered by a triangle facing the viewer.
class IndexedMeshBuilder {
 public:
  // `superseded`, when set, is asked every few thousand triangles; when it answers true
  // the build ends with mesh::Superseded. The builder keeps `grid`'s size and NODATA value.
  // `sparse`: the points used are kept in a hash instead of a table over the grid.
  explicit IndexedMeshBuilder(const data& grid, std::function<bool()> superseded = {}, bool show_nodata = false,
                              bool sparse = false);

  void Append(const Triangle& t) {
    ++count_;
    if ((count_ & 0xFFF) == 0) Poll();
    const size_t a = GridIndex(t.a), b = GridIndex(t.b), c = GridIndex(t.c);
    if (a == b || b == c || c == a) return;
    if (holes_ && (t.a.y == nodata_ || t.b.y == nodata_ || t.c.y == nodata_)) {
      for (size_t corner : {a, c, b}) mesh_.hole_corners.push_back(static_cast<uint32_t>(corner));
      return;
    }
    mesh_.indices.push_back(Slot(a));
    mesh_.indices.push_back(Slot(c));
    mesh_.indices.push_back(Slot(b));
  }
  // The hypotenuse p-q of a bisected triangle, in its turning sense, and its split point m.
  void Bisected(const Vertex& p, const Vertex& q, const Vertex& m) {
    if (holes_ && (p.y == nodata_ || q.y == nodata_ || m.y == nodata_)) return;  // no fill into a hole
    const Hinge h{static_cast<uint32_t>(GridIndex(p)), static_cast<uint32_t>(GridIndex(q)),
                  static_cast<uint32_t>(GridIndex(m))};
    if (h.p != h.m && h.q != h.m && !OnOneBorder(p, q)) hinges_.push_back(h);
  }
  // Room for a mesh of `triangles` that tiles the grid, so that a build that knows its
  // size in advance neither grows nor trims its arrays.
  void Reserve(long long triangles);
  long long Count() const { return count_; }
  void Discard();
  void Trim() {}
  void Poll();
  void StrictFellBack() { mesh_.strict_fell_back = true; }
  void Report(const std::string& limit_line) { mesh_.limit_line = limit_line; }
  void Screen(const mesh::ScreenResult& result) { mesh_.screen = result; }

  // The mesh built, with its triangle count; the builder is left empty.
  IndexedMesh Finish();

 private:
  static constexpr uint32_t kUnused = PointSlots::kUnused;
  struct Hinge {
    uint32_t p, q, m;  // grid indices
  };
  // An edge along the grid's border has no neighbour to crack against.
  bool OnOneBorder(const Vertex& p, const Vertex& q) const {
    const int last_x = static_cast<int>(cols_) - 1, last_z = static_cast<int>(grid_points_ / cols_) - 1;
    return (p.x == q.x && (p.x == 0 || p.x == last_x)) || (p.z == q.z && (p.z == 0 || p.z == last_z));
  }
  void AppendCrackFills();
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
  PointSlots slots_;  // grid point -> vertex record, kUnused until first use
  size_t grid_points_;
  IndexedMesh mesh_;
  std::vector<Hinge> hinges_;
  long long count_ = 0;
  std::function<bool()> superseded_;
  bool holes_;  // the grid has a NODATA value and its cells are not shown
  int nodata_;
};

// Builds the mesh of `s` over `grid` at once, with its true error.
namespace mesh {
struct Settings;
IndexedMesh BuildIndexedMesh(const data& grid, const Settings& s, std::function<bool()> superseded = {});
}  // namespace mesh
