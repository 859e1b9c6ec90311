// The node pool behind TriangleList's new and delete, and releasing a list.
#include "TriangleList.h"

#include <sys/mman.h>

#include <new>
#include <vector>

#ifndef SANITIZED_BUILD
namespace {

// Nodes are cut from blocks in address order, so a freshly built list lies in memory in
// list order and walking or releasing it runs at memory speed. Released nodes are reused
// first; once every node is back, the blocks are cut again from the first one, and
// blocks a build did not reach are returned to the system after it.
class NodePool {
 public:
  void* Allocate() {
    if (free_ != nullptr) {
      ++live_;
      FreeNode* node = free_;
      free_ = node->next;
      return node;
    }
    if (offset_ == kNodesPerBlock || blocks_.empty()) NextBlock();
    ++live_;
    return blocks_[block_] + kNodeSize * offset_++;
  }

  void Release(void* p) {
    if (--live_ == 0) {
      free_ = nullptr;
      block_ = 0;
      offset_ = 0;
      return;
    }
    FreeNode* node = static_cast<FreeNode*>(p);
    node->next = free_;
    free_ = node;
  }

  void Trim() {
    const size_t keep = blocks_.empty() ? 0 : block_ + 1;
    while (blocks_.size() > keep) {
      munmap(blocks_.back(), kBlockBytes);
      blocks_.pop_back();
    }
  }

 private:
  struct FreeNode {
    FreeNode* next;
  };
  static constexpr size_t kNodeSize = sizeof(TriangleList);
  static constexpr size_t kNodesPerBlock = 1 << 15;
  static constexpr size_t kBlockBytes = kNodeSize * kNodesPerBlock;

  // Moves on to the next block, mapping it when needed. When memory runs out it throws
  // and leaves the pool as it was, so the nodes handed out can still be released.
  void NextBlock() {
    const size_t next = blocks_.empty() ? 0 : block_ + 1;
    if (next == blocks_.size()) {
      void* block = mmap(nullptr, kBlockBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (block == MAP_FAILED) throw std::bad_alloc();
      try {
        blocks_.push_back(static_cast<char*>(block));
      } catch (const std::bad_alloc&) {
        munmap(block, kBlockBytes);
        throw;
      }
    }
    block_ = next;
    offset_ = 0;
  }

  std::vector<char*> blocks_;
  size_t block_ = 0;   // the block being cut
  size_t offset_ = 0;  // nodes cut from it so far
  // Released nodes awaiting reuse, linked through their own memory so that the pool needs
  // no room beyond the nodes; dropped once every node is back.
  FreeNode* free_ = nullptr;
  long long live_ = 0;
};

NodePool& Pool() {
  static NodePool* pool = new NodePool;  // never destroyed: lists may outlive statics
  return *pool;
}

}  // namespace

// Nothing derives from TriangleList, so every request is one node.
void* TriangleList::operator new(std::size_t) { return Pool().Allocate(); }
void TriangleList::operator delete(void* node) noexcept {
  if (node != nullptr) Pool().Release(node);
}
#else
// Plain heap nodes, so that the sanitizer sees every node's life.
void* TriangleList::operator new(std::size_t size) { return ::operator new(size); }
void TriangleList::operator delete(void* node) noexcept { ::operator delete(node); }
#endif

namespace mesh {

void TrimNodePool() {
#ifndef SANITIZED_BUILD
  Pool().Trim();
#endif
}

void ReleaseTriangleList(TriangleList*& head) {
  while (head != nullptr) {
    TriangleList* doomed = head;
    // Pool nodes of one build lie in list order: fetch ahead of the pointer chase.
    __builtin_prefetch(reinterpret_cast<const char*>(doomed) + 8 * sizeof(TriangleList));
    head = head->next;
    delete doomed;
  }
}

}  // namespace mesh
