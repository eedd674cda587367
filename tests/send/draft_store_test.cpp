// Drafts on disk: keys unique within a second, saving over a draft, the attachment list file.
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "platform/directories.h"
#include "platform/text_file.h"
#include "send/draft_store.h"
#include "store/folder_index.h"
#include "store/stored_message.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

class DraftStoreTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  const LocalDateTime now{2026, 12, 10, 9, 8, 7};
  std::filesystem::path Folder() const { return dir.path() / "一時保存"; }
  std::vector<std::string> Ids() const {
    std::vector<std::string> ids;
    const FolderIndex index = FolderIndex::LoadIfExists(Folder() / "temp.ini");
    for (const auto& row : index.Rows().Lines()) ids.push_back(row.substr(0, row.find('\t')));
    return ids;
  }
};

TEST_F(DraftStoreTest, TwoDraftsInOneSecondKeepTheirOwnFiles) {
  Draft first, second;
  first.subject = "first";
  first.body = {"one"};
  second.subject = "second";
  second.body = {"two"};
  const std::string a = SaveDraft(dir.path(), first, std::nullopt, now);
  const std::string b = SaveDraft(dir.path(), second, std::nullopt, now);
  EXPECT_NE(a, b);
  EXPECT_EQ(Ids().size(), 2u);
  EXPECT_NE(ReadFileBytes(Folder() / (a + ".txt"))->find("one"), std::string::npos);
  EXPECT_NE(ReadFileBytes(Folder() / (b + ".txt"))->find("two"), std::string::npos);
}

TEST_F(DraftStoreTest, SavingOverReplacesRowAndFilesAndDropsAnOldAttachmentList) {
  Draft draft;
  draft.subject = "v1";
  draft.attachments = {"/tmp/a.txt"};
  const std::string key = SaveDraft(dir.path(), draft, std::nullopt, now);
  EXPECT_EQ(DraftAttachments(dir.path(), key), std::vector<std::string>{"/tmp/a.txt"});
  draft.subject = "v2";
  draft.attachments.clear();
  EXPECT_EQ(SaveDraft(dir.path(), draft, key, {2026, 12, 10, 9, 9, 0}), key);
  EXPECT_EQ(Ids(), std::vector<std::string>{key});
  EXPECT_NE(ReadFileBytes(Folder() / (key + ".txt"))->find("v2"), std::string::npos);
  EXPECT_TRUE(DraftAttachments(dir.path(), key).empty());
  EXPECT_FALSE(FileExists(Folder() / "Attachment" / (key + ".ini")));
  // A key no longer in the index makes a new draft.
  EXPECT_NE(SaveDraft(dir.path(), draft, std::string("gone"), now), "gone");
}

TEST_F(DraftStoreTest, WhatWasTypedComesBackAfterARestart) {
  Draft draft;
  draft.to = Utf8ToCp932("김 <kim@example.kr>");
  draft.subject = Utf8ToCp932("会議😀 한국");
  draft.body = {Utf8ToCp932("Crème brûlée 🍰"), Utf8ToCp932("这是")};
  const std::string key = SaveDraft(dir.path(), draft, std::nullopt, now);
  // Read back from the files alone, as the program does when it starts again.
  const std::optional<StoredMessage> reopened = ReadStoredMessage(Folder() / (key + ".txt"));
  ASSERT_TRUE(reopened);
  EXPECT_EQ(Cp932ToUtf8(reopened->ValueOr(Utf8ToCp932("件名:"))), "会議😀 한국");
  EXPECT_EQ(Cp932ToUtf8(reopened->ValueOr(Utf8ToCp932("あて名:"))), "김 <kim@example.kr>");
  ASSERT_EQ(reopened->body_lines.size(), 2u);
  EXPECT_EQ(Cp932ToUtf8(reopened->body_lines[0]), "Crème brûlée 🍰");
  EXPECT_EQ(Cp932ToUtf8(reopened->body_lines[1]), "这是");
  const FolderIndex index = FolderIndex::LoadIfExists(Folder() / "temp.ini");
  ASSERT_EQ(index.Rows().Size(), 1u);
  EXPECT_NE(Cp932ToUtf8(index.Rows().Lines()[0]).find("会議😀 한국"), std::string::npos);
}

}  // namespace
}  // namespace plumex
