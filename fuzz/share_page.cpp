// Share pages as the service might send them: the page's kind, the argument of its data call
// and the share data read from it. Checks that the cut is a piece of the page and that a
// failed read leaves the records alone.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "resolver/share/share_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string page(reinterpret_cast<const char*>(data), size);
  share::ClassifyPage(page);
  const std::string text = share::PageDataText(page);
  if (page.find(text) == std::string::npos) std::abort();
  share::ShareInfo info;
  std::vector<share::FileEntry> files;
  if (!share::ReadPageData(text, info, files) && (!files.empty() || info.uk != 0)) std::abort();
  return 0;
}
