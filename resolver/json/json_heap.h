#pragma once
// The memory a JSON tree lives in. Every value records the heap it came from; what is made for
// a value (its children, texts, lists, tables) comes from that value's heap. A value made with
// no owner uses ProcessHeap(), the C++ allocator. Tests hand in heaps that fail on demand.
#include <cstddef>

namespace json {

class JsonHeap {
 public:
  virtual ~JsonHeap() = default;
  // A block of bytes (its contents are unspecified), or nullptr when memory runs out.
  virtual void* Allocate(size_t bytes) = 0;
  virtual void Free(void* block) = 0;
};

// The default heap: operator new (nothrow) / operator delete.
JsonHeap* ProcessHeap();

}  // namespace json
