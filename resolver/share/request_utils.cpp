#include "resolver/share/request_utils.h"

#include <atomic>
#include <random>

#include "base/clock.h"
#include "base/codepage.h"
#include "base/text.h"
#include "resolver/share/base64.h"

namespace share {

bool Contains(std::string_view text, std::string_view part) {
  return base::Find(text, part) != -1;
}

std::string TextAfterLast(std::string_view text, std::string_view marker) {
  const int p = base::FindLast(text, marker);
  if (p == -1) return {};
  return base::Mid(text, p + static_cast<int>(marker.size()));
}

std::string TextBetween(std::string_view text, std::string_view begin, std::string_view end) {
  const int b = base::Find(text, begin);
  if (b == -1) return {};
  const int from = b + static_cast<int>(begin.size());
  const int e = base::Find(text, end, from);
  if (e == -1) return {};
  return base::Mid(text, from, e - from);
}

std::string RandomDigits(int32_t count) {
  static std::atomic<uint32_t> seedings{0};
  if (count == 0) count = 19;
  if (count < 0) return {};
  const uint64_t seed = base::TickCount() + seedings.fetch_add(1, std::memory_order_relaxed);
  std::mt19937 generator(static_cast<uint32_t>(seed ^ (seed >> 32)));
  std::uniform_int_distribution<int> digit(0, 9);
  std::string out(static_cast<size_t>(count), '0');
  for (char& c : out) c = static_cast<char>('0' + digit(generator));
  return out;
}

std::string Timestamp13() { return std::to_string(base::UnixMillisNow()); }

std::string MakeLogId() { return Base64Encode(Timestamp13() + "." + RandomDigits(19)); }

std::string UrlEncodeUtf8(std::string_view text) {
  const std::string utf8 = base::Cp936ToUtf8(text);
  if (utf8.empty()) return std::string(text);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(utf8.size() * 3);
  for (const char ch : utf8) {
    const auto b = static_cast<unsigned char>(ch);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) {
      out.push_back(ch);
    } else if (b == ' ') {
      out.push_back('+');
    } else {
      out.push_back('%');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 15]);
    }
  }
  return out;
}

}  // namespace share
