// Quad subdivision under a strict error bound: quads are split while any grid point they
// cover strays from their triangles by more than the bound (QuadErrorHierarchy), then
// further until neighbouring quads differ by at most one level, and a quad beside finer
// neighbours is drawn as a fan that meets their corners, so the surface has no cracks.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "MeshList.h"
#include "TriangleSink.h"
#include "QuadErrorHierarchy.h"

namespace {

using mesh::QuadErrorHierarchy;

// Which quads are split at one bound. Cells (the hierarchy's last level) never are.
class QuadCut {
 public:
  explicit QuadCut(const QuadErrorHierarchy& h)
      : h_(h), split_(static_cast<size_t>(h.Depth())), listed_(static_cast<size_t>(h.Depth())) {}

  // Does nothing when the quads are cut at `bound` already.
  void Cut(int64_t bound, const std::function<void()>& poll) {
    if (done_ && bound == bound_) return;
    done_ = false;
    for (int level = 0; level < h_.Depth(); ++level) {
      split_[level].assign(static_cast<size_t>(h_.Across(level)) * h_.Down(level), 0);
      listed_[level].clear();
    }
    if (h_.Depth() > 0 && h_.Across(0) > 0 && h_.Down(0) > 0) {
      SplitByError(bound, poll);
      Balance(poll);
    }
    bound_ = bound;
    done_ = true;
  }

  // False for quads outside the grid and for cells.
  bool IsSplit(int level, int i, int j) const {
    if (level >= h_.Depth() || i < 0 || j < 0 || i >= h_.Across(level) || j >= h_.Down(level)) return false;
    return split_[level][static_cast<size_t>(j) * h_.Across(level) + i] != 0;
  }

  const QuadErrorHierarchy& Hierarchy() const { return h_; }

 private:
  // From the top down, the quads that stray by more than the bound or reach past the grid.
  void SplitByError(int64_t bound, const std::function<void()>& poll) {
    auto wanted = [&](int level, int i, int j) { return h_.Straddles(level, i, j) || h_.Error(level, i, j) > bound; };
    if (wanted(0, 0, 0)) Mark(0, 0, 0);
    for (int level = 0; level + 1 < h_.Depth(); ++level) {
      poll();
      const int across = h_.Across(level), across_below = h_.Across(level + 1), down_below = h_.Down(level + 1);
      for (uint32_t at : listed_[level]) {
        const int i = static_cast<int>(at % across), j = static_cast<int>(at / across);
        for (int c = 0; c < 4; ++c) {
          const int ci = 2 * i + (c & 1), cj = 2 * j + (c >> 1);
          if (ci < across_below && cj < down_below && wanted(level + 1, ci, cj)) Mark(level + 1, ci, cj);
        }
      }
    }
  }

  // From the bottom up: a split quad needs its parent and the parents of the quads beside
  // it split, so that no leaf borders one more than a level finer.
  void Balance(const std::function<void()>& poll) {
    for (int level = h_.Depth() - 1; level >= 1; --level) {
      poll();
      const int across = h_.Across(level), down = h_.Down(level);
      for (uint32_t at : listed_[level]) {
        const int i = static_cast<int>(at % across), j = static_cast<int>(at / across);
        const int beside[5][2] = {{i, j}, {i - 1, j}, {i + 1, j}, {i, j - 1}, {i, j + 1}};
        for (const auto& [ni, nj] : beside)
          if (ni >= 0 && nj >= 0 && ni < across && nj < down && !IsSplit(level - 1, ni / 2, nj / 2))
            Mark(level - 1, ni / 2, nj / 2);
      }
    }
  }

  void Mark(int level, int i, int j) {
    const uint32_t at = static_cast<uint32_t>(j * h_.Across(level) + i);
    split_[level][at] = 1;
    listed_[level].push_back(at);
  }

