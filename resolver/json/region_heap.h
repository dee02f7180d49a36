#pragma once
// RegionHeap: small blocks (up to kMaxSmall bytes) are cut one after the other from 64 KiB
// chunks, each chunk counting its live blocks; a chunk goes back to operator delete when its
// last block is freed and its thread has moved on to another chunk. Blocks are never reused
// one by one: a tree's blocks sit side by side in the order they were made (which is the
// order they are read in) and go back as whole chunks when the tree goes. A chunk held by a
// single long-lived block stays. Larger blocks come from operator new. Any thread may free
// any block.
#include <cstddef>

#include "resolver/json/json_heap.h"

namespace json {

class RegionHeap final : public JsonHeap {
 public:
  static constexpr size_t kMaxSmall = 512;
  void* Allocate(size_t bytes) override;
  void Free(void* block) override;
  // Hands the calling thread's counted run of frees to its chunk (see region_heap.cpp);
  // called when a tree has been freed.
  static void FlushFrees();
  // Gives up the calling thread's current chunk (it goes once its blocks are freed). A thread
  // that made JSON values calls it before it ends; otherwise up to 128 KiB stay behind.
  static void ReleaseThread();
};

}  // namespace json
