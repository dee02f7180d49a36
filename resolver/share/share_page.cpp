#include "resolver/share/share_page.h"

#include "base/text.h"
#include "resolver/json/json_document.h"
#include "resolver/share/json_reading.h"
#include "resolver/share/messages.h"
#include "resolver/share/request_utils.h"

namespace share {
namespace {

constexpr std::string_view kDataMarker = "yunData.setData(";
constexpr std::string_view kDataEnd = ");";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Index just past the closing bracket that matches the one at open, or npos.
size_t BalancedEnd(std::string_view text, size_t open) {
  int depth = 0;
  char quote = 0;
  for (size_t i = open; i < text.size(); i += base::CharLength(text, i)) {
    if (base::CharLength(text, i) == 2) continue;  // never a bracket, quote or backslash
    const char c = text[i];
    if (quote != 0) {
      if (c == '\\' && i + 1 < text.size()) i += base::CharLength(text, i + 1);
      else if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '{' || c == '[') {
      ++depth;
    } else if ((c == '}' || c == ']') && --depth == 0) {
      return i + 1;
    }
  }
  return std::string_view::npos;
}

}  // namespace

PageKind ClassifyPage(std::string_view body) {
  if (body.empty()) return PageKind::kEmpty;
  if (Contains(body, markers::PageMissing())) return PageKind::kPageMissing;
  if (Contains(body, markers::LinkMissing())) return PageKind::kLinkMissing;
  if (Contains(body, markers::AsksPassword())) return PageKind::kAsksPassword;
  return PageKind::kShareData;
}

std::string PageDataText(std::string_view body) {
  const int marker = base::Find(body, kDataMarker);
  if (marker == -1) return {};
  size_t start = static_cast<size_t>(marker - 1) + kDataMarker.size();
  while (start < body.size() && IsBlank(body[start])) ++start;
  if (start < body.size() && (body[start] == '{' || body[start] == '[')) {
    const size_t end = BalancedEnd(body, start);
    if (end != std::string_view::npos) return std::string(body.substr(start, end - start));
  }
  return TextBetween(body, kDataMarker, kDataEnd);
}

bool ReadPageData(std::string_view data, ShareInfo& info, std::vector<FileEntry>& files) {
  json::JsonDocument doc;
  doc.ClearAt("");
  if (!doc.Parse(data, true)) return false;
  info.uk = doc.GetInteger("uk");
  info.sign = doc.GetString("sign");
  info.shareid = doc.GetInteger("shareid");
  info.timestamp = doc.GetInteger("timestamp");
  info.bdstoken = doc.GetLiteral("bdstoken");
  const int n = doc.Count("file_list.list");
  for (int i = 0; i < n; ++i) {
    const std::string prefix = "file_list.list[" + std::to_string(i) + "].";
    info.app_id = doc.GetString(prefix + "app_id");
    files.push_back(ReadFileEntry(doc, prefix));
  }
  return true;
}

}  // namespace share
