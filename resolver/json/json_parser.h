#pragma once
// ParseInto: a single forward scan over wide text that reacts only to structural characters
// and cuts scalar tokens out of the text between them. Lenient by design, as the service's
// pages need: strings in double quotes or apostrophes, bare words kept as Raw values, blanks
// (CR, LF, tab, space) removed from bare tokens wherever they stand, text outside the
// containers passed over, and a second top-level container reusing the root
// ({'a':1}{'b':2} is one Object with both members).
//
// Examples: {'a': tr ue } -> a = Boolean true; {'v': abc} -> Raw abc; {'n': 1.50} -> Real 1.5
// with the literal 1.50; {'n': -} -> Integer 0 with the literal "-"; {'a' {'b':1}} puts the
// inner Object under a; [1,2,] -> -7.
//
// Choices beyond the basic rules:
//   - A trailing comma before a closing brace ({'a':1,}) is rejected with -7, as one before a
//     closing bracket is (it would otherwise replace the last member by an empty Raw value).
//   - Nesting deeper than kMaxDepth open containers answers -3.
//   - A value that cannot be made for lack of memory answers -3 (never a silently lost value).
//   - Integer tokens are read exactly within the signed 64-bit range and saturate beyond it
//     (to INT64_MAX / INT64_MIN); the literal keeps the whole token.
//   - A quoted value's token never reaches past the current position, whatever the scan
//     state (a string followed by a second colon, as in {'k':'abc':}).
//
// The root's references and place stay; only its content (and on a conversion its kind)
// change. After any failure the root is emptied with ClearContent.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace json {

class JsonValue;

enum ParseResult : int {
  kParseOk = 0,
  kParseStoreFailed = -1,      // putting a new value into its container failed
  kParseMissingInput = -2,     // no root or no text
  kParseNoMemory = -3,         // the stack or a new value could not be made; nesting too deep
  kParseNoMemberName = -4,     // a member of an Object has no name
  kParseNoContainer = -5,      // quote, colon, comma or value outside containers; unclosed
  kParseTrailingComma = -7,    // a blank element after a comma before a closing bracket/brace
  kParseColonInArray = -8,
};

constexpr int32_t kMaxDepth = 1000;

// Parses length units of text into root. A length of 0 answers 0 and leaves the root
// untouched. A zero unit inside is ordinary text, unless endAtZero: then the text ends at its
// first zero unit (as if length had been counted up to it; the handle's texts are read so).
int ParseInto(JsonValue* root, const char16_t* text, size_t length, bool decodeUnicodeEscapes,
              bool endAtZero = false);

// Decodes the escapes of a member name or string in place, left to right; returns the new
// length. \" \' \\ \/ \b \t \n \r \f become their characters; \uXXXX becomes the code unit
// 0xXXXX when decoding (a surrogate pair written as two escapes gives its two units); with
// decoding off its six characters stay as they are. With fewer than four characters left or
// a non-hexadecimal one among them, the backslash and the u stay and decoding goes on after
// them. Any other backslash pair stays as it is.
size_t UnescapeText(char16_t* text, size_t length, bool decodeUnicodeEscapes);

// Token classification, on a token without blanks. Exact and case-sensitive:
// "null" -> Null, "true"/"false" -> Boolean, IsNumber -> Real if it has a point, an e/E or a
// sign after the first position, else Integer; anything else Raw.
int32_t Classify(std::u16string_view token);
// Units of 32 or less are passed over; the first other unit must be a sign, a digit or a
// point; every later one a digit, a point, e/E or a sign, each of the three at most once in
// any order: 1-2, 1e5., a lone sign and a lone point are numbers; the empty token is not.
bool IsNumber(std::u16string_view token);
// Leading units of 32 or less, an optional sign, then digits up to the first non-digit;
// no digits give 0. Saturates beyond the signed 64-bit range.
int64_t ParseInteger(std::u16string_view token);
// Leading units of 32 or less, an optional sign, digits, an optional point and digits, an
// optional e/E with an optional sign and digits; anything after that is ignored (1-2 gives 1).
// The value is the correctly rounded double of that number; a minus sign gives -0.0 for a
// zero mantissa.
double ParseReal(std::u16string_view token);

}  // namespace json
