#include "base/text.h"

namespace base {
namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares part with text at byte index i; with kIgnoreAscii, ASCII letters of single-byte
// characters are folded while the bytes of two-byte characters are compared exactly.
bool MatchesAt(std::string_view text, size_t i, std::string_view part, Case c) {
  if (text.size() - i < part.size()) return false;
  if (c == Case::kExact) return text.compare(i, part.size(), part) == 0;
  for (size_t k = 0; k < part.size();) {
    size_t len = CharLength(part, k);
    for (size_t j = 0; j < len; ++j) {
      char a = text[i + k + j], b = part[k + j];
      if (len == 1 ? FoldAscii(a) != FoldAscii(b) : a != b) return false;
    }
    k += len;
  }
  return true;
}

}  // namespace

int Find(std::string_view text, std::string_view part, int start, Case c) {
  if (start < 1) start = 1;
  size_t from = static_cast<size_t>(start - 1);
  if (from > text.size()) return -1;
  // Walk character starts from the beginning, so that `start` inside a two-byte character
  // moves on to the next character start.
  for (size_t i = 0; i <= text.size(); i += (i < text.size() ? CharLength(text, i) : 1)) {
    if (i >= from && MatchesAt(text, i, part, c)) return static_cast<int>(i + 1);
    if (i == text.size()) break;
  }
  return -1;
}

int FindLast(std::string_view text, std::string_view part, Case c) {
  int last = -1;
  for (size_t i = 0; i <= text.size(); i += (i < text.size() ? CharLength(text, i) : 1)) {
    if (MatchesAt(text, i, part, c)) last = static_cast<int>(i + 1);
    if (i == text.size()) break;
  }
  return last;
}

std::string Mid(std::string_view text, int pos, int count) {
  if (pos < 1 || static_cast<size_t>(pos) > text.size() || count == 0) return {};
  size_t from = static_cast<size_t>(pos - 1);
  size_t n = count < 0 ? std::string_view::npos : static_cast<size_t>(count);
  return std::string(text.substr(from, n));
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); i += CharLength(out, i)) {
    if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
  }
  return out;
}

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); i += CharLength(out, i)) {
    if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
  }
  return out;
}

namespace {
constexpr std::string_view kFullWidthSpace = "\xA1\xA1";

size_t LeadingSpaceBytes(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') ++i;
    else if (text.substr(i, 2) == kFullWidthSpace) i += 2;
    else break;
  }
  return i;
}
}  // namespace

std::string TrimLeadingSpaces(std::string_view text) {
  return std::string(text.substr(LeadingSpaceBytes(text)));
}

std::string TrimSpaces(std::string_view text) {
  text.remove_prefix(LeadingSpaceBytes(text));
  // Trailing: walk character starts so a full-width space is only taken as a whole character.
  size_t keep = 0;
  for (size_t i = 0; i < text.size();) {
    size_t len = CharLength(text, i);
    bool space = (len == 1 && text[i] == ' ') || (len == 2 && text.substr(i, 2) == kFullWidthSpace);
    i += len;
    if (!space) keep = i;
  }
  return std::string(text.substr(0, keep));
}

}  // namespace base
