#include "resolver/json/json_parser.h"

namespace json {
namespace {

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The unit of "\uXXXX" at text[i] (the backslash), or -1 when the four are not all there.
long UnicodeEscape(const char16_t* text, size_t length, size_t i) {
  if (length - i < 6) return -1;
  long unit = 0;
  for (size_t k = i + 2; k < i + 6; ++k) {
    const int h = HexValue(text[k]);
    if (h < 0) return -1;
    unit = unit * 16 + h;
  }
  return unit;
}

char16_t SimpleEscape(char16_t c) {
  switch (c) {
    case u'"': return u'"';
    case u'\'': return u'\'';
    case u'\\': return u'\\';
    case u'/': return u'/';
    case u'b': return 0x08;
    case u't': return 0x09;
    case u'n': return 0x0A;
    case u'r': return 0x0D;
    case u'f': return 0x0C;
    default: return 0;
  }
}

}  // namespace

size_t UnescapeText(char16_t* text, size_t length, bool decodeUnicodeEscapes) {
  size_t out = 0;
  while (out < length && text[out] != u'\\') ++out;  // the text before the first backslash stays
  for (size_t i = out; i < length;) {
    if (text[i] != u'\\' || i + 1 >= length) {
      text[out++] = text[i++];
      continue;
    }
    const char16_t next = text[i + 1];
    if (const char16_t plain = SimpleEscape(next)) {
      text[out++] = plain;
      i += 2;
      continue;
    }
    if (next == u'u' && !decodeUnicodeEscapes) {
      for (size_t end = i + 6 < length ? i + 6 : length; i < end;) text[out++] = text[i++];
      continue;
    }
    if (next == u'u') {
      const long unit = UnicodeEscape(text, length, i);
      if (unit >= 0) {
        text[out++] = static_cast<char16_t>(unit);
        i += 6;
        continue;
      }
    }
    text[out++] = text[i++];  // the pair stays: backslash now, the other one next round
    text[out++] = text[i++];
  }
  return out;
}

}  // namespace json
