#pragma once
// MemberIndex: the lookup of a table whose bucket chains have grown long. MemberHash is a
// plain polynomial hash, so keys that all hash alike are easy to make ("Aa" and "BB", and
// every text built from them); with them every insertion would walk one chain of all the
// members before it, quadratic in the member count (about a second per MiB of reply). A table
// that meets a chain longer than kLongChain moves its lookups into this open-addressing index
// over a seeded 64-bit hash and stops using its chains. Normal data never gets there.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "resolver/json/json_heap.h"

namespace json {

class JsonValue;

class MemberIndex {
 public:
  static constexpr int kLongChain = 32;

  static uint64_t StrongHash(std::u16string_view key);

  explicit MemberIndex(JsonHeap* heap) : heap_(heap) {}
  ~MemberIndex();
  MemberIndex(const MemberIndex&) = delete;
  MemberIndex& operator=(const MemberIndex&) = delete;

  // The member under key, or nullptr; its slot number through slot when found.
  JsonValue* Find(std::u16string_view key, uint64_t strong, size_t* slot = nullptr) const;
  // Adds a member whose key is not in the index yet; false when memory runs out.
  bool Insert(JsonValue* member, uint64_t strong);
  void Replace(size_t slot, JsonValue* member) { slots_[slot].member = member; }
  void Erase(std::u16string_view key);

 private:
  struct Slot {
    JsonValue* member;  // nullptr: empty; Tomb(): erased
    uint64_t strong;
  };
  static JsonValue* Tomb() { return reinterpret_cast<JsonValue*>(uintptr_t(1)); }
  bool Grow();

  JsonHeap* heap_;
  Slot* slots_ = nullptr;
  size_t capacity_ = 0;  // a power of two
  size_t used_ = 0;      // members and tombstones
};

}  // namespace json
