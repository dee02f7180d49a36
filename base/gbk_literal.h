#pragma once
// The program's own texts (captions, messages, log lines) are written in the source as UTF-8
// literals and held at run time as CP936 bytes, like every other text of the program:
//   static const std::string kDone = base::Gbk("解析完成");
// Write only characters that code page 936 has.
#include <string>
#include <string_view>

#include "base/codepage.h"

namespace base {

inline std::string Gbk(std::string_view utf8) { return Utf8ToCp936(utf8); }

}  // namespace base
