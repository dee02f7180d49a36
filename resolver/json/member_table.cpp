#include "resolver/json/member_table.h"

#include <cstring>
#include <limits>
#include <new>

#include "resolver/json/json_value.h"
#include "resolver/json/member_index.h"

namespace json {

int32_t MemberHash(std::u16string_view key) {
  uint32_t h = 0;
  for (char16_t unit : key) h = h * 31u + unit;
  h *= 31u;  // the terminating zero unit
  return static_cast<int32_t>(h);
}

constexpr size_t kInlineBucketBytes = MemberTable::kInitialBuckets * sizeof(JsonValue*);

MemberTable* MemberTable::Make(JsonHeap* heap) {
  void* block = heap->Allocate(sizeof(MemberTable) + kInlineBucketBytes + ValueList::BytesInPlace());
  if (!block) return nullptr;
  auto* table = new (block) MemberTable();
  table->heap_ = heap;
  table->bucketCount_ = kInitialBuckets;
  table->memberCount_ = 0;
  table->loadFactor_ = kLoadFactor;
  table->threshold_ = static_cast<int32_t>(kInitialBuckets * kLoadFactor);
  table->buckets_ = table->InlineBuckets();
  std::memset(table->buckets_, 0, kInlineBucketBytes);
  table->order_ = ValueList::Place(reinterpret_cast<char*>(table->buckets_) + kInlineBucketBytes, heap);
  return table;
}

void MemberTable::Free(MemberTable* table) {
  if (!table) return;
  table->Empty();
  JsonHeap* heap = table->heap_;
  if (table->buckets_ != table->InlineBuckets()) heap->Free(table->buckets_);
  table->order_->Release();
  heap->Free(table);
}

int32_t MemberTable::BucketOf(int32_t hash) const {
  return static_cast<int32_t>((static_cast<uint32_t>(hash) & 0x7FFFFFFFu) %
                              static_cast<uint32_t>(bucketCount_));
}

JsonValue* MemberTable::Find(std::u16string_view key) const { return Find(key, MemberHash(key)); }

JsonValue* MemberTable::Find(std::u16string_view key, int32_t hash) const {
  if (index_) return index_->Find(key, MemberIndex::StrongHash(key));
  for (JsonValue* m = buckets_[BucketOf(hash)]; m; m = m->next_) {
    if (m->keyHash_ == hash && ViewOf(m->key_) == key) return m;
  }
  return nullptr;
}

bool MemberTable::Rehash() {
  if (bucketCount_ > (std::numeric_limits<int32_t>::max() - 1) / 2) return true;  // keep chaining
  const int32_t count = 2 * bucketCount_ + 1;
  auto** buckets = static_cast<JsonValue**>(heap_->Allocate(size_t(count) * sizeof(JsonValue*)));
  if (!buckets) return false;
  std::memset(buckets, 0, size_t(count) * sizeof(JsonValue*));
  const int32_t oldCount = bucketCount_;
  JsonValue** old = buckets_;
  buckets_ = buckets;
  bucketCount_ = count;
  threshold_ = static_cast<int32_t>(static_cast<float>(count) * loadFactor_);
  for (int32_t b = 0; b < oldCount; ++b) {
    for (JsonValue* m = old[b]; m;) {
      JsonValue* next = m->next_;
      const int32_t nb = BucketOf(m->keyHash_);
      m->next_ = buckets_[nb];
      buckets_[nb] = m;
      m = next;
    }
  }
  if (old != InlineBuckets()) heap_->Free(old);
  return true;
}

// The child takes the old member's key text, hash and place in the order.
void MemberTable::TakePlace(JsonValue* old, JsonValue* child) {
  child->key_ = old->key_;
  child->keyHash_ = old->keyHash_;
  child->orderIndex_ = old->orderIndex_;
  order_->Set(old->orderIndex_, child);
  old->next_ = nullptr;
  old->key_ = nullptr;
}

bool MemberTable::Put(std::u16string_view key, JsonValue* child, JsonValue** replaced) {
  *replaced = nullptr;
  if (index_) return PutIndexed(key, child, replaced);
  const int32_t hash = MemberHash(key);
  int32_t b = BucketOf(hash);
  int steps = 0;
  for (JsonValue** link = &buckets_[b]; *link; link = &(*link)->next_, ++steps) {
    JsonValue* old = *link;
    if (old->keyHash_ != hash || ViewOf(old->key_) != key) continue;
    child->next_ = old->next_;
    *link = child;
    TakePlace(old, child);
    *replaced = old;
    return true;
  }
  if (steps > MemberIndex::kLongChain && BuildIndex()) return PutIndexed(key, child, replaced);
  HeapText* keyText = HeapText::Make(heap_, key);
  if (!keyText) return false;
  if (memberCount_ >= threshold_ && !Rehash()) {
    HeapText::Free(heap_, keyText);
    return false;
  }
  if (!order_->Append(child)) {
    HeapText::Free(heap_, keyText);
    return false;
  }
  b = BucketOf(hash);
  child->keyHash_ = hash;
  child->key_ = keyText;
  child->next_ = buckets_[b];
  child->orderIndex_ = order_->Count() - 1;
  buckets_[b] = child;
  ++memberCount_;
  return true;
}

bool MemberTable::Unlink(JsonValue* member) {
  if (index_) {
    if (Find(member->Key()) != member) return false;
    index_->Erase(member->Key());
    const int32_t at = member->orderIndex_;
    order_->RemoveAt(at);
    for (int32_t i = at; i < order_->Count(); ++i) order_->At(i)->orderIndex_ = i;
    --memberCount_;
    HeapText::Free(heap_, member->key_);
    member->key_ = nullptr;
    return true;
  }
  for (JsonValue** link = &buckets_[BucketOf(member->keyHash_)]; *link; link = &(*link)->next_) {
    if (*link != member) continue;
    *link = member->next_;
    const int32_t at = member->orderIndex_;
    order_->RemoveAt(at);
    for (int32_t i = at; i < order_->Count(); ++i) order_->At(i)->orderIndex_ = i;
    --memberCount_;
    HeapText::Free(heap_, member->key_);
    member->key_ = nullptr;
    member->next_ = nullptr;
    return true;
  }
  return false;
}

void MemberTable::Empty() {
  for (int32_t i = 0; i < order_->Count(); ++i) {
    JsonValue* m = order_->At(i);
    HeapText::Free(heap_, m->key_);
    m->key_ = nullptr;
    m->next_ = nullptr;
  }
  order_->Empty();
  std::memset(buckets_, 0, size_t(bucketCount_) * sizeof(JsonValue*));
  memberCount_ = 0;
  DropIndex();
}

void MemberTable::DropIndex() {
  if (!index_) return;
  index_->~MemberIndex();
  heap_->Free(index_);
  index_ = nullptr;
}

// Every member goes into a new index; the chains are dropped. On failure nothing changes.
bool MemberTable::BuildIndex() {
  void* block = heap_->Allocate(sizeof(MemberIndex));
  if (!block) return false;
  auto* index = new (block) MemberIndex(heap_);
  for (int32_t i = 0; i < order_->Count(); ++i) {
    JsonValue* m = order_->At(i);
    if (!index->Insert(m, MemberIndex::StrongHash(m->Key()))) {
      index->~MemberIndex();
      heap_->Free(block);
      return false;
    }
  }
  for (int32_t i = 0; i < order_->Count(); ++i) order_->At(i)->next_ = nullptr;
  std::memset(buckets_, 0, size_t(bucketCount_) * sizeof(JsonValue*));
  index_ = index;
  return true;
}

bool MemberTable::PutIndexed(std::u16string_view key, JsonValue* child, JsonValue** replaced) {
  const uint64_t strong = MemberIndex::StrongHash(key);
  size_t slot = 0;
  if (JsonValue* old = index_->Find(key, strong, &slot)) {
    TakePlace(old, child);
    child->next_ = nullptr;
    index_->Replace(slot, child);
    *replaced = old;
    return true;
  }
  HeapText* keyText = HeapText::Make(heap_, key);
  if (!keyText) return false;
  if (!order_->Append(child)) {
    HeapText::Free(heap_, keyText);
    return false;
  }
  child->key_ = keyText;  // the index reads the key
  if (!index_->Insert(child, strong)) {
    order_->RemoveAt(order_->Count() - 1);
    HeapText::Free(heap_, keyText);
    child->key_ = nullptr;
    return false;
  }
  child->keyHash_ = MemberHash(key);
  child->next_ = nullptr;
  child->orderIndex_ = order_->Count() - 1;
  ++memberCount_;
  return true;
}

}  // namespace json
