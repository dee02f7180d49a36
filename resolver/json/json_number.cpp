// Number tokens: classification, reading and the literal forms of made numbers.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "resolver/json/json_parser.h"
#include "resolver/json/json_value.h"

namespace json {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Skips units of 32 or less and an optional sign; answers the index after them.
size_t SkipLeadAndSign(std::u16string_view t, bool& negative) {
  size_t i = 0;
  while (i < t.size() && t[i] <= 32) ++i;
  negative = false;
  if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
    negative = t[i] == u'-';
    ++i;
  }
  return i;
}

std::u16string Widen(const char* ascii) {
  std::u16string out;
  for (; *ascii; ++ascii) out.push_back(static_cast<char16_t>(*ascii));
  return out;
}

}  // namespace

bool IsNumber(std::u16string_view token) {
  if (token.empty()) return false;
  int points = 0, exponents = 0, signs = 0;
  for (size_t i = 0; i < token.size(); ++i) {
    const char16_t c = token[i];
    if (c <= 32 || IsDigit(c)) continue;
    if (c == u'.') ++points;
    else if (c == u'+' || c == u'-') ++signs;
    else if ((c == u'e' || c == u'E') && i > 0) ++exponents;
    else return false;
    if (points > 1 || signs > 1 || exponents > 1) return false;
  }
  return true;
}

int32_t Classify(std::u16string_view token) {
  if (token == u"null") return kNull;
  if (token == u"true" || token == u"false") return kBoolean;
  if (!IsNumber(token)) return kRaw;
  for (size_t i = 0; i < token.size(); ++i) {
    const char16_t c = token[i];
    if (c == u'.' || c == u'e' || c == u'E' || (i > 0 && (c == u'+' || c == u'-'))) return kReal;
  }
  return kInteger;
}

int64_t ParseInteger(std::u16string_view token) {
  bool negative = false;
  size_t i = SkipLeadAndSign(token, negative);
  constexpr uint64_t kLimit = uint64_t(1) << 63;  // |INT64_MIN|
  uint64_t magnitude = 0;
  for (; i < token.size() && IsDigit(token[i]); ++i) {
    const uint64_t digit = token[i] - u'0';
    magnitude = magnitude > (kLimit - digit) / 10 ? kLimit : magnitude * 10 + digit;
  }
  if (negative) return magnitude >= kLimit ? std::numeric_limits<int64_t>::min()
                                           : -static_cast<int64_t>(magnitude);
  return magnitude >= kLimit ? std::numeric_limits<int64_t>::max()
                             : static_cast<int64_t>(magnitude);
}

// The digits, point and exponent are copied into an ASCII number that from_chars rounds
// correctly; the sign is applied afterwards so that a zero mantissa keeps it (-0.0). Short
// tokens (all but freak ones) use a buffer on the stack.
double ParseReal(std::u16string_view token) {
  bool negative = false;
  size_t i = SkipLeadAndSign(token, negative);
  char small[128];
  std::string large;
  char* number = small;
  if (token.size() + 24 > sizeof small) {
    large.resize(token.size() + 24);
    number = &large[0];
  }
  size_t n = 0;
  bool digits = false;
  bool nonzero = false;
  for (; i < token.size() && IsDigit(token[i]); ++i, digits = true) {
    nonzero = nonzero || token[i] != u'0';
    number[n++] = char(token[i]);
  }
  if (i < token.size() && token[i] == u'.') {
    number[n++] = '.';
    for (++i; i < token.size() && IsDigit(token[i]); ++i, digits = true) {
      nonzero = nonzero || token[i] != u'0';
      number[n++] = char(token[i]);
    }
  }
  int64_t exponent = 0;
  if (i < token.size() && (token[i] == u'e' || token[i] == u'E')) {
    bool expNegative = false;
    ++i;
    if (i < token.size() && (token[i] == u'+' || token[i] == u'-')) expNegative = token[i++] == u'-';
    for (; i < token.size() && IsDigit(token[i]); ++i) {
      if (exponent < 1000000000) exponent = exponent * 10 + (token[i] - u'0');
    }
    if (expNegative) exponent = -exponent;
  }
  double value = 0.0;
  if (digits) {
    number[n++] = 'e';
    n = size_t(std::to_chars(number + n, number + n + 20, exponent).ptr - number);
    const auto r = std::from_chars(number, number + n, value);
    if (r.ec == std::errc::result_out_of_range) {
      value = (exponent > 0 && nonzero) ? std::numeric_limits<double>::infinity() : 0.0;
    }
  }
  return negative ? -value : value;
}

std::u16string FormatReal(double value) {
  if (std::isnan(value)) return u"nan";
  if (std::isinf(value)) return value < 0 ? u"-inf" : u"inf";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.13g", value);
  // Some C runtimes write three exponent digits (1e+020): keep at least two, as C99 does.
  if (char* e = std::strchr(buffer, 'e')) {
    char* digits = e + 2;
    while (digits[0] == '0' && std::strlen(digits) > 2) std::memmove(digits, digits + 1, std::strlen(digits));
  }
  return Widen(buffer);
}

std::u16string FormatInteger(int64_t value) {
  char buffer[32];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  *r.ptr = 0;
  return Widen(buffer);
}

}  // namespace json
