// ShareClient over the real WinINet against the share-service simulator on loopback: every
// sample share and failure link, the requests the simulator received, and the bytes behind
// the links it handed out.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "base/codepage.h"
#include "base/gbk_literal.h"
#include "resolver/http/internet_api.h"
#include "resolver/share/request_utils.h"
#include "resolver/share/share_client.h"
#include "tests/share/request_pattern.h"
#include "tests/share/sim_service.h"
#include "tests/share/zip_directory.h"

namespace share::testing {
namespace {

const std::string kApiTail = "&channel=chunlei&clienttype=0&web=1&app_id=250528&logid=<LOGID>";

struct Expected {
  std::string method;
  std::string target;  // pattern (see request_pattern.h)
  std::string body;    // pattern; "" for none
};

class ShareServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Sim().Ready()) << Sim().Problem();
    Sim().Reset();
    NewClient();
  }

  // A client as the program makes it; the time-outs are short so that a stuck exchange fails
  // its test instead of running into the test's own time limit.
  void NewClient() {
    client = std::make_unique<ShareClient>(http::SystemInternetApi(), Sim().Hosts());
    client->Http().SetTimeouts(10000, 20000, 20000);
  }

  static SimService& Sim() { return SimService::Get(); }
  static std::string Link(const std::string& surl) { return Sim().MainUrl("/s/1" + surl); }

  bool Resolve(const std::string& link, const std::string& password) {
    client->SetShare(link, password);
    files.clear();
    return client->ResolveShare(files, message);
  }
  bool List(const std::string& utf8Dir) {
    files.clear();
    return client->ListFolder(base::Gbk(utf8Dir), files, message);
  }
  const FileEntry* Named(const std::string& utf8Name) const {
    for (const auto& f : files) {
      if (f.server_filename == base::Gbk(utf8Name)) return &f;
    }
    return nullptr;
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& f : files) names.insert(base::Cp936ToUtf8(f.server_filename));
    return names;
  }
  std::string IdsOf(const std::vector<std::string>& utf8Names) const {
    std::string ids;
    for (const auto& name : utf8Names) {
      const FileEntry* f = Named(name);
      if (f == nullptr) ADD_FAILURE() << "no entry " << name;
      else ids += (ids.empty() ? "" : ",") + std::to_string(f->fs_id);
    }
    return ids;
  }

  // The requests since the last reset (or since the mark), against what the client should
  // have sent.
  void ExpectRequests(const std::vector<Expected>& expected) const {
    std::vector<SimRequest> got = Sim().Requests();
    got.erase(got.begin(), got.begin() + static_cast<long>(std::min(mark, got.size())));
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
      SCOPED_TRACE("request " + std::to_string(i) + ": " + got[i].method + " " + got[i].target);
      EXPECT_EQ(got[i].method, expected[i].method);
      EXPECT_EQ(PatternMismatch(got[i].target, expected[i].target), "");
      EXPECT_EQ(PatternMismatch(got[i].body, expected[i].body), "");
    }
  }

  static std::map<int64_t, SimFile> FilesById() {
    std::map<int64_t, SimFile> byId;
    for (auto& f : Sim().Files()) byId[f.fs_id] = f;
    return byId;
  }

  // Each link names its file as fid=<uk>-250528-<fs_id>; its bytes must be the file's.
  static void ExpectLinksServeTheFiles(const std::string& links, const std::string& ids) {
    const auto byId = FilesById();
    std::set<int64_t> wanted, served;
    for (size_t p = 0; p <= ids.size();) {
      const size_t comma = std::min(ids.find(',', p), ids.size());
      wanted.insert(std::stoll(ids.substr(p, comma - p)));
      p = comma + 1;
    }
    for (size_t p = 0; p < links.size();) {
      const size_t eol = std::min(links.find("\r\n", p), links.size());
      const std::string link = links.substr(p, eol - p);
      p = eol + 2;
      SCOPED_TRACE(link);
      const int64_t fsId = std::stoll(TextBetween(link, "-250528-", "&"));
      served.insert(fsId);
      ASSERT_TRUE(byId.count(fsId));
      int status = 0;
      const http::Bytes bytes = Sim().Download(link, &status);
      EXPECT_EQ(status, 200);
      EXPECT_EQ(static_cast<int64_t>(bytes.size()), byId.at(fsId).size);
      EXPECT_EQ(Md5Hex(bytes), byId.at(fsId).md5);
    }
    EXPECT_EQ(served, wanted);
  }

  std::unique_ptr<ShareClient> client;
  std::vector<FileEntry> files;
  std::string message;
  size_t mark = 0;  // requests before it are not compared
};

