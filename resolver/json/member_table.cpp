#include "resolver/json/member_table.h"

#include <cstring>
#include <limits>
#include <new>

#include "resolver/json/json_value.h"

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

bool MemberTable::Put(std::u16string_view key, JsonValue* child, JsonValue** replaced) {
  *replaced = nullptr;
  const int32_t hash = MemberHash(key);
  int32_t b = BucketOf(hash);
  for (JsonValue** link = &buckets_[b]; *link; link = &(*link)->next_) {
    JsonValue* old = *link;
    if (old->keyHash_ != hash || ViewOf(old->key_) != key) continue;
    child->next_ = old->next_;
    child->key_ = old->key_;
    child->keyHash_ = hash;
    child->orderIndex_ = old->orderIndex_;
    order_->Set(old->orderIndex_, child);
    *link = child;
    old->next_ = nullptr;
    old->key_ = nullptr;
    *replaced = old;
    return true;
  }
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
}

}  // namespace json
