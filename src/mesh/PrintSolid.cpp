// The solid is built in the drawn frame (x east, y up, z south) and turned at the end by
// (x, y, z) -> (x, -z, y), a rotation: the surface's triangles, counter-clockwise from
// above, keep facing up.
//
// Where the outline passes a vertex twice (two holes, or a hole and the border, touching
// at one grid point), the walls of both sides would stand on one vertical edge, shared by
// four triangles: no slicer takes that. Such a vertex keeps its one point on the surface,
// but each fan of triangles around it beyond the first gets a bottom point of its own,
// moved a little into the fan (half its distance to the nearest far edge of the fan's
// triangles, so that no bottom triangle turns over). The walls of each side then lean a
// hair into their own side and meet the other side's only at the top point.
#include "PrintSolid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace mesh_export {

namespace {

constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

uint64_t Key(uint64_t a, uint64_t b) { return a << 32 | b; }

struct Drawn {
  double x, y, z;
};

// Distance in the plan from `v` to the line through `p` and `q`.
double DistanceToLine(const Drawn& v, const Drawn& p, const Drawn& q) {
  const double dx = q.x - p.x, dz = q.z - p.z;
  return std::abs(dx * (v.z - p.z) - dz * (v.x - p.x)) / std::hypot(dx, dz);
}

class Builder {
 public:
  Builder(const IndexedMesh& mesh, const data& grid, const DrawScales& scales, const PrintOptions& options)
      : ix_(mesh.indices), n_(mesh.points.size()), drawn_(n_) {
    double x1 = -std::numeric_limits<double>::infinity(), z0 = -x1, y0 = -x1;
    for (size_t i = 0; i < n_; ++i) {
      const IndexedMesh::Point p = mesh.points[i];
      drawn_[i] = {p.x * static_cast<double>(scales.column), grid.values[p.z][p.x] * scales.height,
                   p.z * static_cast<double>(scales.row)};
      x0_ = std::min(x0_, drawn_[i].x), x1 = std::max(x1, drawn_[i].x);
      z0 = std::min(z0, drawn_[i].z), z1_ = std::max(z1_, drawn_[i].z);
      y0 = std::min(y0, drawn_[i].y);
    }
    scale_ = options.size_mm / std::max(x1 - x0_, z1_ - z0);
    y0_ = y0;
    lift_ = options.base ? options.thickness_mm : 0;
  }

  PrintSolid Surface() {
    PrintSolid solid;
    solid.points.reserve(n_);
    for (const Drawn& d : drawn_) solid.points.push_back(Print(d.x, d.y, d.z));
    solid.source.resize(n_);
    for (size_t i = 0; i < n_; ++i) solid.source[i] = static_cast<uint32_t>(i);
    solid.indices = ix_;
    return solid;
  }

  void AddBase(PrintSolid& solid) {
    std::vector<Corner> plan(n_);
    for (size_t i = 0; i < n_; ++i) plan[i] = {static_cast<float>(drawn_[i].x), 0, static_cast<float>(drawn_[i].z)};
    const Base base = BaseUnder(plan, ix_);
    FindPinches(solid, base.outline);
    bottom_.assign(n_, kNone);
    if (base.fan && pinch_fans_.empty()) {
      const uint32_t centre = Add(solid, PrintBottom(base.centre.x, base.centre.z), PrintSolid::kNoSource);
      for (const auto& [from, to] : base.outline) Emit(solid, Down(solid, from, 0), centre, Down(solid, to, 0));
    } else {
      for (size_t t = 0; t + 2 < ix_.size(); t += 3)
        Emit(solid, Down(solid, ix_[t], t), Down(solid, ix_[t + 2], t), Down(solid, ix_[t + 1], t));
    }
    for (const auto& [from, to] : base.outline) {
      const size_t t = pinch_[from] || pinch_[to] ? triangle_of_.at(Key(from, to)) : 0;
      const uint32_t from_down = Down(solid, from, t), to_down = Down(solid, to, t);
      Emit(solid, to, from, from_down);
      Emit(solid, to, from_down, to_down);
    }
  }

 private:
  Corner Print(double x, double y, double z) const {
    return {static_cast<float>((x - x0_) * scale_), static_cast<float>((z1_ - z) * scale_),
            static_cast<float>((y - y0_) * scale_ + lift_)};
  }
  Corner PrintBottom(double x, double z) const {
    Corner c = Print(x, y0_, z);
    c.z = 0;
    return c;
  }

