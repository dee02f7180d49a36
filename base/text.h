#pragma once
// CP936 byte text: the program's text is std::string holding code page 936 bytes.
//
// Positions are 1-based byte positions and a failed search yields -1. A byte of 0x80 or more
// starts a two-byte character: searches try a match only at character starts, so the second
// byte of a character never starts a match ("\xB0\xA1" does not contain "\xA1..." at 2).
// Case folding changes ASCII letters only; the bytes of two-byte characters are never folded.
#include <string>
#include <string_view>

namespace base {

inline bool IsLeadByte(unsigned char c) { return c >= 0x80; }

// Byte length of the character that starts at index i (0-based): 2 for a lead byte followed by
// another byte, else 1.
inline size_t CharLength(std::string_view text, size_t i) {
  return (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

enum class Case { kExact, kIgnoreAscii };

// First occurrence of part at a character start at or after the 1-based position start.
// An empty part is found at start when start lies within text (or right after its end).
int Find(std::string_view text, std::string_view part, int start = 1, Case c = Case::kExact);

// Last occurrence of part at a character start; -1 when none.
int FindLast(std::string_view text, std::string_view part, Case c = Case::kExact);

inline bool Contains(std::string_view text, std::string_view part, Case c = Case::kExact) {
  return Find(text, part, 1, c) != -1;
}

// Bytes from the 1-based position pos, at most count of them (count < 0: to the end).
// Positions outside the text give the empty text.
std::string Mid(std::string_view text, int pos, int count = -1);

std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

// ASCII space and the full-width space (A1 A1) removed from both ends / the start.
std::string TrimSpaces(std::string_view text);
std::string TrimLeadingSpaces(std::string_view text);

}  // namespace base
