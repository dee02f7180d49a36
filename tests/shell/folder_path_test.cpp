#include "resolver/shell/folder_path.h"

#include <gtest/gtest.h>

#include "base/gbk_literal.h"
#include "resolver/shell/download_ids.h"

namespace {

TEST(ParentFolder, IsTheTextBeforeTheLastSlash) {
  const struct {
    std::string path, parent;
  } cases[] = {
      {"/a/b", "/a"},
      {"/a/b/c", "/a/b"},
      {"/a", ""},  // a top-level folder: its parent is the share's top level
      {"", ""},    // no folder opened yet
      {"a", ""},
      {"/", ""},
      {"/a/b/", "/a/b"},
      {base::Gbk("/资料 2017/照片"), base::Gbk("/资料 2017")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(shell::ParentFolder(c.path), c.parent);
  }
}

share::FileEntry Entry(int64_t id, int isdir) {
  share::FileEntry e;
  e.fs_id = id;
  e.isdir = isdir;
  return e;
}

TEST(TickedIds, LeaveFoldersOutWithoutZipAndKeepThemWithIt) {
  const std::vector<share::FileEntry> files = {Entry(11, 1), Entry(22, 0), Entry(3300000000LL, 0)};
  const struct {
    const char* what;
    std::vector<bool> ticked;
    bool zip;
    std::string ids;
  } cases[] = {
      {"files and a folder, single links", {true, true, true}, false, "22,3300000000"},
      {"files and a folder, batch", {true, true, true}, true, "11,22,3300000000"},
      {"only the folder, single links", {true, false, false}, false, ""},
      {"only the folder, batch", {true, false, false}, true, "11"},
      {"nothing ticked", {false, false, false}, true, ""},
      {"a ticked row without an entry", {false, true, false, true}, false, "22"},
      {"fewer rows than entries", {false, false}, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(shell::TickedIds(c.ticked, files, c.zip), c.ids);
  }
}

}  // namespace
