// Helpers shared by the two meshers: grid sampling in integers, releasing a triangle
// list, and choosing how many passes fit into the triangle budget.
#pragma once

#include <cstdlib>
#include <vector>

#include "Mesh.h"
#include "TerrainLoader.h"

namespace mesh {

// CreateVertex for the whole-number, non-negative positions the meshers make: the same
// clamp to the last row and column, without the float round trip.
inline Vertex GridVertex(int x, int z) {
  if (z >= input.rows) z = input.rows - 1;
  if (x >= input.cols) x = input.cols - 1;
  return Vertex{x, input.values[z][x], z};
}

// Deletes every node of the list, one after the other, and leaves `head` null.
void ReleaseTriangleList(TriangleList*& head);

// Returns the node blocks that the current lists do not reach to the system.
void TrimNodePool();

// Appends nodes at the tail of a triangle list under construction.
class TriangleListBuilder {
 public:
  void Append(const Triangle& t) {
    TriangleList* node = new TriangleList;
    node->t = t;
    *tail_ = node;
    tail_ = &node->next;
    ++count_;
  }
  TriangleList* Head() const { return head_; }
  long long Count() const { return count_; }

 private:
  TriangleList* head_ = nullptr;
  TriangleList** tail_ = &head_;
  long long count_ = 0;
};

// The console line that says a build was cut short by the budget.
void ReportMeshLimit(long long triangles, int level, int precision);

// 2 * factor^passes, or a value above every budget once that no longer fits.
long long GrowthBound(int factor, int passes);

// What one piece of the mesh contributes at a given level: its triangles there, and
// whether it is split again in the next pass.
struct Verdict {
  int triangles;
  bool splits;
};

// The last level in 0..precision whose mesh holds no more than `budget` triangles, or
// `precision` itself when it fits. Walks level by level and keeps only the pieces that
// are still splitting, so the work stops soon after the budget is passed. Level 0 is
// taken even if it alone exceeds the budget.
//   judge(piece, level) -> Verdict; split(piece, emit) calls emit(child) per child.
template <class Piece, class Judge, class Split>
int LastLevelWithinBudget(const std::vector<Piece>& start, int precision, long long budget,
                          Judge judge, Split split) {
  if (precision <= 0) return 0;
  long long settled = 0;  // triangles of pieces that are no longer split
  long long count = 0;
  std::vector<Piece> splitting, next;
  for (const Piece& p : start) {
    const Verdict v = judge(p, 0);
    count += v.triangles;
    if (v.splits) splitting.push_back(p);
    else settled += v.triangles;
  }
  for (int level = 0; level < precision; ++level) {
    // Once no piece splits, every later level equals this one.
    if (splitting.empty()) return precision;
    count = settled;
    next.clear();
    bool over = false;
    for (const Piece& p : splitting) {
      split(p, [&](const Piece& child) {
        if (over) return;
        const Verdict v = judge(child, level + 1);
        count += v.triangles;
        if (v.splits) next.push_back(child);
        else settled += v.triangles;
        if (count > budget) over = true;
      });
      if (over) return level;
    }
    splitting.swap(next);
  }
  return precision;
}

}  // namespace mesh
