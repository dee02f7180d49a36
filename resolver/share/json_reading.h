#pragma once
// Reading the service's JSON replies: the errno member and the entry records.
#include <cstdint>
#include <string>
#include <vector>

#include "resolver/share/share_records.h"

namespace json {
class JsonDocument;
}

namespace share {

// The low 32 bits of the reply's "errno" (a missing member reads as 0, success).
int32_t ReplyErrno(json::JsonDocument& doc);

// The entry whose members are prefix + "fs_id", prefix + "server_filename", ... (prefix ends
// in "."). A missing member reads as 0 or empty.
FileEntry ReadFileEntry(json::JsonDocument& doc, const std::string& prefix);

// Appends the entries of the array at path ("list" of a listing reply) to files in order.
void ReadEntries(json::JsonDocument& doc, const std::string& path, std::vector<FileEntry>& files);

}  // namespace share
