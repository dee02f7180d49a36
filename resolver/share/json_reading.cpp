#include "resolver/share/json_reading.h"

#include "resolver/json/json_document.h"

namespace share {

namespace {
int32_t Low32(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }
}  // namespace

int32_t ReplyErrno(json::JsonDocument& doc) { return Low32(doc.GetInteger("errno")); }

FileEntry ReadFileEntry(json::JsonDocument& doc, const std::string& prefix) {
  FileEntry entry;
  entry.fs_id = doc.GetInteger(prefix + "fs_id");
  entry.app_id = doc.GetString(prefix + "app_id");
  entry.server_filename = doc.GetString(prefix + "server_filename");
  entry.parent_path = doc.GetString(prefix + "parent_path");
  entry.server_mtime = doc.GetInteger(prefix + "server_mtime");
  entry.size = doc.GetInteger(prefix + "size");
  entry.isdir = Low32(doc.GetInteger(prefix + "isdir"));
  entry.path = doc.GetString(prefix + "path");
  return entry;
}

void ReadEntries(json::JsonDocument& doc, const std::string& path, std::vector<FileEntry>& files) {
  const int n = doc.Count(path);
  for (int i = 0; i < n; ++i) {
    files.push_back(ReadFileEntry(doc, path + "[" + std::to_string(i) + "]."));
  }
}

}  // namespace share
