#include "tests/share/zip_directory.h"

#include <utility>

namespace share::testing {
namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kEntrySignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kEndSize = 22, kEntrySize = 46, kLocalSize = 30;

uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return U16(b, at) | static_cast<uint32_t>(U16(b, at + 2)) << 16;
}

// Offset of the end-of-directory record (searched backwards over a possible comment).
bool FindEnd(const std::vector<uint8_t>& zip, size_t& at) {
  if (zip.size() < kEndSize) return false;
  for (size_t i = zip.size() - kEndSize + 1; i-- > 0 && zip.size() - i <= kEndSize + 65535;) {
    if (U32(zip, i) == kEndSignature) {
      at = i;
      return true;
    }
  }
  return false;
}

bool Fail(std::string& error, std::string text) {
  error = std::move(text);
  return false;
}

}  // namespace

bool ReadZipDirectory(const std::vector<uint8_t>& zip, std::vector<ZipMember>& members,
                      std::string& error) {
  size_t end = 0;
  if (!FindEnd(zip, end)) return Fail(error, "no end-of-directory record");
  const uint32_t count = U16(zip, end + 10);
  size_t at = U32(zip, end + 16);
  for (uint32_t i = 0; i < count; ++i) {
    if (at + kEntrySize > zip.size() || U32(zip, at) != kEntrySignature) {
      return Fail(error, "bad directory entry " + std::to_string(i));
    }
    ZipMember m;
    m.flags = static_cast<uint16_t>(U16(zip, at + 8));
    m.method = static_cast<uint16_t>(U16(zip, at + 10));
    m.crc = U32(zip, at + 16);
    m.compressedSize = U32(zip, at + 20);
    m.size = U32(zip, at + 24);
    const size_t nameLength = U16(zip, at + 28);
    const size_t skip = nameLength + U16(zip, at + 30) + U16(zip, at + 32);
    m.localOffset = U32(zip, at + 42);
    if (at + kEntrySize + skip > zip.size()) return Fail(error, "entry runs past the end");
    m.name.assign(zip.begin() + static_cast<long>(at + kEntrySize),
                  zip.begin() + static_cast<long>(at + kEntrySize + nameLength));
    members.push_back(m);
    at += kEntrySize + skip;
  }
  return true;
}

bool StoredData(const std::vector<uint8_t>& zip, const ZipMember& member,
                std::vector<uint8_t>& data) {
  const size_t at = member.localOffset;
  if (member.method != 0 || at + kLocalSize > zip.size() || U32(zip, at) != kLocalSignature) {
    return false;
  }
  const size_t start = at + kLocalSize + U16(zip, at + 26) + U16(zip, at + 28);
  if (start + member.size > zip.size()) return false;
  data.assign(zip.begin() + static_cast<long>(start),
              zip.begin() + static_cast<long>(start + member.size));
  return true;
}

}  // namespace share::testing
