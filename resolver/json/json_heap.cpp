// The default heap: RegionHeap in the product build. Under AddressSanitizer every block comes
// straight from operator new instead, so that the sanitizer sees each one (use after free,
// leaks); RegionHeap's own tests use it directly.
#include "resolver/json/json_heap.h"

#include <cstring>
#include <new>

#include "resolver/json/region_heap.h"

#if defined(__SANITIZE_ADDRESS__)
#define QUILLON_JSON_PLAIN_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_JSON_PLAIN_HEAP 1
#endif
#endif

namespace json {
namespace {

class PlainHeap final : public JsonHeap {
 public:
  void* Allocate(size_t bytes) override {
    // Filled with a pattern, so that code relying on zeroed memory shows up in these builds.
    void* block = ::operator new(bytes == 0 ? 1 : bytes, std::nothrow);
    if (block) std::memset(block, 0xA5, bytes);
    return block;
  }
  void Free(void* block) override { ::operator delete(block); }
};

}  // namespace

JsonHeap* ProcessHeap() {
#ifdef QUILLON_JSON_PLAIN_HEAP
  static PlainHeap heap;
#else
  static RegionHeap heap;
#endif
  return &heap;
}

}  // namespace json