std::string PageTarget(const std::string& surl) { return "/share/init?surl=" + surl; }
Expected Get(const std::string& target) { return {"GET", target, ""}; }

std::string ListTarget(const ShareInfo& info, const std::string& dir) {
  return "/share/list?uk=" + std::to_string(info.uk) + "&shareid=" + std::to_string(info.shareid) +
         "&order=server_filename&desc=1&showempty=0&web=1&page=1&num=100&dir=" + dir +
         "&t=0.<D16>&bdstoken=null" + kApiTail;
}

TEST_F(ShareServiceTest, OpenShareTopLevelAndAgain) {
  ASSERT_TRUE(Resolve(Link("OpenShare2017"), "")) << base::Cp936ToUtf8(message);
  EXPECT_EQ(Names(), (std::set<std::string>{"资料 2017", "150 个文件", "English docs",
                                            "大文件.bin", "hello.txt", "零字节.txt"}));
  ASSERT_NE(Named("大文件.bin"), nullptr);
  EXPECT_EQ(Named("大文件.bin")->size, 3145728);
  EXPECT_EQ(Named("大文件.bin")->isdir, 0);
  EXPECT_EQ(Named("资料 2017")->isdir, 1);
  EXPECT_EQ(Named("资料 2017")->path, base::Gbk("/资料 2017"));
  EXPECT_GT(Named("hello.txt")->server_mtime, 1500000000);
  EXPECT_EQ(client->Info().uk, 2871296401);
  EXPECT_EQ(client->Info().shareid, 1487234455);
  EXPECT_EQ(client->Info().bdstoken, "null");
  ExpectRequests({Get("/s/1OpenShare2017"), Get(PageTarget("OpenShare2017")),
                  Get(PageTarget("OpenShare2017"))});
  const auto got = Sim().Requests();
  EXPECT_EQ(got[1].scheme, "https");
  EXPECT_EQ(got[1].Cookie("PANWEB"), "1");  // the redirect's cookie comes back

  Sim().Reset();
  ASSERT_TRUE(Resolve(Link("OpenShare2017"), "")) << base::Cp936ToUtf8(message);
  EXPECT_EQ(files.size(), 6u);
  ExpectRequests({Get(PageTarget("OpenShare2017")), Get(PageTarget("OpenShare2017")),
                  Get(PageTarget("OpenShare2017"))});
}

TEST_F(ShareServiceTest, OpenShareFolders) {
  ASSERT_TRUE(Resolve(Link("OpenShare2017"), ""));
  Sim().Reset();

  ASSERT_TRUE(List("/资料 2017")) << base::Cp936ToUtf8(message);
  // Names descending in code point order, as the service sorts; the empty folder is hidden.
  std::vector<std::string> order;
  for (const auto& f : files) order.push_back(base::Cp936ToUtf8(f.server_filename));
  EXPECT_EQ(order, (std::vector<std::string>{"说明.txt", "照片", "年度报告(终版).docx"}));
  EXPECT_EQ(Named("照片")->path, base::Gbk("/资料 2017/照片"));
  EXPECT_EQ(Named("说明.txt")->parent_path, base::Gbk("/资料 2017"));
  ExpectRequests({Get(ListTarget(client->Info(), "%2F%E8%B5%84%E6%96%99+2017"))});

  ASSERT_TRUE(List("/资料 2017/照片"));
  EXPECT_EQ(Names(), (std::set<std::string>{"海边 日落.jpg", "a b c.png", "2017-09-07 合影.jpg"}));

  ASSERT_TRUE(List("/150 个文件"));
  EXPECT_EQ(files.size(), 100u);  // the first page only
  EXPECT_EQ(files.front().server_filename, base::Gbk("文件 150.txt"));

  ASSERT_TRUE(List("/English docs"));
  EXPECT_NE(Named("a);b.txt"), nullptr);
  EXPECT_NE(Named("notes-v1.2_final~.md"), nullptr);
  // Hangul and the emoji have no CP936 form: the entry is there, its name holds "?".
  const auto outside = std::find_if(files.begin(), files.end(), [](const FileEntry& f) {
    return f.size == 128;
  });
  ASSERT_NE(outside, files.end());
  EXPECT_NE(outside->server_filename.find('?'), std::string::npos);
  EXPECT_EQ(outside->server_filename.substr(outside->server_filename.size() - 4), ".txt");

  ASSERT_TRUE(List("/English docs/deep/deeper"));
  EXPECT_EQ(Names(), (std::set<std::string>{"bottom.txt"}));

  EXPECT_FALSE(List("/no such folder"));
  EXPECT_EQ(message, base::Gbk("文件不存在,请刷新页面后重试"));
}

