#pragma once
// A generated share listing as the service sends it: {"errno":0,"list":[...],"request_id":..}
// with entries carrying the FileEntry fields, Chinese file names and fifteen-digit fs_ids.
// Deterministic: the same text on every run and in every build.
#include <cstdint>
#include <string>

namespace json_bench {

struct Listing {
  std::u16string utf16;
  std::string utf8;
  std::string cp936;
  int entries = 0;
};

Listing MakeListing(int entries);

}  // namespace json_bench
