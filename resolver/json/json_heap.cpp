#include "resolver/json/json_heap.h"

#include <cstring>
#include <new>

namespace json {
namespace {

class DefaultHeap final : public JsonHeap {
 public:
  void* Allocate(size_t bytes) override {
    void* block = ::operator new(bytes == 0 ? 1 : bytes, std::nothrow);
    if (block) std::memset(block, 0, bytes);
    return block;
  }
  void Free(void* block) override { ::operator delete(block); }
};

}  // namespace

JsonHeap* ProcessHeap() {
  static DefaultHeap heap;
  return &heap;
}

}  // namespace json