  const QuadErrorHierarchy& h_;
  std::vector<std::vector<uint8_t>> split_;  // per level, row by row
  std::vector<std::vector<uint32_t>> listed_;  // per level, the split quads
  int64_t bound_ = 0;
  bool done_ = false;
};

// A leaf of the cut: the quad and which of its sides (top, right, bottom, left) border
// finer quads, whose corners a fan from the centre must meet.
struct Leaf {
  int x0, z0, side;
  bool finer[4];
  bool Fan() const { return finer[0] || finer[1] || finer[2] || finer[3]; }
  int Triangles() const { return 2 + (Fan() ? 2 + finer[0] + finer[1] + finer[2] + finer[3] : 0); }
};

// Calls visit(leaf) for the leaves in depth-first order, children 1 to 4 (the a, b, c and
// d corners) as the plain mesher lists its quads, keeping those whose centre lies in the
// border rectangle.
template <class Visit>
void ForEachLeaf(const QuadCut& cut, const mesh::Settings& s, Visit visit) {
  const QuadErrorHierarchy& h = cut.Hierarchy();
  if (h.Across(0) == 0 || h.Down(0) == 0) return;
  struct Node {
    int level, i, j;
  };
  std::vector<Node> stack{{0, 0, 0}};
  while (!stack.empty()) {
    const Node n = stack.back();
    stack.pop_back();
    if (cut.IsSplit(n.level, n.i, n.j)) {
      const int level = n.level + 1;
      const Node children[4] = {{level, 2 * n.i, 2 * n.j + 1}, {level, 2 * n.i + 1, 2 * n.j + 1},
                                {level, 2 * n.i + 1, 2 * n.j}, {level, 2 * n.i, 2 * n.j}};
      for (const Node& c : children)  // in reverse, so that child 1 comes out first
        if (c.i < h.Across(level) && c.j < h.Down(level)) stack.push_back(c);
      continue;
    }
    const int side = h.Side(n.level);
    const int x0 = n.i * side, z0 = n.j * side;
    const int mx = x0 + side / 2, mz = z0 + side / 2;
    if (mx < s.border_1.x || mx > s.border_2.x || mz < s.border_1.z || mz > s.border_2.z) continue;
    visit(Leaf{x0, z0, side,
               {cut.IsSplit(n.level, n.i, n.j - 1), cut.IsSplit(n.level, n.i + 1, n.j),
                cut.IsSplit(n.level, n.i, n.j + 1), cut.IsSplit(n.level, n.i - 1, n.j)}});
  }
}

long long CountTriangles(QuadCut& cut, const mesh::Settings& s, int64_t bound, const std::function<void()>& poll) {
  cut.Cut(bound, poll);
  long long count = 0;
  ForEachLeaf(cut, s, [&](const Leaf& leaf) { count += leaf.Triangles(); });
  return count;
}

// The least bound from `bound` up whose mesh holds no more than `budget` triangles, or the
// bound that splits for no error at all when even that one holds more.
int64_t LeastBoundWithin(QuadCut& cut, const mesh::Settings& s, int64_t bound, long long budget,
                         const std::function<void()>& poll) {
  int64_t lo = bound, hi = std::max(bound, cut.Hierarchy().Largest());
  if (CountTriangles(cut, s, hi, poll) > budget) return hi;
  while (lo < hi) {  // the count never grows with the bound
    const int64_t mid = lo + (hi - lo) / 2;
    if (CountTriangles(cut, s, mid, poll) <= budget) hi = mid;
    else lo = mid + 1;
  }
  return lo;
}

template <class Builder>
void Emit(const data& grid, const QuadCut& cut, const mesh::Settings& s, Builder& out) {
  auto vertex = [&grid](int x, int z) { return Vertex{x, grid.values[z][x], z}; };
  Triangle t{};
  auto append = [&](const Vertex& a, const Vertex& b, const Vertex& c) {
    t.a = a;
    t.b = b;
    t.c = c;
    out.Append(t);
  };
  ForEachLeaf(cut, s, [&](const Leaf& leaf) {
    const int x1 = leaf.x0 + leaf.side, z1 = leaf.z0 + leaf.side;
    const Vertex corner[4] = {vertex(leaf.x0, leaf.z0), vertex(x1, leaf.z0), vertex(x1, z1), vertex(leaf.x0, z1)};
    if (!leaf.Fan()) {
      // Along the diagonal a-c, in the turning sense of a, b, c, d, as the plain mesher cuts.
      append(corner[0], corner[1], corner[2]);
      append(corner[0], corner[2], corner[3]);
      return;
    }
    const int half = leaf.side / 2;
    const Vertex centre = vertex(leaf.x0 + half, leaf.z0 + half);
    const Vertex middle[4] = {vertex(leaf.x0 + half, leaf.z0), vertex(x1, leaf.z0 + half),
                              vertex(leaf.x0 + half, z1), vertex(leaf.x0, leaf.z0 + half)};
    for (int k = 0; k < 4; ++k) {
      const Vertex& next = corner[(k + 1) % 4];
      if (leaf.finer[k]) {
        append(corner[k], middle[k], centre);
        append(middle[k], next, centre);
      } else {
        append(corner[k], next, centre);
      }
    }
  });
}

}  // namespace

template <class Builder>
int mesh::BuildStrictQuadMesh(const data& grid, const Settings& s, Builder& out) {
  const int precision = std::max(s.precision, 0);
  const std::function<void()> poll = [&out] { out.Poll(); };
  std::shared_ptr<const QuadErrorHierarchy> hierarchy;
  try {
    hierarchy = QuadErrorHierarchy::Of(grid, poll);
  } catch (const std::bad_alloc&) {
    return FallBackFromStrict(s, out,
                              [&grid](const Settings& loose, Builder& b) { return BuildQuadMesh(grid, loose, b); });
  }
  QuadCut cut(*hierarchy);
  // The precision does not limit the depth; only the budget does, through the bound. No
  // mesh holds more than two triangles a cell (a fan's eight cover four cells at least), so
  // most grids need no count.
  int64_t bound = s.bound;
  int planned = precision;
  const int cells_across = hierarchy->Across(hierarchy->Depth()), cells_down = hierarchy->Down(hierarchy->Depth());
  if (2LL * cells_across * cells_down > s.budget && CountTriangles(cut, s, bound, poll) > s.budget) {
    bound = LeastBoundWithin(cut, s, bound, s.budget, poll);
    planned = std::max(precision - 1, 0);
  }
  auto fill = [&](int level, Builder& list) {
    int64_t at = bound;
    if (level < planned) {
      // Without the memory for the planned mesh: a quarter of its triangles a level below.
      const long long planned_count = CountTriangles(cut, s, bound, poll);
      at = LeastBoundWithin(cut, s, bound, planned_count >> (2 * std::min(planned - level, 31)), poll);
    }
    cut.Cut(at, poll);
    Emit(grid, cut, s, list);
  };
  return mesh::FillLastLevelThatFits(out, planned, precision, fill, /*strict=*/true);
}

template int mesh::BuildStrictQuadMesh(const data&, const Settings&, mesh::TriangleSink&);
template int mesh::BuildStrictQuadMesh(const data&, const Settings&, IndexedMeshBuilder&);
template int mesh::BuildStrictQuadMesh(const data&, const Settings&, mesh::CountingBuilder&);
