// Grid sampling and the release of quad lists.
#include "Brackenholmer.h"

Vertex Brackenholmer::CreateVertex(float x, float z) {
  // Positions at or past the last row or column land on it; there is no lower clamp.
  if (z >= input.rows) z = input.rows - 1;
  if (x >= input.cols) x = input.cols - 1;
  const int column = static_cast<int>(x);
  const int row = static_cast<int>(z);
  return Vertex{column, input.values[row][column], row};
}

// A node owns the chain behind it. The chain is unlinked and deleted in a loop, so a
// list of millions of quads needs no stack depth.
QuadList::~QuadList() {
  QuadList* node = next;
  next = nullptr;
  while (node != nullptr) {
    QuadList* after = node->next;
    node->next = nullptr;
    delete node;
    node = after;
  }
}
