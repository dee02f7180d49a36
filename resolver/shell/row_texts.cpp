#include "resolver/shell/row_texts.h"

#include "resolver/shell/routine_texts.h"

namespace shell {

RowTexts TextsOfRow(const share::FileEntry& entry, const RowFormat& format) {
  RowTexts row;
  row.name = entry.server_filename;
  row.size = entry.isdir == 1 ? texts::Folder() : format.size(entry.size);
  row.time = format.time(std::to_string(entry.server_mtime));
  return row;
}

}  // namespace shell