TEST_F(ShareServiceTest, OpenShareSingleLinksServeTheFiles) {
  ASSERT_TRUE(Resolve(Link("OpenShare2017"), ""));
  std::string ids = IdsOf({"hello.txt", "零字节.txt", "大文件.bin"});
  ASSERT_TRUE(List("/English docs"));
  const auto outside = std::find_if(files.begin(), files.end(), [](const FileEntry& f) {
    return f.size == 128;
  });
  ASSERT_NE(outside, files.end());
  ids += "," + std::to_string(outside->fs_id) + "," + IdsOf({"a);b.txt"});
  Sim().Reset();

  ASSERT_TRUE(client->GetDownloadLinks(ids, false, "", message)) << base::Cp936ToUtf8(message);
  const ShareInfo& info = client->Info();
  ExpectRequests({{"POST",
                   "/api/sharedownload?sign=" + info.sign + "&timestamp=" +
                       std::to_string(info.timestamp) + "&bdstoken=null" + kApiTail,
                   "encrypt=0&product=share&uk=2871296401&primaryid=1487234455"
                   "&vcode_input=&vcode_str=&extra={\"sekey\":\"\"}&fid_list=%5B" + ids + "%5D"}});
  const SimRequest post = Sim().Requests()[0];
  EXPECT_EQ(post.host, "dl");
  EXPECT_EQ(post.Header("Referer"), client->PageUrl());
  ExpectLinksServeTheFiles(message, ids);
}

TEST_F(ShareServiceTest, OpenShareBatchLinkIsAZipOfTheChosenItems) {
  ASSERT_TRUE(Resolve(Link("OpenShare2017"), ""));
  ASSERT_TRUE(client->GetDownloadLinks(IdsOf({"English docs", "hello.txt"}), true, "", message))
      << base::Cp936ToUtf8(message);
  ASSERT_EQ(message.find("\r\n"), std::string::npos);
  int status = 0;
  const http::Bytes zip = Sim().Download(message, &status);
  ASSERT_EQ(status, 200);

  std::vector<ZipMember> members;
  std::string error;
  ASSERT_TRUE(ReadZipDirectory(zip, members, error)) << error;
  std::map<std::string, SimFile> expected;  // ZIP name -> file
  for (const auto& f : Sim().Files()) {
    if (f.surl == "OpenShare2017" &&
        (f.path.rfind("/English docs/", 0) == 0 || f.path == "/hello.txt")) {
      expected[f.path.substr(1)] = f;
    }
  }
  std::map<std::string, SimFile> found;
  for (const auto& m : members) {
    if (m.IsFolder()) continue;
    SCOPED_TRACE(m.name);
    ASSERT_TRUE(expected.count(m.name));
    EXPECT_EQ(m.size, expected.at(m.name).size);
    http::Bytes data;
    ASSERT_TRUE(StoredData(zip, m, data));
    EXPECT_EQ(Md5Hex(data), expected.at(m.name).md5);
    found[m.name] = expected.at(m.name);
  }
  EXPECT_EQ(found.size(), expected.size());
  EXPECT_EQ(expected.size(), 6u);
}

