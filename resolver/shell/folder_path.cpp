#include "resolver/shell/folder_path.h"

#include "base/text.h"

namespace shell {

std::string ParentFolder(std::string_view path) {
  const int slash = base::FindLast(path, "/");  // 1-based, -1 when none
  if (slash <= 1) return {};
  return std::string(path.substr(0, static_cast<size_t>(slash) - 1));
}

}  // namespace shell
