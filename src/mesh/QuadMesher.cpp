// Quad subdivision: the start square is split into four, pass after pass (every quad,
// or with simplification only quads whose diagonal strays from a straight line), and the
// final quads whose centre lies inside the border rectangle are cut into two triangles.
//
// The passes are made as one depth-first walk: a quad's verdict never changes within a
// build, so splitting each quad until it passes or the last pass is reached gives the
// quads in the order the passes would list them, without copying a list per pass.
#include <algorithm>
#include <cmath>

#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "MeshList.h"
#include "TriangleSink.h"
#include "Sampling.h"

namespace {

// A quad as its column and row spans; its corners are the grid points at the ends.
struct QuadSpan {
  int x0, z0, x1, z1;
};

// The diagonal test, in single precision throughout: deviations equal to the bound are
// common on real grids, and wider arithmetic would decide some of them otherwise.
bool DiagonalStrays(const data& grid, const Vertex& a, const Vertex& c, int bound) {
  const int s = c.x - a.x;
  if (s <= 1) return false;  // no sample below the far corner
  const float length = sqrtf(2.0f * static_cast<float>(s) * static_cast<float>(s));
  // The difference in 64 bits: heights at both ends of the int range would overflow.
  const float gradient = static_cast<float>(static_cast<long long>(c.y) - a.y) / length;
  for (int i = 1; i < s; i += 2) {
    const Vertex r = mesh::GridVertex(grid, a.x + i, a.z + i);
    const float approx_y = static_cast<float>(a.y) + gradient * 1.4142135f * static_cast<float>(i);
    if (fabsf(approx_y - static_cast<float>(r.y)) > static_cast<float>(bound)) return true;
  }
  return false;
}

bool Strays(const data& grid, const QuadSpan& q, int bound) {
  if (q.x1 - q.x0 <= 1) return false;
  return DiagonalStrays(grid, mesh::GridVertex(grid, q.x0, q.z0), mesh::GridVertex(grid, q.x1, q.z1), bound);
}

int Middle(int lo, int hi) { return lo + (hi - lo) / 2; }

// The border rectangle and the questions the mesher asks of it.
struct Borders {
  int x1, z1, x2, z2;

  bool HoldsCentre(const QuadSpan& q) const {
    const int mx = Middle(q.x0, q.x1);
    const int mz = Middle(q.z0, q.z1);
    return x1 <= mx && mx <= x2 && z1 <= mz && mz <= z2;
  }

  // Every centre of q or of a quad split from it lies in [lo, hi - 1] along a span
  // lo..hi (just lo for an empty span); quads that cannot reach the rectangle are skipped.
  bool MayHoldCentre(const QuadSpan& q) const {
    const int cx_hi = q.x1 > q.x0 ? q.x1 - 1 : q.x0;
    const int cz_hi = q.z1 > q.z0 ? q.z1 - 1 : q.z0;
    return q.x0 <= x2 && x1 <= cx_hi && q.z0 <= z2 && z1 <= cz_hi;
  }
};

// Children 1 to 4: the a, b, c and d corners of the quad.
template <class Emit>
void SplitQuad(const QuadSpan& q, Emit emit) {
  const int mx = Middle(q.x0, q.x1);
  const int mz = Middle(q.z0, q.z1);
  emit(QuadSpan{q.x0, q.z0, mx, mz});
  emit(QuadSpan{mx, q.z0, q.x1, mz});
  emit(QuadSpan{mx, mz, q.x1, q.z1});
  emit(QuadSpan{q.x0, mz, mx, q.z1});
}

// How many passes change an adaptive mesh at most: only quads two or more columns wide
// are split, and a split halves the width (the larger half rounded up).
int AdaptiveDepth(int width) {
  int depth = 0;
  while (width >= 2) {
    width = (width + 1) / 2;
    ++depth;
  }
  return depth;
}

}  // namespace

bool mesh::QuadStrays(const data& grid, const Quad& q, int bound) { return DiagonalStrays(grid, q.a, q.c, bound); }

template <class Builder>
int mesh::BuildQuadMesh(const data& grid, const Settings& s, Builder& out) {
  if (s.adaptive && s.strict) return mesh::BuildStrictQuadMesh(grid, s, out);
  const Vertex corner = mesh::GridVertex(grid, std::max(s.size, 0), std::max(s.size, 0));
  const QuadSpan start{0, 0, corner.x, corner.z};
  const Borders borders{s.border_1.x, s.border_1.z, s.border_2.x, s.border_2.z};
  const bool adaptive = s.adaptive;
  const int bound = s.bound;
  const int precision = std::max(s.precision, 0);

  // An empty rectangle, or one beside the grid, admits no quad at all.
  if (!borders.MayHoldCentre(start)) {
    out.Trim();
    return precision;
  }

  int level = precision;
  const int reach = adaptive ? std::min(precision, AdaptiveDepth(start.x1 - start.x0)) : precision;
  if (mesh::GrowthBound(4, reach) > s.budget) {
    // The count's scratch lists should not sit on top of the released mesh's blocks.
    out.Trim();
    auto judge = [&](const QuadSpan& q, int at) {
      out.Poll();
      if (!borders.MayHoldCentre(q)) return mesh::Verdict{0, false};
      return mesh::Verdict{borders.HoldsCentre(q) ? 2 : 0,
                           at < precision && (!adaptive || Strays(grid, q, bound))};
    };
    level = mesh::LastLevelWithinBudget(std::vector<QuadSpan>{start}, precision, reach, s.budget, 4,
                                        judge, [](const QuadSpan& q, auto emit) { SplitQuad(q, emit); });
  }

  struct Pending {
    QuadSpan q;
    int depth;
  };
  auto fill = [&](int last_level, Builder& list) {
    std::vector<Pending> stack;
    stack.push_back({start, 0});
    Triangle t{};
    while (!stack.empty()) {
      const Pending p = stack.back();
      stack.pop_back();
      const QuadSpan& q = p.q;
      if (!borders.MayHoldCentre(q)) continue;
      if (p.depth < last_level && (!adaptive || Strays(grid, q, bound))) {
        // Pushed in reverse so that child 1 comes out first.
        const int mx = Middle(q.x0, q.x1);
        const int mz = Middle(q.z0, q.z1);
        const int d = p.depth + 1;
        stack.push_back({{q.x0, mz, mx, q.z1}, d});
        stack.push_back({{mx, mz, q.x1, q.z1}, d});
        stack.push_back({{mx, q.z0, q.x1, mz}, d});
        stack.push_back({{q.x0, q.z0, mx, mz}, d});
        continue;
      }
      if (!borders.HoldsCentre(q)) continue;
      // Cut along the diagonal a-c; both halves keep the turning sense of a, b, c, d.
      const Vertex a = mesh::GridVertex(grid, q.x0, q.z0);
      const Vertex b = mesh::GridVertex(grid, q.x1, q.z0);
      const Vertex c = mesh::GridVertex(grid, q.x1, q.z1);
      const Vertex d = mesh::GridVertex(grid, q.x0, q.z1);
      t.a = a;
      t.b = b;
      t.c = c;
      list.Append(t);
      t.b = c;
      t.c = d;
      list.Append(t);
    }
  };
  return mesh::FillLastLevelThatFits(out, level, precision, fill);
}

template int mesh::BuildQuadMesh(const data&, const Settings&, mesh::TriangleSink&);
template int mesh::BuildQuadMesh(const data&, const Settings&, IndexedMeshBuilder&);
template int mesh::BuildQuadMesh(const data&, const Settings&, mesh::CountingBuilder&);
