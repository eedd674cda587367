// The start-up password: set and removed from the menu, asked for at start through the core.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "settings/start_password.h"
#include "shell/app_core.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

class StartPasswordTest : public ::testing::Test, public StoreFixture {
 protected:
  void SetUp() override { WriteUtf8Lines("Account.ini", {"A\tpop.a\tu\tp\tsmtp.a\ta@x\t110\t25\t0"}); }
  // A store locked with `password` by "する".
  void Lock(const std::string& password) {
    AppCore core(ui, root());
    ASSERT_TRUE(core.Start());
    ui.inputs = {password, password};  // typed twice
    core.StartPassword().TurnOn();
    ASSERT_EQ(ui.password_boxes, 2);
    ASSERT_TRUE(core.State().StartPasswordOn);
    core.Shutdown(core.State().Settings);
    ui.messages.clear();
  }
};

TEST_F(StartPasswordTest, StoredTextIsAPrivateOneWayRecord) {
  Lock("Secret-1");
  const std::string record = ReadText("Pass.dat");
  ASSERT_EQ(record.size(), 68u);
  const size_t length = static_cast<unsigned char>(record[10]);
  EXPECT_LE(length, 50u);
  const std::string stored = record.substr(11, length);
  EXPECT_EQ(stored.find("Secret"), std::string::npos);
  EXPECT_EQ(stored.find("SECRET"), std::string::npos);
  EXPECT_TRUE(PasswordMatches("sEcReT-1", stored));  // letters match without regard to case
  EXPECT_FALSE(PasswordMatches("Secret-2", stored));
  EXPECT_NE(StoredPasswordText("Secret-1"), StoredPasswordText("Secret-1"));  // salted: differs per store
  struct stat st{};
  ASSERT_EQ(::stat(At("Pass.dat").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(StartPasswordTest, RefusedPasswordsChangeNothing) {
  const std::pair<std::vector<std::optional<std::string>>, std::vector<std::string>> cases[] = {
      {{std::nullopt}, {"パスワードが半角でないので中止します。"}},  // cancelled
      {{""}, {"パスワードが半角でないので中止します。"}},
      {{"ｱｲｳ"}, {"パスワードが半角でないので中止します。"}},  // half-width katakana
      {{"abc全角"}, {"パスワードが半角でないので中止します。"}},
      {{std::string(51, 'a')}, {"パスワードは半角50文字以内で入力してください。"}},
      {{"abc123", "abc124"}, {"パスワードが一致しないので中止します。"}},  // the second typing differs
      {{"abc123", std::nullopt}, {}},                                       // the second is cancelled
  };
  AppCore core(ui, root());
  ASSERT_TRUE(core.Start());
  for (const auto& [answer, message] : cases) {
    ui.messages.clear();
    ui.inputs.assign(answer.begin(), answer.end());
    core.StartPassword().TurnOn();
    EXPECT_EQ(ui.Texts(), message) << answer.front().value_or("<cancel>");
    EXPECT_FALSE(core.State().StartPasswordOn);
    EXPECT_FALSE(std::filesystem::exists(At("Pass.dat")));
  }
}

TEST_F(StartPasswordTest, TheStartAsksAndEndsOnAWrongOrCancelledAnswer) {
  Lock("abc123");
  const std::string accounts = ReadText("Account.ini");
  struct Case {
    std::vector<std::optional<std::string>> answers;
    bool starts;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {{"ABC123"}, true, {}},
      {{"全角", "abc123"}, true, {}},  // not a password at all: asked again
      {{"wrong"}, false, {"パスワードが間違っています。起動は失敗です。"}},
      {{std::nullopt}, false, {}},  // Cancel ends the program
  };
  for (const auto& c : cases) {
    ui.messages.clear();
    ui.inputs.assign(c.answers.begin(), c.answers.end());
    AppCore core(ui, root());
    EXPECT_EQ(core.Start(), c.starts);
    EXPECT_EQ(ui.Texts(), c.messages);
    EXPECT_EQ(core.State().AccountList.empty(), !c.starts);  // nothing loaded after a refusal
    core.Shutdown(core.State().Settings);
    EXPECT_EQ(ReadText("Account.ini"), accounts);  // and nothing written over
  }
}

TEST_F(StartPasswordTest, TurningOffAndALockWithoutPassword) {
  Lock("abc123");
  {
    AppCore core(ui, root());
    ui.inputs = {"abc123"};
    ASSERT_TRUE(core.Start());
    std::filesystem::remove(At("Pass.dat"));  // gone already: the lock goes off all the same
    ui.messages.clear();
    core.StartPassword().TurnOff();
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"起動時のパスワード設定を無効にします。\r\n    よろしいですか？",
                                                     "パスワード設定ファイルを削除しました。"}));
    EXPECT_FALSE(core.State().StartPasswordOn);
  }
  // A store whose settings say the lock is on but that has no Pass.dat opens, says so once and
  // clears the setting.
  WriteUtf8Lines("plumex.ini", {"[Start]", "Pass=1"});
  ui.messages.clear();
  AppCore core(ui, root());
  EXPECT_TRUE(core.Start());
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"起動時パスワードが設定されていないため、解除しました。"});
  EXPECT_FALSE(core.State().StartPasswordOn);
  EXPECT_FALSE(core.State().AccountList.empty());
}

}  // namespace
}  // namespace plumex::test
