#include "resolver/shell/download_ids.h"

namespace shell {

std::string TickedIds(const std::vector<bool>& ticked, const std::vector<share::FileEntry>& files, bool zip) {
  std::string ids;
  for (size_t row = 0; row < ticked.size() && row < files.size(); ++row) {
    if (!ticked[row]) continue;
    const share::FileEntry& e = files[row];
    if (!zip && e.isdir == 1) continue;
    if (!ids.empty()) ids += ',';
    ids += std::to_string(e.fs_id);
  }
  return ids;
}

}  // namespace shell
