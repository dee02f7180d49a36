#include "resolver/http/cookie_jar.h"

#include <vector>

#include "base/text.h"

namespace http {
namespace {

using base::Case;
using base::Find;
using base::Mid;

constexpr std::string_view kSetCookie = "Set-Cookie:";

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool IsDeletion(std::string_view item) {
  return EndsWith(item, "=deleted;") || EndsWith(item, "=DELETED;") || EndsWith(item, "=Deleted;");
}

int Size(std::string_view text) { return static_cast<int>(text.size()); }

// The value of a header that starts at the 1-based position from: up to and including the
// first ";" of its line. A line without ";" gives its whole value with ";" added, so that a
// bare "Set-Cookie: a=1" never runs into the lines after it. *next is where searching goes on.
std::string ValueThroughSemicolon(std::string_view headers, int from, int* next) {
  int semi = Find(headers, ";", from);
  int eol = Find(headers, "\r\n", from);
  if (semi != -1 && (eol == -1 || semi < eol)) {
    *next = semi + 1;
    return Mid(headers, from, semi - from + 1);
  }
  int end = eol == -1 ? Size(headers) + 1 : eol;
  *next = end;
  return base::TrimSpaces(Mid(headers, from, end - from)) + ";";
}

// Calls take(item) for the first name=value item (leading spaces removed, ending in ";") of
// every Set-Cookie header line, in order.
template <typename Take>
void ForEachSetCookie(std::string_view headers, Take take) {
  int p = Find(headers, kSetCookie, 1, Case::kIgnoreAscii);
  while (p != -1) {
    int next = 0;
    std::string item = ValueThroughSemicolon(headers, p + Size(kSetCookie), &next);
    take(base::TrimLeadingSpaces(item));
    p = Find(headers, kSetCookie, next, Case::kIgnoreAscii);
  }
}

// Pieces of a ";"-separated text, leading spaces removed.
std::vector<std::string> SplitPieces(std::string_view text) {
  std::vector<std::string> pieces;
  int from = 1;
  while (from <= Size(text) + 1) {
    int semi = Find(text, ";", from);
    int end = semi == -1 ? Size(text) + 1 : semi;
    pieces.push_back(base::TrimLeadingSpaces(Mid(text, from, end - from)));
    if (semi == -1) break;
    from = semi + 1;
  }
  return pieces;
}

}  // namespace

void CookieJar::MergeReplyCookies(std::string_view replyHeaders, bool keepOnDelete) {
  ForEachSetCookie(replyHeaders, [&](const std::string& item) {
    int e = Find(item, "=");
    if (e == -1) return;
    std::string key = item.substr(0, static_cast<size_t>(e));
    bool deletion = IsDeletion(item);
    int j = Find(jar_, "; " + key);
    if (j == -1) {
      if (!deletion) jar_ += item + " ";
      return;
    }
    bool emptyValue = Size(item) == Size(key) + 1;
    if (keepOnDelete && (emptyValue || deletion)) return;
    int v = j + 2;  // the entry's name
    int t = Find(jar_, "; ", v + Size(key));
    if (t == -1) return;
    if (deletion) {
      jar_.erase(static_cast<size_t>(v - 2), static_cast<size_t>(t - v + 2));
    } else {
      jar_.replace(static_cast<size_t>(v - 1), static_cast<size_t>(t - v + 1), item);
    }
  });
}

std::string CookieJar::Pairs() const {
  return jar_.size() >= 4 ? jar_.substr(2, jar_.size() - 4) : std::string();
}

void CookieJar::Replace(std::string_view text) {
  std::string s(text);
  while (!s.empty() && s.back() == ' ' && !EndsWith(s, "; ")) s.pop_back();
  if (s.empty()) {
    Clear();
    return;
  }
  if (s.compare(0, 2, "; ") != 0) s = "; " + s;
  if (!EndsWith(s, "; ")) s += s.back() == ';' ? " " : "; ";
  jar_ = s;
}

std::string CookieJar::Cookie(std::string_view name, bool withName) const {
  if (name.empty()) return {};
  std::string key = "; " + std::string(name) + "=";
  int j = Find(jar_, key);
  if (j == -1) return {};
  int t = Find(jar_, ";", j + Size(key));
  if (t == -1) return {};
  int from = withName ? j + 2 : j + Size(key);
  return Mid(jar_, from, t - from);
}

bool CookieJar::AddCookies(std::string_view text) {
  bool done = false;
  for (const std::string& piece : SplitPieces(text)) {
    int e = Find(piece, "=");
    if (e == -1) continue;
    std::string key = "; " + piece.substr(0, static_cast<size_t>(e));
    int j = Find(jar_, key);
    if (j == -1) {
      jar_ += piece + "; ";
      done = true;
      continue;
    }
    int t = Find(jar_, "; ", j + Size(key));
    if (t == -1) continue;
    jar_.replace(static_cast<size_t>(j + 1), static_cast<size_t>(t - j - 2), piece);
    done = true;
  }
  return done;
}

bool CookieJar::RemoveCookies(std::string_view text) {
  bool done = false;
  for (const std::string& piece : SplitPieces(text)) {
    int e = Find(piece, "=");
    std::string name = e == -1 ? piece : piece.substr(0, static_cast<size_t>(e - 1));
    std::string key = "; " + name + "=";
    int j = Find(jar_, key);
    if (j == -1) continue;
    int t = Find(jar_, "; ", j + Size(key));
    if (t == -1) continue;
    jar_.erase(static_cast<size_t>(j - 1), static_cast<size_t>(t - j));
    done = true;
  }
  return done;
}

std::string CookieJar::ReplyCookies(std::string_view replyHeaders) {
  std::string result;
  ForEachSetCookie(replyHeaders, [&](const std::string& item) {
    if (!IsDeletion(item)) result += item + " ";
  });
  if (!result.empty()) result.resize(result.size() - 2);
  return result;
}

std::string CookieJar::ReplyCookie(std::string_view replyHeaders, std::string_view name) {
  std::string key = "Set-Cookie: " + std::string(name) + "=";
  int p = Find(replyHeaders, key, 1, Case::kIgnoreAscii);
  if (p == -1) {
    key = "Set-Cookie:" + std::string(name) + "=";
    p = Find(replyHeaders, key, 1, Case::kIgnoreAscii);
  }
  if (p == -1) return {};
  int next = 0;
  std::string value = ValueThroughSemicolon(replyHeaders, p + Size(key), &next);
  value.pop_back();
  return value;
}

}  // namespace http