TEST_F(ShareServiceTest, AsciiPasswordShare) {
  ASSERT_TRUE(Resolve(Link("PwdAscii"), "ab12")) << base::Cp936ToUtf8(message);
  EXPECT_EQ(Names(), (std::set<std::string>{"合同 扫描.pdf", "图纸"}));
  const std::string link = "/share/link?shareid=1487234456&uk=2871296401";
  ExpectRequests({Get("/s/1PwdAscii"), Get(PageTarget("PwdAscii")), Get(PageTarget("PwdAscii")),
                  {"POST", "/share/verify?surl=PwdAscii&t=<T13>&bdstoken=null" + kApiTail,
                   "pwd=ab12&vcode=&vcode_str="},
                  Get(PageTarget("PwdAscii")), Get(link), Get(link)});
  const auto got = Sim().Requests();
  EXPECT_EQ(got[3].Header("Referer"), Sim().MainUrl(PageTarget("PwdAscii")));
  EXPECT_EQ(got[3].Header("Content-Type"), "application/x-www-form-urlencoded");
  const std::string bdclnd = client->Http().Cookie("BDCLND");
  EXPECT_NE(bdclnd, "");
  EXPECT_EQ(got[4].Cookie("BDCLND"), bdclnd);
  EXPECT_EQ(client->LastShareUrl(), Link("PwdAscii"));

  // Links: the sekey is the password cookie as the jar holds it.
  const std::string ids = IdsOf({"合同 扫描.pdf"});
  ASSERT_TRUE(client->GetDownloadLinks(ids, false, "", message)) << base::Cp936ToUtf8(message);
  EXPECT_NE(Sim().Requests().back().body.find("&extra={\"sekey\":\"" + bdclnd + "\"}"),
            std::string::npos);
  ExpectLinksServeTheFiles(message, ids);

  ASSERT_TRUE(List("/我的分享/图纸")) << base::Cp936ToUtf8(message);
  EXPECT_EQ(Names(), (std::set<std::string>{"一层平面.dwg", "二层平面.dwg"}));
  // Going up from a top-level folder of this share leaves it.
  EXPECT_FALSE(List("/"));
  EXPECT_EQ(message, base::Gbk("文件不存在,请刷新页面后重试"));

  // Resolving the passed link again: only the two GETs of the stored page. (A reset of the
  // simulator would forget the password cookie.)
  mark = Sim().Requests().size();
  ASSERT_TRUE(Resolve(Link("PwdAscii"), "ab12")) << base::Cp936ToUtf8(message);
  EXPECT_EQ(files.size(), 2u);
  ExpectRequests({Get(link), Get(link)});
}

TEST_F(ShareServiceTest, PasswordFailures) {
  EXPECT_FALSE(Resolve(Link("PwdAscii"), "zz99"));
  EXPECT_EQ(message, base::Gbk("访问密码错误"));
  EXPECT_EQ(Sim().Requests().size(), 4u);
  EXPECT_EQ(client->LastShareUrl(), "");

  Sim().Reset();
  NewClient();
  EXPECT_FALSE(Resolve(Link("PwdAscii"), ""));
  EXPECT_EQ(message, base::Gbk("需要提取密码.请输入后重新尝试."));
  ExpectRequests({Get("/s/1PwdAscii"), Get(PageTarget("PwdAscii")), Get(PageTarget("PwdAscii"))});
  EXPECT_TRUE(files.empty());
}

TEST_F(ShareServiceTest, NonAsciiPasswordShare) {
  ASSERT_TRUE(Resolve(Link("PwdChinese"), base::Gbk("口令 9"))) << base::Cp936ToUtf8(message);
  EXPECT_EQ(Names(), (std::set<std::string>{"课程笔记", "课件.ppt"}));
  EXPECT_EQ(Sim().Requests()[3].body, "pwd=%E5%8F%A3%E4%BB%A4+9&vcode=&vcode_str=");
  ASSERT_TRUE(List("/课程笔记"));
  EXPECT_EQ(Names(), (std::set<std::string>{"第一讲.txt"}));
}

