#pragma once
// The fs_id list that "解析选中项" asks links for.
#include <string>
#include <vector>

#include "resolver/share/share_records.h"

namespace shell {

// Decimal fs_ids of the ticked rows (row i shows files[i]), in row order, joined by ",".
// Without zip, folders are left out (the service gives single links for files only); with zip
// they are kept (the batch link packs them). A ticked row beyond files is skipped.
std::string TickedIds(const std::vector<bool>& ticked, const std::vector<share::FileEntry>& files, bool zip);

}  // namespace shell
