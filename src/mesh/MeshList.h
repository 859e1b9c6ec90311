// Helpers shared by the meshers: the limit line, and choosing how many passes fit into the
// triangle budget.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "Mesh.h"
#include "MeshBuild.h"

namespace mesh {

// The console line, if any (else empty), that says why a build stopped at `level` below
// `precision`: the budget (at `planned`) or the memory (-1: not even level 0 fitted).
// `strict`: the build keeps an error bound everywhere, which the limit raised.
std::string LimitLine(long long count, int level, int planned, int precision, bool strict = false);

// Prints a LimitLine on the console, flushed at once; nothing for an empty one.
void PrintLimitLine(const std::string& line);

// Raised by a builder whose build a newer request has made stale.
struct Superseded {};

// Counts a build's triangles and keeps none: times a mesher without the cost of its output.
class CountingBuilder {
 public:
  void Append(const Triangle&) { ++count_; }
  void Bisected(const Vertex&, const Vertex&, const Vertex&) {}
  long long Count() const { return count_; }
  void Discard() { count_ = 0; }
  void Trim() {}
  void Poll() {}
  void StrictFellBack() {}
  void Screen(const ScreenResult&) {}
  void Report(const std::string& limit_line) { PrintLimitLine(limit_line); }

 private:
  long long count_ = 0;
};

// The strict meshers' way out when the grid's error hierarchy does not fit into memory:
// the mesh of `s` with Strict Error off, built by `plain`, said on the console and marked
// in `out`.
template <class Builder, class Plain>
int FallBackFromStrict(const Settings& s, Builder& out, Plain plain) {
  printf("\tNot enough memory for Strict Error on this grid: fell back to the mesh with Strict Error off.\n\n");
  fflush(stdout);
  out.Trim();
  out.StrictFellBack();
  Settings loose = s;
  loose.strict = false;
  return plain(loose, out);
}

// Fills `out` with fill(level, out) at `planned`, the level the budget allows. When
// memory runs out, the part built is discarded and the levels below are tried in turn,
// so the viewer keeps the last whole level that fits instead of ending. Hands unused
// memory back, hands the limit line of a build that stopped below `precision` to
// out.Report and returns the level reached (-1 when none fitted).
template <class Builder, class Fill>
int FillLastLevelThatFits(Builder& out, int planned, int precision, Fill fill, bool strict = false) {
  int reached = -1;
  for (int level = planned; level >= 0; --level) {
    try {
      fill(level, out);
      reached = level;
      break;
    } catch (const std::bad_alloc&) {
      out.Discard();
    }
  }
  out.Trim();
  out.Report(LimitLine(out.Count(), reached, planned, precision, strict));
  return reached;
}

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
int CountLastLevelWithinBudget(const std::vector<Piece>& start, int precision, long long budget,
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

// As CountLastLevelWithinBudget; without the memory even to count, the largest level
// whose uniform mesh (`factor` children a piece, at most `reach` passes that change
// anything) fits the budget, which no adaptive mesh of that level exceeds.
template <class Piece, class Judge, class Split>
int LastLevelWithinBudget(const std::vector<Piece>& start, int precision, int reach, long long budget,
                          int factor, Judge judge, Split split) {
  try {
    return CountLastLevelWithinBudget(start, precision, budget, judge, split);
  } catch (const std::bad_alloc&) {
    int level = precision;
    while (level > 0 && GrowthBound(factor, level < reach ? level : reach) > budget) --level;
    return level;
  }
}

}  // namespace mesh
