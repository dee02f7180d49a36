#pragma once
// Reading the share page: what kind of page the service answered, and the share data that the
// page hands to its script as the argument of "yunData.setData(".
#include <string>
#include <string_view>
#include <vector>

#include "resolver/share/share_records.h"

namespace share {

enum class PageKind {
  kEmpty,         // no reply, or an empty one
  kPageMissing,   // the page says "页面不存在"
  kLinkMissing,   // the page says "链接不存在"
  kAsksPassword,  // the page says "请输入提取密码"
  kShareData,     // anything else: the share page itself
};

// First match wins, in the order of the enum.
PageKind ClassifyPage(std::string_view body);

// The argument of the page's "yunData.setData(" call: the JSON object (or array) right after
// the marker, up to its matching closing bracket. Quoted texts (double or single quotes, with
// backslash escapes) are passed over, so a file name holding ");" or "}" does not end it.
// When no balanced value follows the marker, the text up to the next ");" after it. Empty
// when the marker is missing (or, without a balanced value, the ");").
std::string PageDataText(std::string_view body);

// Reads the share data text into info (uk, sign, shareid, timestamp, bdstoken literal, and
// app_id of the last entry) and appends the entries of file_list.list to files in the page's
// order. An empty text reads as a share without fields or entries. False when the text is no
// JSON (then info and files are unchanged).
bool ReadPageData(std::string_view data, ShareInfo& info, std::vector<FileEntry>& files);

}  // namespace share
