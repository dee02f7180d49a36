#pragma once
// WriteValue: a tree back to JSON text.
//
// Compact: no blanks anywhere, not after a colon either. Pretty: CR LF after the opening
// brace of an Object and after every member, and before every member and the closing brace
// as many tabs as the depth (none at depth 0); Arrays never get line breaks or tabs:
//   {"a":1,"b":[1,2],"c":{"d":true}} pretty is
//   {CRLF TAB"a":1,CRLF TAB"b":[1,2],CRLF TAB"c":{CRLF TAB TAB"d":trueCRLF TAB}CRLF }
// Numbers come from the payload, never from the literal (a Real parsed from 1.50 is written
// 1.5); Reals as printf "%.13g" (two-digit minimum exponent), infinities and NaN as null.
// Raw values are written as their literal, unquoted. An Array or Object without its list or
// table (after a failed conversion) writes nothing.
//
// Writing is iterative: a tree of any depth is written without growing the call stack.
#include <cstddef>
#include <string>
#include <string_view>

#include "resolver/json/json_heap.h"

namespace json {

class JsonValue;

// A growable wide-text buffer. Appending n units to a full buffer grows it to
// 2 x capacity + 2 x n + 2 bytes; it never shrinks. If it cannot grow, the text being appended
// is dropped and writing goes on.
class TextBuilder {
 public:
  explicit TextBuilder(JsonHeap* heap = nullptr);
  ~TextBuilder();
  TextBuilder(const TextBuilder&) = delete;
  TextBuilder& operator=(const TextBuilder&) = delete;

  void Append(std::u16string_view text);
  void Append(char16_t unit);
  void AppendAnsi(std::string_view cp936);
  std::u16string_view View() const { return {buffer_ ? buffer_ : u"", length_}; }
  std::string ToAnsi() const;  // code page 936
  size_t CapacityBytes() const { return capacity_; }

 private:
  bool Reserve(size_t units);
  JsonHeap* heap_;
  char16_t* buffer_ = nullptr;
  size_t capacity_ = 0;  // bytes
  size_t length_ = 0;    // units
};

void WriteValue(const JsonValue* value, TextBuilder& out, bool pretty);

// A copy with a backslash before every backslash, double quote, apostrophe and slash, and
// backspace, tab, line feed, carriage return, form feed written as \b \t \n \r \f. Every other
// unit, other control characters and everything above ASCII included, is copied unchanged.
std::u16string EscapeText(std::u16string_view text);
void AppendEscaped(std::u16string_view text, TextBuilder& out);

}  // namespace json
