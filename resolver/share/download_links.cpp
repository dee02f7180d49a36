// GetCaptcha and GetDownloadLinks: direct download links of ticked files.
#include "resolver/share/share_client.h"

#include "resolver/json/json_document.h"
#include "resolver/share/error_text.h"
#include "resolver/share/json_reading.h"
#include "resolver/share/messages.h"
#include "resolver/share/request_utils.h"

namespace share {
namespace {

// The download form names the share (uk, primaryid), carries the password cookie's value as
// the sekey of a one-member JSON object (unescaped, unencoded: the service decodes the form
// and compares it with the decoded cookie), and the ids in brackets, the commas unencoded.
std::string DownloadForm(const ShareInfo& info, const std::string& sekey, const std::string& ids,
                         bool zip, const std::string& answer) {
  const std::string extra = "{\"sekey\":\"" + sekey + "\"}";
  std::string form = "encrypt=0&product=share&uk=" + std::to_string(info.uk) +
                     "&primaryid=" + std::to_string(info.shareid);
  if (answer.empty()) {
    form += "&vcode_input=&vcode_str=&extra=" + extra;
  } else {
    form += "&vcode_input=" + answer + "&vcode_str=" + info.vcode_str + "&extra=" + extra;
  }
  form += "&fid_list=%5B" + ids + "%5D";
  if (zip) form += "&type=batch";
  return form;
}

}  // namespace

bool ShareClient::GetCaptcha(http::Bytes& image, std::string& message) {
  const std::string url = "http://" + hosts_.main + "/api/getcaptcha?" + "prod=pan&web=1&t=0." +
                          RandomDigits(16) + "&bdstoken=null&channel=chunlei&clienttype=0" +
                          "&web=1&app_id=250528&logid=" + MakeLogId();
  const std::string reply = Get(url);
  if (reply.empty()) {  // no answer: there is no captcha to show
    message = messages::PageOpenFailed();
    return false;
  }
  json::JsonDocument doc;
  doc.ClearAt("");
  doc.Parse(reply, false);  // a reply that is no JSON reads as errno 0 with empty fields
  if (const int32_t errnum = ReplyErrno(doc); errnum != 0) {
    message = share::ErrorText(errnum);
    return false;
  }
  info_.vcode_str = doc.GetString("vcode_str");
  const std::string picture = doc.GetString("vcode_img");
  image.clear();
  if (!picture.empty()) {  // an empty address would only ask a host named ""
    http_.Open("GET", picture);
    http_.Send();
    image = http_.ReplyBytes();
  }
  return true;
}

bool ShareClient::GetDownloadLinks(const std::string& ids, bool zip, const std::string& answer,
                                   std::string& message) {
  const std::string url = "http://" + hosts_.download + "/api/sharedownload?sign=" + info_.sign +
                          "&timestamp=" + std::to_string(info_.timestamp) +
                          "&bdstoken=" + info_.bdstoken + "&channel=chunlei&clienttype=0&web=1" +
                          "&app_id=" + info_.app_id + "&logid=" + MakeLogId();
  const std::string form = DownloadForm(info_, http_.Cookie("BDCLND"), ids, zip, answer);
  http_.Open("POST", url);
  http_.SetReferer(pageUrl_);
  http_.Send(form);
  const std::string reply = http_.ReplyText();
  if (reply.empty()) {  // no answer: not a share without links
    message = messages::PageOpenFailed();
    return false;
  }
  json::JsonDocument doc;
  doc.ClearAt("");
  if (!doc.Parse(reply, false)) {
    message = messages::DownloadJsonFailed();
    return false;
  }
  if (const int32_t errnum = ReplyErrno(doc); errnum != 0) {
    message = share::ErrorText(errnum);
    return false;
  }
  message.clear();
  if (zip) {
    message = doc.GetString("dlink");
    return true;
  }
  const int n = doc.Count("list");
  for (int i = 0; i < n; ++i) {
    const std::string link = doc.GetString("list[" + std::to_string(i) + "].dlink");
    message += message.empty() ? link : "\r\n" + link;
  }
  return true;
}

}  // namespace share
