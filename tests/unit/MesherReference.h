// Test support for the meshers: a grid installed into `input` for the length of a test,
// and plain pass-by-pass meshers that copy every quad or triangle into a new list in
// each pass, to compare the real ones against.
#pragma once

#include <string>
#include <vector>

#include "Brackenholmer.h"

namespace mesher_test {

// A node of the reference quad mesher's lists; it owns its successors: deleting it
// releases the whole chain behind it.
struct QuadList {
  QuadList() : next(nullptr) {}
  ~QuadList();
  Quad q;
  QuadList* next;
};

// Installs a rows x cols grid (all `fill`) into `input` and meshes all of it with the
// plain meshers; the destructor leaves the viewer without a mesh and puts the old grid
// back. The other globals start each test from their start values (ViewerStartState.h).
class ScopedGrid {
 public:
  ScopedGrid(int rows, int cols, int fill = 0);
  ~ScopedGrid();
  ScopedGrid(const ScopedGrid&) = delete;
  ScopedGrid& operator=(const ScopedGrid&) = delete;

  int& at(int column, int row) { return input.values[row][column]; }
  // Sets terrain_size to max(rows, cols) and the borders to the whole grid.
  void UseWholeGrid();

 private:
  data saved_input_;
};

// One triangle as the tests see it: corners as (column, height, row), and the code.
struct Tri {
  Vertex a, b, c;
  int hypotenuse;
};
bool operator==(const Tri& l, const Tri& r);
std::string ToString(const Tri& t);
std::string ToString(const std::vector<Tri>& list);

// The current mesh of `Viewer`; with_hypotenuse false leaves the codes at 0.
std::vector<Tri> MeshOfViewer(bool with_hypotenuse);

// (column, row) corners and a code, heights taken from the grid: for exact expectations.
Tri At(int ax, int az, int bx, int bz, int cx, int cz, int hypotenuse = 0);

// The pass-by-pass meshers, reading the same globals as the real ones.
std::vector<Tri> ReferenceQuadMesh();
std::vector<Tri> ReferenceTriangleMesh();

}  // namespace mesher_test
