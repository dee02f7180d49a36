// GetCaptcha and GetDownloadLinks through the scripted WinINet.
#include <gtest/gtest.h>

#include "base/gbk_literal.h"
#include "resolver/share/share_client.h"
#include "tests/share/share_test_support.h"

namespace share::testing {
namespace {

const std::string kData =
    R"({"uk":2871296401,"shareid":1487234455,"sign":"9a3f0c","timestamp":1504767600,)"
    R"("bdstoken":null,"file_list":{"list":[{"fs_id":11,"app_id":"250528"}]}})";
const std::string kPage = "https://localhost:47443/share/init?surl=open";
const std::string kDownloadUrl =
    "http://127.0.0.1:47080/api/sharedownload?sign=9a3f0c&timestamp=1504767600&bdstoken=null"
    "&channel=chunlei&clienttype=0&web=1&app_id=250528&logid=<LOGID>";
const std::string kCaptchaUrl =
    "http://localhost:47443/api/getcaptcha?prod=pan&web=1&t=0.<D16>&bdstoken=null"
    "&channel=chunlei&clienttype=0&web=1&app_id=250528&logid=<LOGID>";

std::string Form(const std::string& vcode, const std::string& sekey, const std::string& ids) {
  return "encrypt=0&product=share&uk=2871296401&primaryid=1487234455" + vcode +
         "&extra={\"sekey\":\"" + sekey + "\"}&fid_list=%5B" + ids + "%5D";
}
const std::string kNoCaptcha = "&vcode_input=&vcode_str=";

class DownloadLinksTest : public ShareClientTest {
 protected:
  void SetUp() override { ResolveOpenShare(kData); }
};

TEST_F(DownloadLinksTest, SingleLinksOnePerLine) {
  net.QueueReply(Ok(R"({"errno":0,"list":[{"fs_id":11,"dlink":"http:\/\/127.0.0.1:47080\/file\/a"},)"
                    R"({"fs_id":22,"dlink":"http:\/\/127.0.0.1:47080\/file\/b"},)"
                    R"({"fs_id":33,"dlink":"http:\/\/127.0.0.1:47080\/file\/c"}]})"));
  ASSERT_TRUE(client.GetDownloadLinks("11,22,33", false, "", message)) << message;
  EXPECT_EQ(message,
            "http://127.0.0.1:47080/file/a\r\nhttp://127.0.0.1:47080/file/b\r\n"
            "http://127.0.0.1:47080/file/c");
  ExpectRequests(Requests(), {{"POST", kDownloadUrl, Form(kNoCaptcha, "", "11,22,33"), kPage}});
}

TEST_F(DownloadLinksTest, BatchLinkForAZip) {
  net.QueueReply(Ok(R"({"errno":0,"dlink":"http:\/\/127.0.0.1:47080\/batch\/x.zip?fids=11,22"})"));
  ASSERT_TRUE(client.GetDownloadLinks("11,22", true, "", message)) << message;
  EXPECT_EQ(message, "http://127.0.0.1:47080/batch/x.zip?fids=11,22");
  ExpectRequests(Requests(),
                 {{"POST", kDownloadUrl, Form(kNoCaptcha, "", "11,22") + "&type=batch", kPage}});
}

TEST_F(DownloadLinksTest, SekeyIsThePasswordCookieUnchanged) {
  ASSERT_TRUE(client.Http().AddCookies("BDCLNDX=decoy; BDCLND=Ab%2Bc%3D/x"));
  net.QueueReply(Ok(R"({"errno":0,"list":[]})"));
  ASSERT_TRUE(client.GetDownloadLinks("11", false, "", message));
  ExpectRequests(Requests(), {{"POST", kDownloadUrl, Form(kNoCaptcha, "Ab%2Bc%3D/x", "11"), kPage}});
}

TEST_F(DownloadLinksTest, Replies) {
  const struct {
    const char* name;
    bool zip;
    std::string reply;
    bool ok;
    const char* message;  // links on success, CP936 text otherwise
  } cases[] = {
      {"empty list", false, R"({"errno":0,"list":[]})", true, ""},
      {"zip without dlink", true, R"({"errno":0})", true, ""},
      {"captcha wrong", false, R"({"errno":-20})", false, "下载验证码错误"},
      {"captcha wanted", false, R"({"errno":5})", false, "下载频繁，需输入验证码"},
      {"stale page", true, R"({"errno":112})", false, "页面已过期，请刷新后重试"},
      {"no JSON", false, R"({"errno":0,"list":[)", false, "下载JSON解析失败"},
      {"no answer", false, "", false, "打开网页失败."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    net.QueueReply(Ok(c.reply));
    message = "old";
    EXPECT_EQ(client.GetDownloadLinks("11", c.zip, "", message), c.ok);
    EXPECT_EQ(message, base::Gbk(c.message));
  }
}

TEST_F(DownloadLinksTest, CaptchaTokenAndPictureThenOneAnsweredRequest) {
  const std::string picture("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  net.QueueReply(Ok(R"({"errno":0,"vcode_str":"3c5b1f","vcode_img":)"
                    R"("http:\/\/localhost:47443\/cgi-bin\/genimage?3c5b1f"})"));
  net.QueueReply(FakeReply::Ok("HTTP/1.1 200 OK\r\nContent-Length: 16\r\n", picture));
  http::Bytes image;
  ASSERT_TRUE(client.GetCaptcha(image, message)) << message;
  EXPECT_EQ(std::string(image.begin(), image.end()), picture);
  EXPECT_EQ(client.Info().vcode_str, "3c5b1f");

  net.QueueReply(Ok(R"({"errno":0,"list":[{"dlink":"http:\/\/127.0.0.1:47080\/file\/a"}]})"));
  ASSERT_TRUE(client.GetDownloadLinks("11", false, "AB3D", message)) << message;
  net.QueueReply(Ok(R"({"errno":-20})"));
  EXPECT_FALSE(client.GetDownloadLinks("11", false, "", message));

  ExpectRequests(Requests(),
                 {{"GET", kCaptchaUrl, "", ""},
                  {"GET", "http://localhost:47443/cgi-bin/genimage?3c5b1f", "", ""},
                  {"POST", kDownloadUrl, Form("&vcode_input=AB3D&vcode_str=3c5b1f", "", "11"), kPage},
                  {"POST", kDownloadUrl, Form(kNoCaptcha, "", "11"), kPage}});
}

TEST_F(DownloadLinksTest, CaptchaReplies) {
  const struct {
    const char* name;
    std::vector<FakeReply> replies;
    bool ok;
    const char* message;
    size_t requests;
  } cases[] = {
      {"refused", {Ok(R"({"errno":-6})")}, false, "请重新登录", 1},
      {"picture not fetched", {Ok(R"({"errno":0,"vcode_str":"t","vcode_img":"http:\/\/localhost:47443\/p"})")},
       true, "", 2},
      {"no JSON reads as no token", {Ok("<html>busy</html>")}, true, "", 1},
      {"no answer", {}, false, "打开网页失败.", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    net.requests.clear();
    for (const auto& reply : c.replies) net.QueueReply(reply);
    http::Bytes image{1, 2, 3};
    message.clear();
    EXPECT_EQ(client.GetCaptcha(image, message), c.ok);
    EXPECT_EQ(message, base::Gbk(c.message));
    if (c.ok) {
      EXPECT_TRUE(image.empty());
    }
    EXPECT_EQ(Requests().size(), c.requests);
  }
}

}  // namespace
}  // namespace share::testing
