#pragma once
// ShareClient: the resolver's client of the drive's public share pages and share web API.
//
// From a share link and its extraction password it reaches the share's landing page (walking
// the link's redirects and passing the password check), reads the share's identifiers and its
// top-level entries, lists folders, and turns file ids into direct download links, asking the
// service for a captcha when it demands one.
//
// Every request goes through the one HttpClient the object owns, so the cookies gathered while
// a share is opened (the password cookie BDCLND among them) serve every later request for the
// object's life. Failures are results: false plus a message for the user (CP936 text).
// Texts are CP936 bytes. One thread at a time; every call blocks on the network.
#include <cstdint>
#include <string>
#include <vector>

#include "resolver/http/http_client.h"
#include "resolver/http/internet_api.h"
#include "resolver/share/service_hosts.h"
#include "resolver/share/share_records.h"

namespace share {

class ShareClient {
 public:
  // The redirect walk of a share link follows at most this many Location targets.
  static constexpr int kMaxWalkHops = 20;

  // hosts.main serves the share pages, the password check, the listing and the captcha;
  // hosts.download the download-link API. The HttpClient keeps its own cookie jar (mode 1).
  ShareClient(http::InternetApi& api, ServiceHosts hosts);
  ~ShareClient();
  ShareClient(const ShareClient&) = delete;
  ShareClient& operator=(const ShareClient&) = delete;

  // The user's message for a reply's errno (see error_text.h).
  static std::string ErrorText(int32_t errnum);

  // Stores the link and the password as the user gave them (info().url, info().pwd).
  void SetShare(const std::string& url, const std::string& password);

  // Reaches the share page of info().url and appends its top-level entries to files (in the
  // page's order). True when the page's file list was read (also when it is empty); false with
  // the message for the user, files unchanged. A second call for the link that last passed
  // (LastShareUrl()) starts from the stored PageUrl(), skipping the walk and the password check.
  bool ResolveShare(std::vector<FileEntry>& files, std::string& message);

  // Appends the entries of the folder dir (a FileEntry's path, e.g. "/photos/2017") of the
  // resolved share to files: the service's first page, at most 100 entries. False with the
  // message for the user.
  bool ListFolder(const std::string& dir, std::vector<FileEntry>& files, std::string& message);

  // Fetches a captcha: on true image holds the picture file's bytes (empty when the picture
  // could not be fetched) and info().vcode_str the token that goes with it.
  bool GetCaptcha(http::Bytes& image, std::string& message);

  // Asks for the download links of ids (decimal fs_id values separated by ","): one link per
  // file, joined by "\r\n", or with zip one batch (ZIP) link, in message. answer is the typed
  // captcha ("" for none); it goes with info().vcode_str. False with the message for the user.
  bool GetDownloadLinks(const std::string& ids, bool zip, const std::string& answer,
                        std::string& message);

  // --- state
  const ShareInfo& Info() const { return info_; }
  // URL of the share page as last reached; empty at start.
  const std::string& PageUrl() const { return pageUrl_; }
  // The info().url of the last share whose page was passed (set by a successful ResolveShare
  // and by a successful password check). It decides whether PageUrl() is still valid.
  const std::string& LastShareUrl() const { return lastShareUrl_; }
  const ServiceHosts& Hosts() const { return hosts_; }
  http::HttpClient& Http() { return http_; }

 private:
  enum class Run { kFirst, kAfterPasswordCheck };
  enum class Walk { kReachedSharePage, kStoppedOnPage, kTooManyHops };

  bool Resolve(std::vector<FileEntry>& files, std::string& message, Run run);
  bool FetchSharePage(std::string& body);
  Walk WalkToSharePage(std::string& body);
  bool PasswordCheck(std::vector<FileEntry>& files, std::string& message, Run run);
  bool Verify(std::string& message);
  std::string Get(const std::string& url);

  ServiceHosts hosts_;
  http::HttpClient http_;
  std::string pageUrl_;
  ShareInfo info_;
  std::string lastShareUrl_;
};

}  // namespace share
