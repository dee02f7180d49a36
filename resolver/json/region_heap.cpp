#include "resolver/json/region_heap.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

namespace json {
namespace {

constexpr size_t kChunkBytes = 64 * 1024;
constexpr size_t kAlign = 8;

// A chunk: this header, then blocks, each preceded by a pointer to its chunk (nullptr for a
// block of its own from operator new). live counts the blocks not yet freed, plus one while
// the chunk is its thread's current one.
struct Chunk {
  std::atomic<long> live;
};
constexpr size_t kChunkHeader = (sizeof(Chunk) + kAlign - 1) / kAlign * kAlign;
constexpr size_t kBlockHeader = sizeof(Chunk*);

void Drop(Chunk* chunk, long count = 1) {
  if (chunk->live.fetch_sub(count, std::memory_order_acq_rel) == count) {
    chunk->~Chunk();
    ::operator delete(chunk);
  }
}

// Frees come in runs from one chunk (a tree goes in the order it was made): a thread counts
// a run itself and hands it to the chunk in one step when the run ends (at the next chunk, or
// at FlushFrees). A chunk's count thus stays high for a while, never drops early.
//
// The state is trivially destructible on purpose: thread-local destructors run too late on
// some runtimes (mingw's emulated TLS). A thread that ends without ReleaseThread leaves its
// current chunk, and a run it did not flush, behind: at most two chunks (128 KiB).
struct Current {
  Chunk* chunk;
  char* next;
  size_t left;
  Chunk* freeing;
  long freed;
  void Flush() {
    if (freeing) Drop(freeing, freed);
    freeing = nullptr;
    freed = 0;
  }
};

thread_local Current t_current;

bool NewChunk(Current& c) {
  void* memory = ::operator new(kChunkBytes, std::nothrow);
  if (!memory) return false;
  if (c.chunk) Drop(c.chunk);
  c.chunk = new (memory) Chunk{};
  c.chunk->live.store(1, std::memory_order_relaxed);
  c.next = static_cast<char*>(memory) + kChunkHeader;
  c.left = kChunkBytes - kChunkHeader;
  return true;
}

}  // namespace

void RegionHeap::FlushFrees() { t_current.Flush(); }

void RegionHeap::ReleaseThread() {
  Current& c = t_current;
  c.Flush();
  if (c.chunk) Drop(c.chunk);
  c.chunk = nullptr;
  c.next = nullptr;
  c.left = 0;
}

void* RegionHeap::Allocate(size_t bytes) {
  if (bytes > kMaxSmall) {
    if (bytes > SIZE_MAX - kBlockHeader) return nullptr;
    auto* block = static_cast<char*>(::operator new(kBlockHeader + bytes, std::nothrow));
    if (!block) return nullptr;
    std::memset(block, 0, kBlockHeader);
    return block + kBlockHeader;
  }
  const size_t need = kBlockHeader + (bytes + kAlign - 1) / kAlign * kAlign;
  Current& c = t_current;
  if (c.left < need && !NewChunk(c)) return nullptr;
  char* block = c.next;
  c.next += need;
  c.left -= need;
  c.chunk->live.fetch_add(1, std::memory_order_relaxed);
  std::memcpy(block, &c.chunk, sizeof c.chunk);
  return block + kBlockHeader;
}

void RegionHeap::Free(void* p) {
  if (!p) return;
  char* block = static_cast<char*>(p) - kBlockHeader;
  Chunk* chunk;
  std::memcpy(&chunk, block, sizeof chunk);
  if (!chunk) {
    ::operator delete(block);
    return;
  }
  Current& c = t_current;
  if (chunk != c.freeing) {
    c.Flush();
    c.freeing = chunk;
  }
  ++c.freed;
}

}  // namespace json
