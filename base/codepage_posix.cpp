// Host implementation of the code page conversions, for the native (sanitizer) build.
// UTF-8 is coded here; code page 936 goes through glibc's iconv one character at a time, so
// that an invalid sequence costs one U+FFFD and never the rest of the text.
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <mutex>

#include "base/codepage.h"

namespace base {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, uint32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(cp));
  }
}

std::u16string DecodeUtf8(std::string_view in) {
  std::u16string out;
  out.reserve(in.size());
  size_t i = 0;
  while (i < in.size()) {
    const auto b = static_cast<unsigned char>(in[i]);
    if (b < 0x80) { out.push_back(b); ++i; continue; }
    size_t need = 0;
    uint32_t cp = 0, min = 0;
    if (b >= 0xC2 && b <= 0xDF) { need = 1; cp = b & 0x1F; min = 0x80; }
    else if (b >= 0xE0 && b <= 0xEF) { need = 2; cp = b & 0x0F; min = 0x800; }
    else if (b >= 0xF0 && b <= 0xF4) { need = 3; cp = b & 0x07; min = 0x10000; }
    else { out.push_back(kReplacement); ++i; continue; }
    size_t k = 1;
    for (; k <= need && i + k < in.size(); ++k) {
      const auto t = static_cast<unsigned char>(in[i + k]);
      if ((t & 0xC0) != 0x80) break;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (k <= need || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(kReplacement);  // one replacement for the bad lead, the rest rescanned
      ++i;
      continue;
    }
    AppendUtf16(out, cp);
    i += need + 1;
  }
  return out;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Reads one code point from UTF-16 at i; an unpaired surrogate reads as 0xFFFFFFFF.
uint32_t NextCodePoint(std::u16string_view in, size_t& i) {
  const uint32_t u = in[i++];
  if (u >= 0xD800 && u <= 0xDBFF && i < in.size() && in[i] >= 0xDC00 && in[i] <= 0xDFFF) {
    return 0x10000 + ((u - 0xD800) << 10) + (in[i++] - 0xDC00);
  }
  if (u >= 0xD800 && u <= 0xDFFF) return 0xFFFFFFFF;
  return u;
}

std::string EncodeUtf8(std::u16string_view in) {
  std::string out;
  out.reserve(in.size() * 3);
  for (size_t i = 0; i < in.size();) {
    uint32_t cp = NextCodePoint(in, i);
    AppendUtf8(out, cp == 0xFFFFFFFF ? kReplacement : cp);
  }
  return out;
}

// iconv descriptors are not thread-safe: one pair, used under a lock.
struct GbkConverters {
  iconv_t decode = iconv_open("UTF-32LE", "CP936");
  iconv_t encode = iconv_open("CP936", "UTF-32LE");
  std::mutex lock;
};

GbkConverters& Gbk() {
  static GbkConverters converters;
  return converters;
}

// Converts one unit through cd; returns the number of output bytes, 0 when iconv refuses it.
size_t IconvOne(iconv_t cd, const char* in, size_t inLen, char* out, size_t outCap) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in);
  char* dst = out;
  size_t inLeft = inLen, outLeft = outCap;
  if (iconv(cd, &src, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return 0;
  return outCap - outLeft;
}

std::u16string DecodeGbk(std::string_view in) {
  std::u16string out;
  out.reserve(in.size());
  GbkConverters& g = Gbk();
  std::lock_guard<std::mutex> hold(g.lock);
  for (size_t i = 0; i < in.size();) {
    const auto b = static_cast<unsigned char>(in[i]);
    if (b < 0x80) { out.push_back(b); ++i; continue; }
    if (b == 0x80) { out.push_back(0x20AC); ++i; continue; }  // the euro sign of code page 936
    if (b == 0xFF || i + 1 >= in.size()) { out.push_back(kReplacement); ++i; continue; }
    uint32_t cp = 0;
    if (IconvOne(g.decode, in.data() + i, 2, reinterpret_cast<char*>(&cp), sizeof cp) == 4) {
      AppendUtf16(out, cp);
      i += 2;
    } else {
      out.push_back(kReplacement);
      ++i;
    }
  }
  return out;
}

std::string EncodeGbk(std::u16string_view in) {
  std::string out;
  out.reserve(in.size() * 2);
  GbkConverters& g = Gbk();
  std::lock_guard<std::mutex> hold(g.lock);
  for (size_t i = 0; i < in.size();) {
    uint32_t cp = NextCodePoint(in, i);
    if (cp < 0x80) { out.push_back(static_cast<char>(cp)); continue; }
    if (cp == 0x20AC) { out.push_back('\x80'); continue; }
    char bytes[8];
    size_t n = cp == 0xFFFFFFFF ? 0 : IconvOne(g.encode, reinterpret_cast<const char*>(&cp), 4, bytes, sizeof bytes);
    if (n == 2) out.append(bytes, 2);
    else out.push_back('?');
  }
  return out;
}

}  // namespace

std::u16string ToUtf16(std::string_view bytes, CodePage cp) {
  return cp == CodePage::kUtf8 ? DecodeUtf8(bytes) : DecodeGbk(bytes);
}

std::string FromUtf16(std::u16string_view text, CodePage cp) {
  return cp == CodePage::kUtf8 ? EncodeUtf8(text) : EncodeGbk(text);
}

}  // namespace base
