#pragma once
// Reading a ZIP file's central directory, to check what a batch download holds.
#include <cstdint>
#include <string>
#include <vector>

namespace share::testing {

struct ZipMember {
  std::string name;  // as stored (UTF-8 when flags bit 11 is set)
  uint16_t flags = 0;
  uint16_t method = 0;  // 0 = stored
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t size = 0;
  uint32_t localOffset = 0;
  bool IsFolder() const { return !name.empty() && name.back() == '/'; }
};

// The members listed by the central directory; false with a reason when the bytes are no ZIP.
bool ReadZipDirectory(const std::vector<uint8_t>& zip, std::vector<ZipMember>& members,
                      std::string& error);

// The bytes of a stored member; false when they lie outside the file or are compressed.
bool StoredData(const std::vector<uint8_t>& zip, const ZipMember& member,
                std::vector<uint8_t>& data);

}  // namespace share::testing
