#include "resolver/json/member_index.h"

#include <cstring>

#include "resolver/json/json_value.h"

namespace json {
namespace {

// Differs between runs (the address of a static moves with the program's load address), so
// colliding keys cannot be prepared in advance.
const uint64_t kSeed = reinterpret_cast<uintptr_t>(&kSeed) * 0x9E3779B97F4A7C15ull;

uint64_t Mix(uint64_t x) {
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

}  // namespace

uint64_t MemberIndex::StrongHash(std::u16string_view key) {
  uint64_t h = kSeed ^ key.size();
  for (char16_t unit : key) h = Mix(h ^ unit);
  return h;
}

MemberIndex::~MemberIndex() { heap_->Free(slots_); }

JsonValue* MemberIndex::Find(std::u16string_view key, uint64_t strong, size_t* slot) const {
  if (!capacity_) return nullptr;
  for (size_t i = strong & (capacity_ - 1);; i = (i + 1) & (capacity_ - 1)) {
    const Slot& s = slots_[i];
    if (!s.member) return nullptr;
    if (s.member != Tomb() && s.strong == strong && s.member->Key() == key) {
      if (slot) *slot = i;
      return s.member;
    }
  }
}

bool MemberIndex::Grow() {
  size_t live = 0;
  for (size_t i = 0; i < capacity_; ++i) live += slots_[i].member && slots_[i].member != Tomb();
  size_t capacity = 64;
  while (capacity < 4 * (live + 1)) capacity *= 2;
  auto* slots = static_cast<Slot*>(heap_->Allocate(capacity * sizeof(Slot)));
  if (!slots) return false;
  std::memset(slots, 0, capacity * sizeof(Slot));
  for (size_t i = 0; i < capacity_; ++i) {
    const Slot& s = slots_[i];
    if (!s.member || s.member == Tomb()) continue;
    size_t k = s.strong & (capacity - 1);
    while (slots[k].member) k = (k + 1) & (capacity - 1);
    slots[k] = s;
  }
  heap_->Free(slots_);
  slots_ = slots;
  capacity_ = capacity;
  used_ = live;
  return true;
}

bool MemberIndex::Insert(JsonValue* member, uint64_t strong) {
  if (2 * (used_ + 1) > capacity_ && !Grow()) return false;
  size_t i = strong & (capacity_ - 1);
  while (slots_[i].member && slots_[i].member != Tomb()) i = (i + 1) & (capacity_ - 1);
  if (!slots_[i].member) ++used_;
  slots_[i] = {member, strong};
  return true;
}

void MemberIndex::Erase(std::u16string_view key) {
  size_t slot = 0;
  if (Find(key, StrongHash(key), &slot)) slots_[slot].member = Tomb();
}

}  // namespace json
