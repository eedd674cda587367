#include "store/file_key.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/clock.h"
#include "platform/sjis_text.h"
#include "store/generated_id.h"

namespace plumex {
namespace {

TEST(FileKey, SanitisesByteByByte) {
  struct Case {
    std::string id, key;
  };
  const Case cases[] = {
      {"<abc@example.jp>", "0abc@example.jp9"},
      {"<a b\"c@x>", "0abc@x9"},                           // space and double quote dropped
      {"\\/|*:?", "876 5_-"},                               // every replaced character
      {"\x95\x5C", "\x95" "8"},                             // trail byte 0x5C of "表"
      {"\x83\x7C", "\x83" "6"},                             // trail byte 0x7C of "ポ"
      {".", "_"},
      {"..", "__"},
      {"...", "..."},
      {"", ""},
  };
  for (const auto& c : cases) {
    std::string expected = c.key;
    expected.erase(std::remove(expected.begin(), expected.end(), ' '), expected.end());
    EXPECT_EQ(MakeFileKey(c.id), expected) << c.id;
  }
}

TEST(FileKey, GeneratedIdAndIdempotence) {
  LocalDateTime t{2009, 9, 8, 12, 34, 56};
  std::string id = GeneratedReceivedId(t);
  EXPECT_EQ(id, "<2009/09/08_12:34:56tomarind_Vantory>");
  EXPECT_EQ(MakeFileKey(id), "02009709708_12_34_56tomarind_Vantory9");
  EXPECT_EQ(MakeFileKey(MakeFileKey(id)), MakeFileKey(id));
  EXPECT_EQ(GeneratedDraftId(t), "<2009/09/08_123456tomarind_Vantory>");
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
