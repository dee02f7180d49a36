#include "json_listing.h"

#include "base/codepage.h"

namespace json_bench {
namespace {

// Common characters of file names, all in code page 936.
const char16_t kHanzi[] = u"资料文件夹视频音乐图片照片文档学习课程教程第一二三四五六七八九十集高清版本"
                          u"电影合集备份工作项目报告数据分析设计方案会议记录年月日新建压缩包软件安装";

struct Random {
  uint64_t state = 88172645463325252ull;
  uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<uint32_t>(state);
  }
};

std::u16string Digits(uint64_t v) {
  std::u16string s;
  do {
    s.insert(s.begin(), char16_t(u'0' + v % 10));
    v /= 10;
  } while (v);
  return s;
}

std::u16string Name(Random& r, int minLength) {
  std::u16string name;
  const int n = minLength + int(r.Next() % 12);
  for (int i = 0; i < n; ++i) name.push_back(kHanzi[r.Next() % (sizeof kHanzi / 2 - 1)]);
  return name;
}

std::u16string Entry(Random& r, const std::u16string& folder) {
  const bool isdir = r.Next() % 5 == 0;
  const std::u16string name = Name(r, 6) + (isdir ? u"" : u".mp4");
  std::u16string e = u"{\"fs_id\":" + Digits(100000000000000ull + r.Next() * 97ull);
  e += u",\"app_id\":\"250528\",\"parent_path\":\"%2F" + folder + u"\"";
  e += u",\"server_mtime\":" + Digits(1400000000 + r.Next() % 200000000);
  e += u",\"server_filename\":\"" + name + u"\"";
  e += u",\"size\":" + Digits(isdir ? 0 : r.Next() % 4000000000u);
  e += u",\"isdir\":" + Digits(isdir ? 1 : 0);
  e += u",\"path\":\"\\/" + folder + u"\\/" + name + u"\"}";
  return e;
}

}  // namespace

Listing MakeListing(int entries) {
  Random r;
  Listing l;
  l.entries = entries;
  const std::u16string folder = Name(r, 4);
  l.utf16 = u"{\"errno\":0,\"list\":[";
  for (int i = 0; i < entries; ++i) {
    if (i) l.utf16 += u",";
    l.utf16 += Entry(r, folder);
  }
  l.utf16 += u"],\"request_id\":" + Digits(r.Next()) + u"}";
  l.utf8 = base::FromUtf16(l.utf16, base::CodePage::kUtf8);
  l.cp936 = base::FromUtf16(l.utf16, base::CodePage::kGbk);
  return l;
}

}  // namespace json_bench
