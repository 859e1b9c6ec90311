// The mesh as a singly linked list of triangles, one node each: the meshers' first output,
// kept as a reference for tests and benchmarks.
#pragma once

#include <cstddef>
#include <string>

#include "Mesh.h"
#include "TriangleSink.h"

struct TriangleList {
  TriangleList() : next(nullptr) {}
  // Nodes come from a pool of large blocks (TriangleList.cpp): a mesh of millions of nodes
  // is made, walked and released far faster than with one heap block per node.
  static void* operator new(std::size_t size);
  static void operator delete(void* node) noexcept;
  Triangle t;
  TriangleList* next;
};

namespace mesh {

// Deletes every node of the list, one after the other, and leaves `head` null.
void ReleaseTriangleList(TriangleList*& head);

// Returns the node blocks that the current lists do not reach to the system.
void TrimNodePool();

// Appends nodes at the tail of a triangle list under construction; Discard drops a partial
// list and Trim hands unused node blocks back.
class TriangleListBuilder : public TriangleSink {
 public:
  TriangleList* Head() const { return head_; }
  void Trim() override { TrimNodePool(); }
  // The sink a build is handed.
  TriangleSink& Sink() { return *this; }

 protected:
  void Take(const Triangle& t) override {
    TriangleList* node = new TriangleList;
    node->t = t;
    *tail_ = node;
    tail_ = &node->next;
  }
  void Drop() override {
    ReleaseTriangleList(head_);
    tail_ = &head_;
    TrimNodePool();
  }

 private:
  TriangleList* head_ = nullptr;
  TriangleList** tail_ = &head_;
};

}  // namespace mesh
