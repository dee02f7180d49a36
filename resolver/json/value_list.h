#pragma once
// ValueList: a growable list of pointers from one heap. It holds the elements of an Array and
// the member order of an Object. It never counts references: whoever puts a value in decides
// about ownership. Capacity starts at 8 and grows to 2 x capacity + 1 (8, 17, 35, 71, ...)
// when an insertion finds it full; it never shrinks.
#include <cstdint>

#include "resolver/json/json_heap.h"

namespace json {

class JsonValue;

class ValueList {
 public:
  static constexpr int32_t kInitialCapacity = 8;

  // A new empty list, or nullptr when memory runs out. The first 8 items sit in the list's
  // own block.
  static ValueList* Make(JsonHeap* heap);
  static void Free(ValueList* list);
  // The same inside memory of BytesInPlace() bytes that belongs to someone else (a table);
  // Release frees only what the list allocated itself.
  static size_t BytesInPlace() { return sizeof(ValueList) + kInitialCapacity * sizeof(JsonValue*); }
  static ValueList* Place(void* memory, JsonHeap* heap);
  void Release();

  int32_t Count() const { return count_; }
  int32_t Capacity() const { return capacity_; }
  JsonValue* At(int32_t i) const { return items_[i]; }
  void Set(int32_t i, JsonValue* v) { items_[i] = v; }
  JsonValue* const* Items() const { return items_; }

  // Insertion at 0 <= i <= count moves the later items up; false for other indexes or when
  // the list cannot grow.
  bool Insert(int32_t i, JsonValue* v);
  bool Append(JsonValue* v) { return Insert(count_, v); }
  // Removal at 0 <= i < count moves the later items down and zeroes the vacated last slot.
  bool RemoveAt(int32_t i);
  // Removes the first entry that is v; false if there is none.
  bool Remove(const JsonValue* v);
  int32_t IndexOf(const JsonValue* v) const;
  void Empty();  // count 0, items zeroed, capacity kept

 private:
  ValueList() = default;
  bool Grow();
  bool InlineItems() const { return items_ == reinterpret_cast<JsonValue* const*>(this + 1); }

  JsonHeap* heap_;
  int32_t count_;
  JsonValue** items_;
  int32_t capacity_;
};

}  // namespace json
