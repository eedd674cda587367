#include "store/file_key.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/clock.h"
#include "text/sjis_text.h"
#include "store/generated_id.h"
#include "store/message_file_key.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

TEST(FileKey, SanitisesByCharacter) {
  struct Case {
    std::string id, key;
  };
  const Case cases[] = {
      {"<abc@example.jp>", "0abc@example.jp9"},
      {"<a b\"c@x>", "0abc@x9"},                           // space and double quote dropped
      {"\\/|*:?", "876 5_-"},                               // every replaced character
      {"\x95\x5C.xlsx", "\x95\x5C.xlsx"},                   // "表": its trail byte is a backslash
      {"\x83\x7C|", "\x83\x7C" "6"},                         // "ポ" (trail "|") and a real "|"
      {"\x91\xE6\x87\x5C\x8A\xFA.pdf", "\x91\xE6\x87\x5C\x8A\xFA.pdf"},  // "第Ⅸ期"
      {"a\x95", "a\x95"},                                     // a lead byte at the end: kept as it is
      {"\x95<", "\x95" "0"},                                 // a lead byte before no trail byte
      {".", "_"},
      {"..", "__"},
      {"...", "..."},
      {"", ""},
  };
  for (const auto& c : cases) {
    std::string expected = c.key;
    expected.erase(std::remove(expected.begin(), expected.end(), ' '), expected.end());
    EXPECT_EQ(MakeFileKey(c.id), expected) << c.id;
    EXPECT_EQ(MakeFileKey(expected), expected) << c.id;
    EXPECT_EQ(MakeAttachmentFileName(c.id), expected) << c.id;
  }
  // The key made byte by byte before, still used to find messages filed then.
  EXPECT_EQ(LegacyFileKey("<\x95\x5C@x>"), "0\x95" "8@x9");
  EXPECT_EQ(LegacyFileKey("<a@x>"), MakeFileKey("<a@x>"));
}

// A message filed under the byte-by-byte key is still found; a new one gets the new key, and
// the old key of another id is never taken for it.
TEST(FileKey, MessagesUnderTheirOldKeyAreStillFound) {
  test::TempDir dir;
  const std::string id = "<" + Sjis("表") + "@x>";
  const std::string old_key = LegacyFileKey(id);
  ASSERT_NE(old_key, MakeFileKey(id));
  EXPECT_EQ(FileKeyInFolder(dir.path(), id), MakeFileKey(id));
  WriteFileAtomic(dir.path() / NativeName(old_key + ".txt"), "Message-ID:" + id + "\r\n-------------------\r\n");
  EXPECT_EQ(FileKeyInFolder(dir.path(), id), old_key);
  WriteFileAtomic(dir.path() / NativeName(old_key + ".txt"), "Message-ID:<other>\r\n-------------------\r\n");
  EXPECT_EQ(FileKeyInFolder(dir.path(), id), MakeFileKey(id));
}

TEST(FileKey, GeneratedIdAndIdempotence) {
  LocalDateTime t{2009, 9, 8, 12, 34, 56};
  std::string id = GeneratedId(FormatReceivedDate(t));
  EXPECT_EQ(id, "<2009/09/08_12:34:56tomarind_Vantory>");
  EXPECT_EQ(MakeFileKey(id), "02009709708_12_34_56tomarind_Vantory9");
  EXPECT_EQ(MakeFileKey(MakeFileKey(id)), MakeFileKey(id));
  EXPECT_EQ(GeneratedId(FormatSentDate(t)), "<2009/09/08_123456tomarind_Vantory>");
}

TEST(FileKey, LongKeysAreShortenedStably) {
  std::string long_id = "<" + std::string(5000, 'x') + "@example.jp>";
  std::string key = MakeFileKey(long_id);
  EXPECT_LE(key.size(), kMaxFileKeyBytes);
  EXPECT_EQ(key.substr(0, 4), "0xxx");
  EXPECT_EQ(key[180], '~');
  EXPECT_EQ(MakeFileKey(key), key);
  // A different tail gives a different key even though the first 180 bytes agree.
  EXPECT_NE(MakeFileKey("<" + std::string(5000, 'x') + "@example.com>"), key);
  EXPECT_EQ(MakeFileKey(std::string(200, 'a')), std::string(200, 'a'));  // at the limit: unchanged
}

TEST(FileKey, ShorteningNeverSplitsACharacter) {
  std::string id = "a";
  for (int i = 0; i < 300; ++i) id += Sjis("あ");
  std::string key = MakeFileKey(id);
  size_t tilde = key.find('~');
  ASSERT_NE(tilde, std::string::npos);
  EXPECT_EQ(tilde % 2, 1u);  // "a" plus whole two-byte characters
}

TEST(FileKey, LongAttachmentNamesKeepTheirExtension) {
  std::string name = std::string(300, 'n') + ".pdf";
  std::string file = MakeAttachmentFileName(name);
  EXPECT_LE(file.size(), kMaxFileKeyBytes);
  EXPECT_EQ(file.substr(file.size() - 4), ".pdf");
  EXPECT_EQ(MakeAttachmentFileName(file), file);
  EXPECT_EQ(MakeAttachmentFileName("a:b?.txt"), "a_b-.txt");
}

}  // namespace
}  // namespace plumex