  static uint32_t Add(PrintSolid& solid, const Corner& c, uint32_t source) {
    solid.points.push_back(c);
    solid.source.push_back(source);
    return static_cast<uint32_t>(solid.points.size() - 1);
  }
  static void Emit(PrintSolid& solid, uint32_t a, uint32_t b, uint32_t c) {
    solid.indices.insert(solid.indices.end(), {a, b, c});
  }

  // The bottom point under vertex `v` for the triangle starting at index `t` of `ix_`.
  uint32_t Down(PrintSolid& solid, uint32_t v, size_t t) {
    if (!pinch_fans_.empty()) {
      const auto own = pinch_fans_.find(Key(t, v));
      if (own != pinch_fans_.end()) return own->second;
    }
    if (bottom_[v] == kNone) bottom_[v] = Add(solid, PrintBottom(drawn_[v].x, drawn_[v].z), v);
    return bottom_[v];
  }

  // The fans around each vertex that the outline leaves more than once, and the bottom
  // point of each fan but the first (see the top of the file).
  void FindPinches(PrintSolid& solid, const std::vector<OutlineEdge>& outline) {
    std::vector<uint32_t> leaving(n_);
    for (const auto& edge : outline) ++leaving[edge.first];
    std::vector<unsigned char>& pinch = pinch_;
    pinch.assign(n_, 0);
    bool any = false;
    for (size_t v = 0; v < n_; ++v) any |= (pinch[v] = leaving[v] > 1) != 0;
    if (!any) return;
    for (size_t t = 0; t + 2 < ix_.size(); t += 3)
      if (pinch[ix_[t]] || pinch[ix_[t + 1]] || pinch[ix_[t + 2]])
        for (int k = 0; k < 3; ++k) triangle_of_[Key(ix_[t + k], ix_[t + (k + 1) % 3])] = t;
    std::vector<unsigned char> first_done(n_);
    for (const auto& [v, start] : outline) {
      if (!pinch[v]) continue;
      // Around v from the leaving outline edge to the arriving one, triangle by triangle.
      std::vector<size_t> fan;
      double reach = std::numeric_limits<double>::infinity();
      for (uint32_t next = start;;) {
        const size_t t = triangle_of_.at(Key(v, next));
        fan.push_back(t);
        int k = 0;
        while (ix_[t + k] != v) ++k;
        const uint32_t p = ix_[t + (k + 1) % 3], q = ix_[t + (k + 2) % 3];
        reach = std::min(reach, DistanceToLine(drawn_[v], drawn_[p], drawn_[q]));
        if (triangle_of_.find(Key(v, q)) == triangle_of_.end()) break;
        next = q;
      }
      if (!first_done[v]) {
        first_done[v] = 1;
        continue;
      }
      const size_t t = fan.front();
      double dx = -3 * drawn_[v].x, dz = -3 * drawn_[v].z;  // towards the first triangle's centroid
      for (int k = 0; k < 3; ++k) dx += drawn_[ix_[t + k]].x, dz += drawn_[ix_[t + k]].z;
      const double step = reach / 2 / std::hypot(dx, dz);
      const uint32_t own = Add(solid, PrintBottom(drawn_[v].x + dx * step, drawn_[v].z + dz * step), v);
      for (size_t f : fan) pinch_fans_[Key(f, v)] = own;
    }
  }

 private:
  const std::vector<uint32_t>& ix_;
  size_t n_;
  std::vector<Drawn> drawn_;
  double x0_ = std::numeric_limits<double>::infinity(), z1_ = -std::numeric_limits<double>::infinity();
  double y0_ = 0, scale_ = 1, lift_ = 0;
  std::vector<unsigned char> pinch_;                     // the outline leaves the vertex more than once
  std::vector<uint32_t> bottom_;                         // the plain bottom point of a vertex, once used
  std::unordered_map<uint64_t, size_t> triangle_of_;     // directed edge -> triangle, around pinches
  std::unordered_map<uint64_t, uint32_t> pinch_fans_;    // (triangle, vertex) -> its own bottom point
};

}  // namespace

PrintSolid MakePrintSolid(const IndexedMesh& mesh, const data& grid, const DrawScales& scales,
                          const PrintOptions& options) {
  Builder builder(mesh, grid, scales, options);
  PrintSolid solid = builder.Surface();
  if (options.base) builder.AddBase(solid);
  return solid;
}

}  // namespace mesh_export
