#pragma once
// Counted wide text allocated from a JsonHeap: the units, then a zero unit. The length is
// kept, so a text may hold zero units (a decoded "\u0000") without being cut there.
#include <cstddef>
#include <string_view>

#include "resolver/json/json_heap.h"

namespace json {

class HeapText {
 public:
  // A copy of text from heap, or nullptr when memory runs out.
  static HeapText* Make(JsonHeap* heap, std::u16string_view text);
  // A text of length units with unspecified contents (then the zero unit), or nullptr.
  static HeapText* MakeSized(JsonHeap* heap, size_t length);
  static void Free(JsonHeap* heap, HeapText* text);
  // Bytes a text of length units takes, and a copy of text built in memory of that size.
  static size_t BytesFor(size_t length) { return sizeof(HeapText) + (length + 1) * sizeof(char16_t); }
  static HeapText* Place(void* memory, std::u16string_view text);

  std::u16string_view View() const { return {Units(), length_}; }
  char16_t* Units() { return reinterpret_cast<char16_t*>(this + 1); }
  const char16_t* Units() const { return reinterpret_cast<const char16_t*>(this + 1); }
  size_t Length() const { return length_; }
  // Shortens the text (in-place decoding); the new length must not exceed the old one.
  void Shorten(size_t length);

 private:
  HeapText() = default;
  size_t length_;
};

inline std::u16string_view ViewOf(const HeapText* text) {
  return text ? text->View() : std::u16string_view();
}

}  // namespace json
