#include "platform/store_path.h"

#include <gtest/gtest.h>

#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

TEST(StorePath, SplitsAtSeparatorsButNotAtTrailBytes) {
  // "表" is 0x95 0x5C: its trail byte is the separator's byte.
  const std::string hyo = "\x95\x5C";
  EXPECT_EQ(SplitStorePath(Sjis("受信") + "\\" + hyo + "\\x\\"),
            (std::vector<std::string>{Sjis("受信"), hyo, "x"}));
  EXPECT_EQ(SplitStorePath("\\\\a"), (std::vector<std::string>{"a"}));
}

TEST(StorePath, NamesRoundTripIncludingInvalidBytes) {
  const std::string cases[] = {
      Sjis("受信"),
      "\x95\x5C\x8E\x86",   // 表示
      "abc\xFF\x80z",       // bytes that are not code page 932
      "\x81",               // a lone lead byte at the end
      "a/b",                // a slash inside a name
      ".", "..", "...",
      Sjis("ﾌｧｲﾙｻｲｽﾞ"),
  };
  for (const auto& name : cases) {
    std::string native = NativeName(name);
    EXPECT_EQ(native.find('/'), std::string::npos) << name;
    EXPECT_EQ(StoreName(native), name) << name;
  }
  EXPECT_EQ(NativeName(Sjis("受信")), "受信");
  EXPECT_NE(NativeName(".."), "..");
  EXPECT_EQ(NativeName("..."), "...");
}

TEST(StorePath, HostileNamesStayInsideTheRoot) {
  test::TempDir dir;
  auto p = ToNativePath(dir.path(), "..\\..\\etc");
  EXPECT_EQ(p.parent_path().parent_path().parent_path(), dir.path());
  EXPECT_EQ(ToNativePath(dir.path(), "a/../../b").parent_path(), dir.path());
}

TEST(StorePath, ListingGivesStoreNamesInStableOrder) {
  test::TempDir dir;
  for (const std::string& name : {Sjis("受信"), std::string("b"), std::string("a\xFF"), std::string("Attachment")})
    ASSERT_TRUE(EnsureDirectory(ToNativePath(dir.path(), name)));
  WriteLines(ToNativePath(dir.path(), "f.ini"), {});
  auto names = ListSubdirectories(dir.path());
  EXPECT_EQ(names, (std::vector<std::string>{"Attachment", "a\xFF", "b", Sjis("受信")}));
  EXPECT_EQ(ListFiles(dir.path()), (std::vector<std::string>{"f.ini"}));
}

}  // namespace
}  // namespace plumex

namespace plumex {
namespace {

TEST(StorePath, FullPathsRoundTripThroughText) {
  for (const char* native : {"/home/u/資料.pdf", "/tmp/a b/c", "relative/x.txt", "/"}) {
    std::string text = PathText(native);
    EXPECT_EQ(PathFromText(text), std::filesystem::path(native)) << native;
  }
  EXPECT_EQ(PathText("/home/資料"), "/home/" + Sjis("資料"));
}

}  // namespace
}  // namespace plumex