TEST_F(ShareServiceTest, InitFormLink) {
  const std::string initTarget = "/share/init?shareid=1487234458&uk=3390102811";
  ASSERT_TRUE(Resolve(Sim().MainUrl(initTarget), "init")) << base::Cp936ToUtf8(message);
  EXPECT_EQ(Names(), (std::set<std::string>{"旧版链接.txt", "归档"}));
  const std::string link = "/share/link?shareid=1487234458&uk=3390102811";
  ExpectRequests({Get(initTarget), Get(PageTarget("InitForm")), Get(PageTarget("InitForm")),
                  {"POST",
                   "/share/verify?shareid=1487234458&uk=3390102811&t=<T13>&bdstoken=null" +
                       kApiTail,
                   "pwd=init&vcode=&vcode_str="},
                  Get(initTarget), Get(link), Get(link)});
  EXPECT_EQ(Sim().Requests()[3].Header("Referer"), Sim().MainUrl(initTarget));
}

TEST_F(ShareServiceTest, CaptchaShare) {
  ASSERT_TRUE(Resolve(Link("NeedCaptcha"), ""));
  const std::string ids = IdsOf({"热门资源.mp4"});
  EXPECT_FALSE(client->GetDownloadLinks(ids, false, "", message));
  EXPECT_EQ(message, base::Gbk("下载验证码错误"));

  http::Bytes image;
  ASSERT_TRUE(client->GetCaptcha(image, message)) << base::Cp936ToUtf8(message);
  ASSERT_GE(image.size(), 8u);
  EXPECT_EQ(std::string(image.begin(), image.begin() + 8), "\x89PNG\r\n\x1a\n");
  const std::string token = client->Info().vcode_str;
  EXPECT_EQ(token.size(), 40u);
  const std::string code = Sim().CaptchaCode(token);
  ASSERT_EQ(code.size(), 4u);

  ASSERT_TRUE(client->GetDownloadLinks(ids, false, code, message)) << base::Cp936ToUtf8(message);
  EXPECT_NE(Sim().Requests().back().body.find("&vcode_input=" + code + "&vcode_str=" + token + "&"),
            std::string::npos);
  ExpectLinksServeTheFiles(message, ids);
  // The answer went with one request; the next one asks again.
  EXPECT_FALSE(client->GetDownloadLinks(ids, false, "", message));
  EXPECT_EQ(message, base::Gbk("下载验证码错误"));
}

TEST_F(ShareServiceTest, RateLimitAsksForACaptcha) {
  Sim().Settings("rate_limit=2");
  ASSERT_TRUE(Resolve(Link("OpenShare2017"), ""));
  const std::string ids = IdsOf({"hello.txt"});
  EXPECT_TRUE(client->GetDownloadLinks(ids, false, "", message));
  EXPECT_TRUE(client->GetDownloadLinks(ids, false, "", message));
  EXPECT_FALSE(client->GetDownloadLinks(ids, false, "", message));
  EXPECT_EQ(message, base::Gbk("下载频繁，需输入验证码"));
  http::Bytes image;
  ASSERT_TRUE(client->GetCaptcha(image, message));
  const std::string code = Sim().CaptchaCode(client->Info().vcode_str);
  ASSERT_TRUE(client->GetDownloadLinks(ids, false, code, message)) << base::Cp936ToUtf8(message);
  ExpectLinksServeTheFiles(message, ids);
}

TEST_F(ShareServiceTest, LargeAndEmptyShares) {
  ASSERT_TRUE(Resolve(Link("Thousand"), ""));
  EXPECT_EQ(files.size(), 1000u);
  EXPECT_NE(Named("item 0999.dat"), nullptr);
  ASSERT_TRUE(Resolve(Link("EmptyShare"), ""));
  EXPECT_TRUE(files.empty());
  EXPECT_EQ(client->Info().shareid, 1487234461);
}

