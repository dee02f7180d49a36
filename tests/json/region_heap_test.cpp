// RegionHeap, the product build's default heap (the sanitizer builds use operator new for
// trees, so this test is where AddressSanitizer watches the chunks: a chunk given back too
// early shows up as a use after free, one never given back as a leak).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "resolver/json/json_document.h"
#include "resolver/json/json_value.h"
#include "resolver/json/region_heap.h"

namespace json {
namespace {

struct Block {
  unsigned char* p;
  size_t size;
  unsigned char fill;
};

std::vector<Block> AllocateMany(RegionHeap& heap, size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<Block> blocks;
  for (size_t i = 0; i < n; ++i) {
    const size_t size = random() % 3 == 0 ? random() % 2000 : random() % 100;
    auto* p = static_cast<unsigned char*>(heap.Allocate(size));
    EXPECT_NE(p, nullptr);
    const auto fill = static_cast<unsigned char>(i);
    std::memset(p, fill, size);
    blocks.push_back({p, size, fill});
  }
  return blocks;
}

// Every block still holds what was written into it: no two blocks overlap.
void CheckAndFree(RegionHeap& heap, std::vector<Block>& blocks, unsigned seed) {
  std::shuffle(blocks.begin(), blocks.end(), std::mt19937(seed));
  for (const Block& b : blocks) {
    for (size_t k = 0; k < b.size; ++k) ASSERT_EQ(b.p[k], b.fill);
    heap.Free(b.p);
  }
  RegionHeap::FlushFrees();
  blocks.clear();
}

TEST(RegionHeap, BlocksAreDisjointAndGoBackInAnyOrder) {
  RegionHeap heap;
  for (unsigned round = 0; round < 3; ++round) {
    std::vector<Block> blocks = AllocateMany(heap, 20000, round);
    CheckAndFree(heap, blocks, round + 100);
  }
  heap.Free(nullptr);
  RegionHeap::ReleaseThread();
}

TEST(RegionHeap, BlocksMadeOnOneThreadAreFreedOnAnother) {
  RegionHeap heap;
  std::vector<Block> blocks;
  std::thread maker([&] {
    blocks = AllocateMany(heap, 5000, 7);
    RegionHeap::ReleaseThread();
  });
  maker.join();  // the maker's chunks outlive it
  CheckAndFree(heap, blocks, 8);
  std::thread freer([&] {
    std::vector<Block> mine = AllocateMany(heap, 5000, 9);
    blocks = mine;
    RegionHeap::ReleaseThread();
  });
  freer.join();
  std::thread other([&] {
    CheckAndFree(heap, blocks, 10);
    RegionHeap::ReleaseThread();
  });
  other.join();
  RegionHeap::ReleaseThread();
}

TEST(RegionHeap, CarriesAWholeDocument) {
  RegionHeap heap;
  JsonDocument doc;
  doc.SetRoot(JsonValue::CreateObject(&heap));
  doc.GetRoot()->Release();
  std::u16string text = u"{'list':[";
  for (int i = 0; i < 3000; ++i) text += u"{'fs_id':123456789012345,'name':'\u6587\u4ef6 x','n':1.5},";
  text += u"{}]}";
  ASSERT_TRUE(doc.ParseW(text));
  JsonDocument kept = doc.Node("list[1500]");  // outlives the rest of the tree
  doc.Reset();
  EXPECT_EQ(kept.GetInteger("fs_id"), 123456789012345);
  EXPECT_EQ(kept.GetStringW(u"name"), u"\u6587\u4ef6 x");
}

}  // namespace
}  // namespace json
