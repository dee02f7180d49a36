#pragma once
// A heap for tests: counts the blocks it hands out and still holds, and fails the allocation
// with a chosen number (0-based) to show what happens when memory runs out.
#include <cstdlib>

#include "resolver/json/json_heap.h"

namespace json_test {

class TestHeap final : public json::JsonHeap {
 public:
  explicit TestHeap(long failAt = -1) : failAt_(failAt) {}
  void* Allocate(size_t bytes) override {
    if (allocations_++ == failAt_) return nullptr;
    ++live_;
    return std::calloc(1, bytes == 0 ? 1 : bytes);
  }
  void Free(void* block) override {
    if (!block) return;
    --live_;
    std::free(block);
  }
  // The allocation k places after the current one fails.
  void FailFromNow(long k) { failAt_ = allocations_ + k; }
  long Live() const { return live_; }
  long Allocations() const { return allocations_; }

 private:
  long failAt_;
  long allocations_ = 0;
  long live_ = 0;
};

}  // namespace json_test
