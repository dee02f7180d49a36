#pragma once
// The three texts of a list row for one entry (CP936).
#include <cstdint>
#include <string>
#include <string_view>

#include "resolver/share/share_records.h"

namespace shell {

// How sizes and times are written: display::FormatSize / display::FormatTime in the program.
struct RowFormat {
  std::string (*size)(int64_t bytes);
  std::string (*time)(std::string_view decimalSeconds);
};

struct RowTexts {
  std::string name;  // server_filename
  std::string size;  // "文件夹" for a folder whatever its size field says, else the size
  std::string time;  // the formatted decimal server_mtime
};

RowTexts TextsOfRow(const share::FileEntry& entry, const RowFormat& format);

}  // namespace shell
