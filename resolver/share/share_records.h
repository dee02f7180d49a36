#pragma once
// Records of the share client. Texts are CP936 bytes; the names are the service's own.
#include <cstdint>
#include <string>

namespace share {

// One file or folder of a share listing.
struct FileEntry {
  int64_t fs_id = 0;          // file id in the service
  std::string app_id;         // application id of the entry
  std::string parent_path;    // folder that holds the entry
  int64_t server_mtime = 0;   // modification time, seconds since 1970-01-01 00:00 UTC
  std::string server_filename;  // name shown in the list
  int64_t size = 0;           // bytes; 0 for folders
  int32_t isdir = 0;          // 1 = folder, 0 = file
  std::string path;           // full path in the owner's drive; what ListFolder takes
};

// What is known of the current share.
struct ShareInfo {
  std::string url;        // share link as the user gave it
  std::string pwd;        // extraction password as the user gave it (may be empty)
  std::string vcode_str;  // token of the last captcha fetched
  int64_t uk = 0;         // share owner's user number
  std::string sign;       // share signature for the download API
  std::string app_id;     // application id of the last entry read from the page
  int64_t shareid = 0;    // share number
  std::string bdstoken;   // the page's bdstoken literal ("null" when the page gives null)
  int64_t timestamp = 0;  // page time stamp for the download API
};

}  // namespace share
