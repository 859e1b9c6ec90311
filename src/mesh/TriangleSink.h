// A mesh build's triangles handed one at a time, in the order the passes list them, to a
// receiver of the caller's: for tools that want the triangles themselves rather than the
// drawn mesh's index arrays.
#pragma once

#include <string>

#include "Mesh.h"
#include "MeshList.h"
#include "ScreenView.h"

namespace mesh {

class TriangleSink {
 public:
  virtual ~TriangleSink() = default;
  void Append(const Triangle& t) {
    Take(t);
    ++count_;
  }
  void Bisected(const Vertex&, const Vertex&, const Vertex&) {}
  void Reserve(long long) {}
  long long Count() const { return count_; }
  // Drops what a build that ran out of memory had handed over.
  void Discard() {
    Drop();
    count_ = 0;
  }
  // Hands memory the receiver no longer needs back.
  virtual void Trim() {}
  void Poll() {}
  void StrictFellBack() {}
  void Screen(const ScreenResult&) {}
  // The build's limit line (empty when none): printed, as the triangles are the mesh.
  virtual void Report(const std::string& limit_line) { PrintLimitLine(limit_line); }

 protected:
  virtual void Take(const Triangle& t) = 0;
  virtual void Drop() = 0;

 private:
  long long count_ = 0;
};

}  // namespace mesh
