// What the shading passes share: the heights as the shading takes them, and running a
// pass's independent steps on the build threads while the caller may stop it.
#pragma once

#include "ParallelIndices.h"
#include "ReliefShade.h"

namespace relief {

// The heights of a ReliefGrid times the z factor, with its holes.
class Heights {
 public:
  explicit Heights(const ReliefGrid& g)
      : values_(g.grid->values), z_(g.z_factor), nodata_(g.grid->nodata),
        holes_(g.nodata_holes && g.grid->has_nodata), rows_(g.grid->rows), cols_(g.grid->cols) {}
  int rows() const { return rows_; }
  int cols() const { return cols_; }
  bool holes() const { return holes_; }
  bool IsHole(int r, int c) const { return holes_ && values_[r][c] == nodata_; }
  bool IsHoleValue(int v) const { return holes_ && v == nodata_; }
  int Raw(int r, int c) const { return values_[r][c]; }
  const int* Row(int r) const { return values_[r]; }
  double At(int r, int c) const { return values_[r][c] * z_; }
  double z_factor() const { return z_; }

 private:
  int* const* values_;
  double z_;
  int nodata_;
  bool holes_;
  int rows_, cols_;
};

// Calls step(i) for i in [0, count) on the threads `g` allows, asking `stop` before each
// step on the calling thread; false when it answered true.
template <class Step>
bool RunSteps(int count, const ReliefGrid& g, const Stop& stop, Step step) {
  struct Stopped {};
  const int threads = g.threads > 0 ? g.threads : mesh::BuildThreads(static_cast<long long>(g.grid->rows) * g.grid->cols);
  try {
    mesh::ForEachIndex(count, threads, [&] { if (stop && stop()) throw Stopped{}; }, step);
  } catch (const Stopped&) {
    return false;
  }
  return true;
}

}  // namespace relief
