// plumex-cli delete, move and maintain do to the store what the window does.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "tests/app/run_cli.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

class CliStoreTest : public ::testing::Test {
 protected:
  test::TempDir root;
  void Write(const std::string& file, const std::vector<std::string>& utf8_lines) {
    fs::create_directories((root.path() / file).parent_path());
    std::vector<std::string> lines;
    for (const auto& l : utf8_lines) lines.push_back(Utf8ToCp932(l));
    WriteLines(root.path() / file, lines);
  }
  std::vector<std::string> Ids(const std::string& file) {
    std::vector<std::string> lines, ids;
    ReadLines(root.path() / file, lines);
    for (const auto& l : lines) ids.push_back(Cp932ToUtf8(l.substr(0, l.find('\t'))));
    return ids;
  }
  void SetUp() override {
    Write("Account.ini", {"仕事\th", "私用\th"});
    Write("受信/仕事/MsgID.ini", {"<1@x>\ta\tf\td\t1\t2\t1\t2", "<2@x>\tb\tf\td\t1\t2\t2\t2", "<3@x>\tc\tf\td\t1\t2\t2\t2"});
    Write("受信/仕事/AlreadMsgID.ini", {"<1@x>", "<2@x>", "<3@x>"});
    for (const char* key : {"01@x9", "02@x9", "03@x9"}) Write(std::string("受信/仕事/") + key + ".txt", {"-------------------"});
    Write("受信/仕事/取引先/見積/MsgID.ini", {});
  }
};

TEST_F(CliStoreTest, MoveAndDeleteByMessageId) {
  Outcome moved = RunCli(root.path(), "move --account 仕事 --to 取引先/見積 '<1@x>' '<2@x>'");
  EXPECT_EQ(moved.status, 0) << moved.err;
  EXPECT_THAT(Ids("受信/仕事/取引先/見積/MsgID.ini"), ElementsAre("<1@x>", "<2@x>"));
  EXPECT_TRUE(fs::exists(root.path() / "受信/仕事/取引先/見積/01@x9.txt"));
  EXPECT_THAT(Ids("受信/仕事/AlreadMsgID.ini"), ElementsAre("<1@x>", "<2@x>", "<3@x>"));

  Outcome deleted = RunCli(root.path(), "delete --account 仕事 --folder 取引先/見積 '<2@x>'");
  EXPECT_EQ(deleted.status, 0) << deleted.err;
  EXPECT_THAT(Ids("受信/仕事/取引先/見積/MsgID.ini"), ElementsAre("<1@x>"));
  EXPECT_FALSE(fs::exists(root.path() / "受信/仕事/取引先/見積/02@x9.txt"));
  EXPECT_THAT(Ids("受信/仕事/AlreadMsgID.ini"), ElementsAre("<1@x>", "<3@x>"));

  // Unknown messages, folders and accounts fail with the reason and change nothing.
  for (const char* args : {"delete --account 仕事 '<9@x>'", "move --account 仕事 --to 無い '<3@x>'",
                           "delete --account 誰か '<3@x>'", "move --account 仕事 '<3@x>'"}) {
    Outcome failed = RunCli(root.path(), args);
    EXPECT_EQ(failed.status, 1) << args;
    EXPECT_FALSE(failed.err.empty()) << args;
  }
  EXPECT_THAT(Ids("受信/仕事/MsgID.ini"), ElementsAre("<3@x>"));

  // A row the target already lists stays, and the command fails saying so.
  Write("受信/仕事/取引先/見積/MsgID.ini", {"<3@x>\tc\tf\td\t1\t2\t2\t2"});
  Outcome duplicate = RunCli(root.path(), "move --account 仕事 --to 取引先/見積 '<3@x>'");
  EXPECT_EQ(duplicate.status, 1);
  EXPECT_NE(duplicate.err.find("はすでに同一メールが存在するので移動できません。"), std::string::npos) << duplicate.err;
}

TEST_F(CliStoreTest, MaintainPrintsWhatItDidPerFolder) {
  Write("受信/仕事/MsgID.ini", {"<1@x>\ta\tf\td\t1\t2\t1\t2", "<1@x>\tb\tf\td\t1\t2\t1\t2"});
  Write("受信/私用/MsgID.ini", {});
  Write("受信/私用/0lost@x9.txt", {"Message-ID:<lost@x>", "差出人:someone", "件名:s", "-------------------"});
  // Files without a "差出人" value (the fixture's own) get no row.
  Outcome done = RunCli(root.path(), "maintain");
  EXPECT_EQ(done.status, 0) << done.err;
  EXPECT_EQ(done.out, "受信\\仕事\\\tremoved 1\trebuilt 0\n受信\\私用\\\tremoved 0\trebuilt 1\n");
  EXPECT_THAT(Ids("受信/私用/MsgID.ini"), ElementsAre("<lost@x>"));
}

}  // namespace
}  // namespace plumex
