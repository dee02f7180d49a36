#include "tests/share/request_pattern.h"

#include <cctype>

namespace share::testing {
namespace {

bool AllDigits(const std::string& s) {
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// Checks one placeholder's value; "" when it has the form.
std::string CheckPlaceholder(const std::string& name, const std::string& value) {
  if (name == "T13") return value.size() == 13 && AllDigits(value) ? "" : "stamp " + value;
  if (name == "D16") return value.size() == 16 && AllDigits(value) ? "" : "digits " + value;
  if (name == "LOGID") {
    const std::string text = Base64Decode(value);
    const bool ok = value.size() % 4 == 0 && text.size() == 33 && text[13] == '.' &&
                    AllDigits(text.substr(0, 13)) && AllDigits(text.substr(14));
    return ok ? "" : "log id " + value + " (" + text + ")";
  }
  return "unknown placeholder " + name;
}

}  // namespace

std::string Base64Decode(const std::string& in) {
  static const std::string alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  unsigned buffer = 0;
  int bits = 0;
  for (char c : in) {
    if (c == '=') break;
    const size_t v = alphabet.find(c);
    if (v == std::string::npos) return {};
    buffer = (buffer << 6) | static_cast<unsigned>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<char>((buffer >> bits) & 0xFF));
    }
  }
  return out;
}

std::string PatternMismatch(const std::string& actual, const std::string& pattern) {
  size_t a = 0, p = 0;
  while (p < pattern.size()) {
    if (pattern[p] != '<') {
      if (a >= actual.size() || actual[a] != pattern[p]) {
        return "differs at byte " + std::to_string(a) + ": \"" + actual.substr(a) + "\" vs \"" +
               pattern.substr(p) + "\"";
      }
      ++a, ++p;
      continue;
    }
    const size_t close = pattern.find('>', p);
    const std::string name = pattern.substr(p + 1, close - p - 1);
    p = close + 1;
    // The value runs to the next literal byte of the pattern (or to the end).
    const size_t end = p < pattern.size() ? actual.find(pattern[p], a) : actual.size();
    if (end == std::string::npos) return "no end for <" + name + "> in " + actual.substr(a);
    if (std::string bad = CheckPlaceholder(name, actual.substr(a, end - a)); !bad.empty()) {
      return bad;
    }
    a = end;
  }
  return a == actual.size() ? "" : "extra bytes \"" + actual.substr(a) + "\"";
}

}  // namespace share::testing
