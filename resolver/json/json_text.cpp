#include "resolver/json/json_text.h"

#include <cstring>
#include <limits>
#include <new>

namespace json {

HeapText* HeapText::MakeSized(JsonHeap* heap, size_t length) {
  constexpr size_t kMaxUnits = (std::numeric_limits<size_t>::max() - sizeof(HeapText)) / 2 - 1;
  if (length > kMaxUnits) return nullptr;
  void* block = heap->Allocate(sizeof(HeapText) + (length + 1) * sizeof(char16_t));
  if (!block) return nullptr;
  auto* text = new (block) HeapText();
  text->length_ = length;
  text->Units()[length] = 0;
  return text;
}

HeapText* HeapText::Make(JsonHeap* heap, std::u16string_view source) {
  HeapText* text = MakeSized(heap, source.size());
  if (text && !source.empty()) std::memcpy(text->Units(), source.data(), source.size() * 2);
  return text;
}

HeapText* HeapText::Place(void* memory, std::u16string_view source) {
  auto* text = new (memory) HeapText();
  text->length_ = source.size();
  if (!source.empty()) std::memcpy(text->Units(), source.data(), source.size() * 2);
  text->Units()[source.size()] = 0;
  return text;
}

void HeapText::Free(JsonHeap* heap, HeapText* text) {
  if (text) heap->Free(text);
}

void HeapText::Shorten(size_t length) {
  if (length >= length_) return;
  length_ = length;
  Units()[length] = 0;
}

}  // namespace json
