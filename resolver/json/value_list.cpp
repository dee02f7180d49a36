#include "resolver/json/value_list.h"

#include <cstring>
#include <limits>
#include <new>

namespace json {

ValueList* ValueList::Place(void* memory, JsonHeap* heap) {
  auto* list = new (memory) ValueList();
  list->heap_ = heap;
  list->count_ = 0;
  list->capacity_ = kInitialCapacity;
  list->items_ = reinterpret_cast<JsonValue**>(list + 1);
  return list;
}

ValueList* ValueList::Make(JsonHeap* heap) {
  void* block = heap->Allocate(BytesInPlace());
  return block ? Place(block, heap) : nullptr;
}

void ValueList::Release() {
  if (!InlineItems()) heap_->Free(items_);
  items_ = reinterpret_cast<JsonValue**>(this + 1);
}

void ValueList::Free(ValueList* list) {
  if (!list) return;
  list->Release();
  list->heap_->Free(list);
}

bool ValueList::Grow() {
  if (capacity_ > (std::numeric_limits<int32_t>::max() - 1) / 2) return false;
  const int32_t capacity = 2 * capacity_ + 1;
  auto** items = static_cast<JsonValue**>(heap_->Allocate(size_t(capacity) * sizeof(JsonValue*)));
  if (!items) return false;
  std::memcpy(items, items_, size_t(count_) * sizeof(JsonValue*));
  if (!InlineItems()) heap_->Free(items_);
  items_ = items;
  capacity_ = capacity;
  return true;
}

bool ValueList::Insert(int32_t i, JsonValue* v) {
  if (i < 0 || i > count_) return false;
  if (count_ >= capacity_ && !Grow()) return false;
  std::memmove(items_ + i + 1, items_ + i, size_t(count_ - i) * sizeof(JsonValue*));
  items_[i] = v;
  ++count_;
  return true;
}

bool ValueList::RemoveAt(int32_t i) {
  if (i < 0 || i >= count_) return false;
  std::memmove(items_ + i, items_ + i + 1, size_t(count_ - i - 1) * sizeof(JsonValue*));
  items_[--count_] = nullptr;
  return true;
}

int32_t ValueList::IndexOf(const JsonValue* v) const {
  for (int32_t i = 0; i < count_; ++i) {
    if (items_[i] == v) return i;
  }
  return -1;
}

bool ValueList::Remove(const JsonValue* v) { return RemoveAt(IndexOf(v)); }

void ValueList::Empty() {
  std::memset(items_, 0, size_t(count_) * sizeof(JsonValue*));
  count_ = 0;
}

}  // namespace json
