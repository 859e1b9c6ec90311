// A cut of the quad tree: which quads are split, at a bound in height units or by any test
// that picks a quad's parent whenever it picks the quad, then balanced so that no leaf
// borders one more than a level finer; its leaves, and the triangles that draw them.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "Mesh.h"
#include "MeshBuild.h"
#include "QuadErrorHierarchy.h"

namespace mesh {

// Which quads are split at one bound. Cells (the hierarchy's last level) never are.
class QuadCut {
 public:
  explicit QuadCut(const QuadErrorHierarchy& h)
      : h_(h), split_(static_cast<size_t>(h.Depth())), listed_(static_cast<size_t>(h.Depth())) {}

  // Does nothing when the quads are cut at `bound` already.
  void Cut(int64_t bound, const std::function<void()>& poll) {
    if (done_ && bound == bound_) return;
    CutWhere([&](int level, int i, int j) { return h_.Error(level, i, j) > bound; }, poll);
    bound_ = bound;
    done_ = true;
  }

  // Splits, from the top down, the quads that reach past the grid and those `wanted(level,
  // i, j)` picks (which must pick a quad's parent whenever it picks the quad), then those
  // the balance needs.
  template <class Wanted>
  void CutWhere(Wanted wanted, const std::function<void()>& poll) {
    done_ = false;
    for (int level = 0; level < h_.Depth(); ++level) {
      split_[level].assign(static_cast<size_t>(h_.Across(level)) * h_.Down(level), 0);
      listed_[level].clear();
    }
    if (h_.Depth() > 0 && h_.Across(0) > 0 && h_.Down(0) > 0) {
      SplitWhere([&](int level, int i, int j) { return h_.Straddles(level, i, j) || wanted(level, i, j); }, poll);
      Balance(poll);
    }
  }

  // False for quads outside the grid and for cells.
  bool IsSplit(int level, int i, int j) const {
    if (level >= h_.Depth() || i < 0 || j < 0 || i >= h_.Across(level) || j >= h_.Down(level)) return false;
    return split_[level][static_cast<size_t>(j) * h_.Across(level) + i] != 0;
  }

  const QuadErrorHierarchy& Hierarchy() const { return h_; }

 private:
  template <class Wanted>
  void SplitWhere(Wanted wanted, const std::function<void()>& poll) {
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

template <class Builder>
void EmitLeaves(const data& grid, const QuadCut& cut, const mesh::Settings& s, Builder& out) {
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

}  // namespace mesh
