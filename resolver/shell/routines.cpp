#include "resolver/shell/routines.h"

#include <utility>

namespace shell {

bool Routines::ClaimClient() {
  bool expected = false;
  return clientInUse_.compare_exchange_strong(expected, true);
}

std::vector<RowTexts> Routines::FormatRows(const std::vector<share::FileEntry>& entries) const {
  std::vector<RowTexts> rows;
  rows.reserve(entries.size());
  for (const auto& e : entries) rows.push_back(TextsOfRow(e, format_));
  return rows;
}

void Routines::AddRows(const std::vector<RowTexts>& rows) { view_.AddRows(rows.data(), rows.size()); }

void Routines::ReplaceFileList(std::vector<share::FileEntry> entries) {
  program_.fileList = std::move(entries);
}

}  // namespace shell
