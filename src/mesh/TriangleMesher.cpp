// Triangle subdivision: two right triangles cover the square, and pass after pass each
// triangle (or with simplification, each whose edge midpoint misses the grid) is
// bisected at the midpoint of its hypotenuse.
//
// As in the quad mesher the passes are made as one depth-first walk, first child before
// second: a triangle's verdict never changes within a build, so the walk lists the
// triangles in the order the passes would.
#include <algorithm>
#include <cstdlib>

#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "MeshList.h"
#include "TriangleSink.h"
#include "Sampling.h"

namespace {

struct Piece {
  Vertex a, b, c;
  int hypotenuse;
};

// Midpoints are rounded toward the first-named corner p, heights included.
Vertex Midpoint(const Vertex& p, const Vertex& q) {
  return Vertex{p.x + (q.x - p.x) / 2, static_cast<int>(p.y + (static_cast<long long>(q.y) - p.y) / 2),
                p.z + (q.z - p.z) / 2};
}

// True when the straight edge p-q misses the grid at its midpoint by more than the bound.
bool EdgeMisses(const data& grid, const Vertex& p, const Vertex& q, int bound) {
  const Vertex m = Midpoint(p, q);
  const Vertex g = mesh::GridVertex(grid, m.x, m.z);
  return std::llabs(static_cast<long long>(m.y) - g.y) > bound;
}

bool Misses(const data& grid, const Vertex& a, const Vertex& b, const Vertex& c, int hypotenuse, int bound) {
  switch (hypotenuse) {
    case 1:  // the hypotenuse a-b, then the leg c-a
      return EdgeMisses(grid, a, b, bound) || EdgeMisses(grid, a, c, bound);
    case 2:
      return EdgeMisses(grid, b, c, bound);
    default:
      return EdgeMisses(grid, a, c, bound);
  }
}

// The hypotenuse p-q of a triangle, named in the triangle's own turning sense, and the
// grid point m it is split at. Edge c-a is rounded toward a, like a-b.
struct Split {
  Vertex p, q, m;
};

Split SplitOf(const data& grid, const Piece& t) {
  switch (t.hypotenuse) {
    case 1: {
      const Vertex mid = Midpoint(t.a, t.b);
      return {t.a, t.b, mesh::GridVertex(grid, mid.x, mid.z)};
    }
    case 2: {
      const Vertex mid = Midpoint(t.b, t.c);
      return {t.b, t.c, mesh::GridVertex(grid, mid.x, mid.z)};
    }
    default: {
      const Vertex mid = Midpoint(t.a, t.c);
      return {t.c, t.a, mesh::GridVertex(grid, mid.x, mid.z)};
    }
  }
}

// Each child has its right angle at the split point and the leg of its parent as its
// hypotenuse.
template <class Emit>
void Bisect(const Piece& t, const Vertex& m, Emit emit) {
  switch (t.hypotenuse) {
    case 1:
      emit(Piece{t.a, m, t.c, 3});
      emit(Piece{m, t.b, t.c, 2});
      break;
    case 2:
      emit(Piece{t.a, t.b, m, 1});
      emit(Piece{t.a, m, t.c, 3});
      break;
    default:
      emit(Piece{t.a, t.b, m, 1});
      emit(Piece{m, t.b, t.c, 2});
      break;
  }
}

template <class Emit>
void Bisect(const data& grid, const Piece& t, Emit emit) {
  Bisect(t, SplitOf(grid, t).m, emit);
}

}  // namespace

bool mesh::TriangleMisses(const data& grid, const Triangle& t, int bound) {
  return Misses(grid, t.a, t.b, t.c, t.hypotenuse, bound);
}

template <class Builder>
int mesh::BuildTriangleMesh(const data& grid, const Settings& s, Builder& out) {
  if (s.adaptive && s.strict) return mesh::BuildStrictTriangleMesh(grid, s, out);
  const int size = std::max(s.size, 0);
  const Vertex origin = mesh::GridVertex(grid, 0, 0);
  const Vertex right = mesh::GridVertex(grid, size, 0);
  const Vertex far = mesh::GridVertex(grid, size, size);
  const Vertex left = mesh::GridVertex(grid, 0, size);
  const std::vector<Piece> start{{origin, right, far, 3}, {origin, far, left, 1}};

  const bool adaptive = s.adaptive;
  const int bound = s.bound;
  const int precision = std::max(s.precision, 0);
  const long long budget = s.budget;

  // A uniform mesh doubles with every pass; an adaptive one has to be counted.
  int level = precision;
  if (!adaptive) {
    while (level > 0 && mesh::GrowthBound(2, level) > budget) --level;
  } else if (mesh::GrowthBound(2, precision) > budget) {
    // The count's scratch lists should not sit on top of the released mesh's blocks.
    out.Trim();
    auto judge = [&](const Piece& t, int at) {
      out.Poll();
      return mesh::Verdict{1, at < precision && Misses(grid, t.a, t.b, t.c, t.hypotenuse, bound)};
    };
    level = mesh::LastLevelWithinBudget(start, precision, precision, budget, 2, judge,
                                        [&grid](const Piece& t, auto emit) { Bisect(grid, t, emit); });
  }

  struct Pending {
    Piece t;
    int depth;
  };
  auto fill = [&](int last_level, Builder& list) {
    std::vector<Pending> stack;
    stack.push_back({start[1], 0});
    stack.push_back({start[0], 0});
    Triangle out_triangle{};
    Pending children[2];
    while (!stack.empty()) {
      const Pending p = stack.back();
      stack.pop_back();
      const Piece& t = p.t;
      if (p.depth < last_level && (!adaptive || Misses(grid, t.a, t.b, t.c, t.hypotenuse, bound))) {
        // The drawn mesh closes the cracks that rounded split points leave between neighbours.
        const Split split = SplitOf(grid, t);
        list.Bisected(split.p, split.q, split.m);
        int n = 0;
        Bisect(t, split.m, [&](const Piece& child) { children[n++] = {child, p.depth + 1}; });
        stack.push_back(children[1]);
        stack.push_back(children[0]);
        continue;
      }
      out_triangle.a = t.a;
      out_triangle.b = t.b;
      out_triangle.c = t.c;
      out_triangle.hypotenuse = t.hypotenuse;
      list.Append(out_triangle);
    }
  };
  return mesh::FillLastLevelThatFits(out, level, precision, fill);
}

template int mesh::BuildTriangleMesh(const data&, const Settings&, mesh::TriangleSink&);
template int mesh::BuildTriangleMesh(const data&, const Settings&, IndexedMeshBuilder&);