TEST_F(ShareServiceTest, NameHoldingTheEndOfTheDataCall) {
  ASSERT_TRUE(Resolve(Link("ParenName"), "")) << base::Cp936ToUtf8(message);
  ASSERT_NE(Named("第1集);预告.mp4"), nullptr);
  EXPECT_EQ(client->Info().shareid, 1487234462);
  const std::string ids = IdsOf({"第1集);预告.mp4"});
  ASSERT_TRUE(client->GetDownloadLinks(ids, false, "", message)) << base::Cp936ToUtf8(message);
  ExpectLinksServeTheFiles(message, ids);
}

TEST_F(ShareServiceTest, FailureLinks) {
  const struct {
    const char* surl;
    bool ok;
    const char* message;
    size_t requests;
    bool connectionLost;  // WinINet may send the request once more on a lost connection
  } cases[] = {
      {"Removed", false, "链接不存在.", 3, false},
      {"UnknownLink", false, "链接不存在.", 3, false},
      {"NoPage", false, "页面不存在.", 3, false},
      {"NoData", true, "", 3, false},
      {"BadJson", false, "JSON解析失败", 3, false},
      {"Loop", false, "打开网页失败.", 20, false},
      {"Reset", false, "打开网页失败.", 1, true},
      {"Stall", false, "打开网页失败.", 1, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.surl);
    Sim().Reset();
    Sim().Settings("stall_seconds=1");
    NewClient();
    message.clear();
    EXPECT_EQ(Resolve(Link(c.surl), "x"), c.ok);
    EXPECT_EQ(message, base::Gbk(c.message));
    EXPECT_TRUE(files.empty());
    const size_t sent = Sim().Requests().size();
    EXPECT_GE(sent, c.requests);
    EXPECT_LE(sent, c.requests + (c.connectionLost ? 1 : 0));
  }
}

TEST_F(ShareServiceTest, ServiceInTrouble) {
  ASSERT_TRUE(Resolve(Link("OpenShare2017"), ""));
  const std::string ids = IdsOf({"hello.txt"});
  http::Bytes image{1};

  Sim().Scenario("html_api", true);
  EXPECT_FALSE(List("/资料 2017"));
  EXPECT_EQ(message, base::Gbk("JSON解析失败."));
  EXPECT_FALSE(client->GetDownloadLinks(ids, false, "", message));
  EXPECT_EQ(message, base::Gbk("下载JSON解析失败"));
  EXPECT_TRUE(client->GetCaptcha(image, message));  // no JSON reads as a captcha without picture
  EXPECT_TRUE(image.empty());
  auto password = std::make_unique<ShareClient>(http::SystemInternetApi(), Sim().Hosts());
  password->SetShare(Link("PwdAscii"), "ab12");
  EXPECT_FALSE(password->ResolveShare(files, message));
  EXPECT_EQ(message, base::Gbk("JSON解析失败"));
  Sim().Scenario("html_api", false);

  Sim().Scenario("reset_api", true);
  EXPECT_FALSE(List("/资料 2017"));
  EXPECT_EQ(message, base::Gbk("打开网页失败."));
  EXPECT_FALSE(client->GetDownloadLinks(ids, false, "", message));
  EXPECT_EQ(message, base::Gbk("打开网页失败."));
  EXPECT_FALSE(client->GetCaptcha(image, message));
  EXPECT_EQ(message, base::Gbk("打开网页失败."));
  Sim().Scenario("reset_api", false);

  EXPECT_TRUE(List("/资料 2017")) << base::Cp936ToUtf8(message);
}

TEST_F(ShareServiceTest, DecoyCookieAndContentLocation) {
  Sim().Scenario("decoy_cookie", true);
  Sim().Scenario("content_location", true);
  ASSERT_TRUE(Resolve(Link("PwdAscii"), "ab12")) << base::Cp936ToUtf8(message);
  EXPECT_EQ(files.size(), 2u);
  EXPECT_EQ(Sim().Requests().size(), 7u);  // no hop to the Content-Location
  EXPECT_EQ(client->Http().Cookie("BDCLNDX"), "decoy");
  const std::string ids = IdsOf({"合同 扫描.pdf"});
  ASSERT_TRUE(client->GetDownloadLinks(ids, false, "", message)) << base::Cp936ToUtf8(message);
  ExpectLinksServeTheFiles(message, ids);
}

}  // namespace
}  // namespace share::testing
