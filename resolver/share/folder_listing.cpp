// ListFolder: one folder of the resolved share, the service's first page of it.
#include "resolver/share/share_client.h"

#include "resolver/json/json_document.h"
#include "resolver/share/error_text.h"
#include "resolver/share/json_reading.h"
#include "resolver/share/messages.h"
#include "resolver/share/request_utils.h"

namespace share {

// The query asks for page 1 of at most 100 entries, by name descending, empty folders hidden:
// entries beyond the first 100 of a folder are never listed.
bool ShareClient::ListFolder(const std::string& dir, std::vector<FileEntry>& files,
                             std::string& message) {
  const std::string url =
      "http://" + hosts_.main + "/share/list?uk=" + std::to_string(info_.uk) +
      "&shareid=" + std::to_string(info_.shareid) +
      "&order=server_filename&desc=1&showempty=0&web=1&page=1" + "&num=100&dir=" +
      UrlEncodeUtf8(dir) + "&t=0." + RandomDigits(16) + "&bdstoken=" + info_.bdstoken +
      "&channel=chunlei&clienttype=0" + "&web=1&app_id=250528&logid=" + MakeLogId();
  const std::string reply = Get(url);
  if (reply.empty()) {  // no answer: not an empty folder
    message = messages::PageOpenFailed();
    return false;
  }
  json::JsonDocument doc;
  doc.ClearAt("");
  if (!doc.Parse(reply, true)) {
    message = messages::ListingJsonFailed();
    return false;
  }
  if (const int32_t errnum = ReplyErrno(doc); errnum != 0) {
    message = share::ErrorText(errnum);
    return false;
  }
  ReadEntries(doc, "list", files);
  return true;
}

}  // namespace share
