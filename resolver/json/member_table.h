#pragma once
// MemberTable: the storage of an Object. Members are chained through their own next links in
// buckets chosen by MemberHash; the order list keeps insertion order, and every walk over the
// members goes through it, never through the buckets. 11 buckets at creation, load factor
// 0.75 (threshold 8); a table whose member count has reached the threshold is rehashed before
// a new key goes in, to 2n + 1 buckets (11, 23, 47, 95, ...), each chain pushed bucket by
// bucket, from its head, onto the heads of the new chains.
//
// The key texts belong to the table; the table holds one reference per member but does not
// release them itself: the owning JsonValue does (see json_value.h).
#include <cstdint>
#include <string_view>

#include "resolver/json/json_heap.h"
#include "resolver/json/value_list.h"

namespace json {

class JsonValue;
class MemberIndex;

// h = h * 31 + unit (mod 2^32) over every unit and once more over the terminating zero unit,
// read as signed 32-bit: "a" -> 3007, "" -> 0.
int32_t MemberHash(std::u16string_view key);

class MemberTable {
 public:
  static constexpr int32_t kInitialBuckets = 11;
  static constexpr float kLoadFactor = 0.75f;

  static MemberTable* Make(JsonHeap* heap);  // nullptr when memory runs out
  // Frees the key texts still chained, the buckets, the order list and the table; the
  // members' links are cleared (they are no longer part of any table).
  static void Free(MemberTable* table);

  JsonValue* Find(std::u16string_view key) const;
  JsonValue* Find(std::u16string_view key, int32_t hash) const;
  // Puts child under key. An existing member of an equal key is replaced in place (chain
  // position, key text, hash, order position) and returned through replaced; otherwise the
  // child is chained and appended to the order (rehashing first when full). False when
  // memory runs out; then nothing changed.
  bool Put(std::u16string_view key, JsonValue* child, JsonValue** replaced);
  // Unlinks member from its chain and the order, frees its key text. False if it is not here.
  bool Unlink(JsonValue* member);
  // Clears every member's links and key text, empties the order list and every bucket; the
  // bucket count stays as it has grown.
  void Empty();

  // Leaves the indexed lookup (see member_index.h), back to empty chains.
  void DropIndex();
  bool Indexed() const { return index_ != nullptr; }

  int32_t MemberCount() const { return memberCount_; }
  int32_t BucketCount() const { return bucketCount_; }
  int32_t Threshold() const { return threshold_; }
  const ValueList& Order() const { return *order_; }

 private:
  friend class JsonValue;
  MemberTable() = default;
  bool Rehash();
  bool BuildIndex();
  bool PutIndexed(std::u16string_view key, JsonValue* child, JsonValue** replaced);
  void TakePlace(JsonValue* old, JsonValue* child);
  int32_t BucketOf(int32_t hash) const;
  // The first 11 buckets and the order list sit in the table's own block.
  JsonValue** InlineBuckets() { return reinterpret_cast<JsonValue**>(this + 1); }

  JsonHeap* heap_;
  JsonValue** buckets_;
  int32_t bucketCount_;
  int32_t memberCount_;
  int32_t threshold_;
  float loadFactor_;
  ValueList* order_;
  MemberIndex* index_ = nullptr;  // set once a chain has grown long; the chains are then unused
};

}  // namespace json
