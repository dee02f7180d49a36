// What Quillon.exe carries: version, manifest, icon and the Thanks pictures in the sizes the
// window expects. Loaded as a data file, so nothing of it runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/resource_ids.h"

namespace {

std::wstring ExePath() {
  const std::string narrow = QUILLON_EXE;
  return std::wstring(narrow.begin(), narrow.end());
}

std::wstring VersionString(const std::wstring& exe, const wchar_t* key) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  if (size == 0) return L"";
  std::string block(size, '\0');
  if (!GetFileVersionInfoW(exe.c_str(), 0, size, &block[0])) return L"";
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
  if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) return L"";
  return value;
}

TEST(QuillonExe, CarriesItsVersion) {
  EXPECT_EQ(VersionString(ExePath(), L"FileVersion"), L"1.0.0.0");
  EXPECT_EQ(VersionString(ExePath(), L"ProductName"), L"Quillon");
}

TEST(QuillonExe, CarriesManifestIconAndSquarePictures) {
  HMODULE exe = LoadLibraryExW(ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  HRSRC manifest = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24) /* RT_MANIFEST */);
  ASSERT_NE(manifest, nullptr);
  const std::string text(static_cast<const char*>(LockResource(LoadResource(exe, manifest))),
                         SizeofResource(exe, manifest));
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(text.find("<dpiAware"), std::string::npos);
  EXPECT_NE(text.find("supportedOS"), std::string::npos);
  EXPECT_NE(FindResourceW(exe, MAKEINTRESOURCEW(IDI_QUILLON), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */), nullptr);
  for (int size : {16, 32}) {
    HICON icon = static_cast<HICON>(LoadImageW(exe, MAKEINTRESOURCEW(IDI_QUILLON), IMAGE_ICON, size, size, 0));
    EXPECT_NE(icon, nullptr) << size << " px";
    if (icon) DestroyIcon(icon);
  }

  struct Picture {
    int id;
    LONG side;
  };
  for (const Picture& p : {Picture{IDR_THANKS_PAY_A, 301}, Picture{IDR_THANKS_PAY_B, 342}}) {
    SCOPED_TRACE(p.id);
    HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(p.id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(exe, found)));
    ASSERT_GE(SizeofResource(exe, found), sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    BITMAPINFOHEADER info;
    memcpy(&info, bytes + sizeof(BITMAPFILEHEADER), sizeof info);
    EXPECT_EQ(info.biWidth, p.side);
    EXPECT_EQ(info.biHeight, p.side);
  }
  FreeLibrary(exe);
}

}  // namespace
