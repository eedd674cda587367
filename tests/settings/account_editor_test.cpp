#include "settings/account_editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "store/store_layout.h"
#include "store/tab_line.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

// Records what the account code asks of the main window.
class FakeHooks : public AccountHooks {
 public:
  std::vector<std::string> nodes;
  std::vector<std::string> loaded;
  std::string selected;
  Pop3Settings pop3;

  FakeHooks() = default;
  explicit FakeHooks(std::vector<std::string> initial_nodes) : nodes(std::move(initial_nodes)) {}

  bool HasAccountNode(std::string_view name) override {
    return std::find(nodes.begin(), nodes.end(), name) != nodes.end();
  }
  void AddAccountNode(std::string_view name) override { nodes.emplace_back(name); }
  bool RenameAccountNode(std::string_view old_name, std::string_view new_name) override {
    auto it = std::find(nodes.begin(), nodes.end(), old_name);
    if (it == nodes.end()) return false;
    *it = new_name;
    return true;
  }
  void RemoveAccountNode(std::string_view name) override { std::erase(nodes, std::string(name)); }
  void AccountLoaded(AccountInUse in_use) override {
    loaded.push_back(in_use.record.name);
    pop3 = in_use.pop3;
  }
  void ConfigurePop3(const Pop3Settings& settings) override { pop3 = settings; }
  void SelectAccountNode(std::string_view name) override { selected = name; }
};

void Fill(AccountForm& f, const std::string& name) {
  f.name = name;
  f.address = name + "@example.jp";
  f.pop_host = "pop." + name;
  f.smtp_host = "smtp." + name;
  f.user = name;
  f.password = "pw";
}

std::filesystem::path AccountDir(const test::TempDir& dir, const std::string& name) {
  return ToNativePath(dir.path(), AccountFolderPath(name));
}

// The main window's account state, owned by the test.
class AccountEditorTest : public ::testing::Test {
 protected:
  struct Owned {
    std::vector<std::string> account_list;
    size_t account_position = 1;
    std::string current_account;
  };
  Owned owned;
  AccountState state{owned.account_list, owned.account_position, owned.current_account};
};

TEST_F(AccountEditorTest, FirstAccountInAnEmptyStore) {
  test::TempDir dir;
  FakeHooks hooks;
  AccountEditor editor(dir.path(), state, hooks);
  editor.Open();
  EXPECT_FALSE(editor.add_button_visible());
  // Nothing filled in yet: closing says what is missing.
  EXPECT_EQ(editor.Close().message, Sjis("タイトルと必須項目だけは入力してください。\r\n\r\n入力されていない項目: "
                                         "アカウント名、自分のメールアドレス、受信サーバ、送信サーバ、ユーザ名(ID)、パスワード"));
  editor.form().name = "home";
  editor.form().password = "pw";
  const std::string missing = editor.Close().message;
  EXPECT_TRUE(missing.ends_with(Sjis("項目: 自分のメールアドレス、受信サーバ、送信サーバ、ユーザ名(ID)"))) << missing;

  Fill(editor.form(), "home");
  editor.form().signature = {"--", "%SSdate%"};
  auto saved = editor.Save();
  EXPECT_TRUE(saved.ok);
  EXPECT_EQ(saved.message, Sjis("保存しました。"));
  EXPECT_TRUE(editor.add_button_visible());
  ASSERT_EQ(state.account_list.size(), 1u);
  EXPECT_EQ(state.account_list[0], "home\tpop.home\thome\tpw\tsmtp.home\thome@example.jp\t110\t25\t0\t>\t0\t0");
  EXPECT_EQ(hooks.nodes, std::vector<std::string>{"home"});
  std::vector<std::string> signature;
  ASSERT_TRUE(ReadLines(AccountDir(dir, "home") / "syomei.ini", signature));
  EXPECT_EQ(signature, (std::vector<std::string>{"--", "%SSdate%"}));

  EXPECT_TRUE(editor.Close().ok);
  EXPECT_EQ(LoadAccountList(dir.path()), state.account_list);
  EXPECT_EQ(hooks.selected, "home");
  EXPECT_EQ(hooks.pop3.host, "pop.home");
}

TEST_F(AccountEditorTest, AddModeRefusesNamesTakenIgnoringCase) {
  test::TempDir dir;
  state.account_list = {"Work\tpop\tu\tp\tsmtp\tme@x\t110\t25\t0"};  // nine fields
  FakeHooks hooks(std::vector<std::string>{"Work"});
  AccountEditor editor(dir.path(), state, hooks);
  editor.Open();
  EXPECT_EQ(editor.form().reply_mark, ">");

  ASSERT_TRUE(editor.AddOrCancel().ok);
  EXPECT_TRUE(editor.add_mode());
  EXPECT_EQ(editor.form().name, "");
  EXPECT_EQ(editor.position(), 2u);
  EXPECT_EQ(state.account_position, 1u);  // the account in use stays
  EXPECT_EQ(editor.Close().message, Sjis("保存、中止のどちらかを選択してください。"));

  Fill(editor.form(), "WORK");
  EXPECT_EQ(editor.Save().message, Sjis("同一のアカウント名が存在します。アカウント名を変えてください。"));
  EXPECT_TRUE(editor.add_mode());
  editor.form().name = "Wor";  // a leading part of an existing name is fine
  EXPECT_TRUE(editor.Save().ok);
  EXPECT_EQ(state.account_list.size(), 2u);

  editor.form().smtp_port = "70000";
  EXPECT_EQ(editor.Save().message, Sjis("ポート番号は1～65535の数字で入力してください。"));
}

TEST_F(AccountEditorTest, CancelReturnsToTheRecordShownBefore) {
  test::TempDir dir;
  state.account_list = {"a\tpop\tu\tp\tsmtp\tme@x\t110\t25\t0"};
  FakeHooks hooks;
  AccountEditor editor(dir.path(), state, hooks);
  editor.Open();
  editor.AddOrCancel();
  editor.AddOrCancel();
  EXPECT_FALSE(editor.add_mode());
  EXPECT_EQ(state.account_position, 1u);
  EXPECT_EQ(editor.form().name, "a");
}

TEST_F(AccountEditorTest, RenameMovesTheFolderAndNineFieldsSaveAsTwelve) {
  test::TempDir dir;
  state.account_list = {"old\tpop\tu\tp\tsmtp\tme@x\t110\t25\t-1"};
  FakeHooks hooks(std::vector<std::string>{"old"});
  EnsureDirectory(AccountDir(dir, "old"));
  WriteLines(AccountDir(dir, "old") / "MsgID.ini", {"row"});
  AccountEditor editor(dir.path(), state, hooks);
  editor.Open();
  editor.form().name = "new";
  ASSERT_TRUE(editor.Save().ok);
  EXPECT_FALSE(DirectoryExists(AccountDir(dir, "old")));
  EXPECT_TRUE(FileExists(AccountDir(dir, "new") / "MsgID.ini"));
  EXPECT_TRUE(FileExists(AccountDir(dir, "new") / "AlreadMsgID.ini"));
  EXPECT_EQ(hooks.nodes, std::vector<std::string>{"new"});
  EXPECT_EQ(state.account_list[0], "new\tpop\tu\tp\tsmtp\tme@x\t110\t25\t-1\t>\t0\t0");
}

// A folder of the new name already there (left by an account deleted before, say): the rename
// is refused with the folder named, and the record, the node and the mail stay as they were.
TEST_F(AccountEditorTest, RenameOntoAnExistingFolderIsRefused) {
  test::TempDir dir;
  state.account_list = {"old\tpop\tu\tp\tsmtp\tme@x\t110\t25\t-1"};
  FakeHooks hooks(std::vector<std::string>{"old"});
  EnsureDirectory(AccountDir(dir, "old"));
  EnsureDirectory(AccountDir(dir, "new"));
  WriteLines(AccountDir(dir, "old") / "MsgID.ini", {"row"});
  WriteLines(AccountDir(dir, "new") / "MsgID.ini", {"other"});
  AccountEditor editor(dir.path(), state, hooks);
  editor.Open();
  editor.form().name = "new";
  const auto outcome = editor.Save();
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.message, Sjis("フォルダ「受信\\new\\」がすでにあるため、アカウント名を変更できません。"));
  EXPECT_EQ(hooks.nodes, std::vector<std::string>{"old"});
  EXPECT_EQ(FieldOf(state.account_list[0], 0), "old");
  EXPECT_TRUE(FileExists(AccountDir(dir, "old") / "MsgID.ini"));
  EXPECT_EQ(*ReadFileBytes(AccountDir(dir, "new") / "MsgID.ini"), "other\r\n");
}

// The arrows only show records; "閉じる" makes the record shown the account in use.
TEST_F(AccountEditorTest, BrowsingChangesNothingUntilClosed) {
  test::TempDir dir;
  state.account_list = {"a\tpop.a\tu\tp\tsmtp\ta@x\t110\t25\t0", "b\tpop.b\tu\tp\tsmtp\tb@x\t995\t25\t0\t>\t-1\t0",
                        "c\tpop.c\tu\tp\tsmtp\tc@x\t110\t25\t0"};
  FakeHooks hooks;
  AccountEditor editor(dir.path(), state, hooks);
  editor.Open();
  editor.Next();
  EXPECT_EQ(editor.form().name, "b");
  EXPECT_EQ(editor.shown_number(), 2u);
  EXPECT_EQ(state.current_account, "a");
  EXPECT_EQ(state.account_position, 1u);
  EXPECT_EQ(hooks.pop3.host, "pop.a");
  EXPECT_FALSE(FileExists(AccountDir(dir, "b") / "AlreadMsgID.ini"));  // b is not used yet
  editor.Next();
  editor.Next();  // already the last
  EXPECT_EQ(editor.position(), 3u);
  editor.Previous();
  ASSERT_TRUE(editor.Close().ok);
  EXPECT_EQ(state.current_account, "b");
  EXPECT_EQ(state.account_position, 2u);
  EXPECT_EQ(hooks.pop3.host, "pop.b");
  EXPECT_TRUE(hooks.pop3.implicit_tls);
  EXPECT_EQ(hooks.selected, "b");
  EXPECT_TRUE(FileExists(AccountDir(dir, "b") / "AlreadMsgID.ini"));  // first use: empty list written
  EXPECT_EQ(hooks.loaded, (std::vector<std::string>{"a", "b"}));

  // Deleting a record shown while browsing keeps the account in use; reopened, the window
  // shows the account in use.
  editor.Previous();
  ASSERT_TRUE(editor.Delete().ok);
  EXPECT_EQ(state.current_account, "b");
  EXPECT_EQ(state.account_position, 1u);
  EXPECT_EQ(editor.form().name, "b");
  editor.Next();
  editor.ShowInUse();
  EXPECT_EQ(editor.form().name, "b");
  EXPECT_EQ(hooks.loaded, (std::vector<std::string>{"a", "b"}));
}

TEST_F(AccountEditorTest, DeletingTheLastAccountWritesAnEmptyFileOnClose) {
  test::TempDir dir;
  state.account_list = {"a\tpop.a\tu\tp\tsmtp\ta@x\t110\t25\t0"};
  SaveAccountList(dir.path(), state.account_list);
  EnsureDirectory(AccountDir(dir, "a"));
  FakeHooks hooks(std::vector<std::string>{"a"});
  AccountEditor editor(dir.path(), state, hooks);
  editor.Open();
  EXPECT_TRUE(editor.Delete().ok);
  EXPECT_FALSE(DirectoryExists(AccountDir(dir, "a")));
  EXPECT_TRUE(hooks.nodes.empty());
  EXPECT_TRUE(state.account_list.empty());
  EXPECT_TRUE(editor.Close().ok);
  EXPECT_TRUE(AccountFileExists(dir.path()));
  EXPECT_TRUE(LoadAccountList(dir.path()).empty());
}

// Saving a new record leaves the account in use as it was; saving that record once more must
// not take the earlier account's folder and node for a rename.
TEST_F(AccountEditorTest, SavingANewRecordTwiceLeavesTheOtherAccountAlone) {
  test::TempDir dir;
  state.account_list = {"a\tpop.a\tu\tp\tsmtp\ta@x\t110\t25\t0"};
  FakeHooks hooks(std::vector<std::string>{"a"});
  EnsureDirectory(AccountDir(dir, "a"));
  WriteLines(AccountDir(dir, "a") / "MsgID.ini", {"row"});
  AccountEditor editor(dir.path(), state, hooks);
  editor.Open();
  ASSERT_TRUE(editor.AddOrCancel().ok);
  Fill(editor.form(), "b");
  ASSERT_TRUE(editor.Save().ok);
  editor.form().signature = {"b's"};
  ASSERT_TRUE(editor.Save().ok);
  EXPECT_EQ(hooks.nodes, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(FileExists(AccountDir(dir, "a") / "MsgID.ini"));
  EXPECT_EQ(state.current_account, "a");  // still the account in use until "閉じる"
  ASSERT_EQ(state.account_list.size(), 2u);
  EXPECT_EQ(FieldOf(state.account_list[0], 0), "a");
  EXPECT_EQ(FieldOf(state.account_list[1], 0), "b");
}

TEST_F(AccountEditorTest, RenamesOntoTakenNamesAndFolderPathsAreRefused) {
  test::TempDir dir;
  state.account_list = {"Work\tpop\tu\tp\tsmtp\tw@x\t110\t25\t0", "home\tpop\tu\tp\tsmtp\th@x\t110\t25\t0"};
  FakeHooks hooks(std::vector<std::string>{"Work", "home"});
  EnsureDirectory(AccountDir(dir, "home"));
  WriteLines(AccountDir(dir, "home") / "MsgID.ini", {"row"});
  AccountEditor editor(dir.path(), state, hooks);
  editor.Open();
  editor.form().name = "HOME";
  EXPECT_EQ(editor.Save().message, Sjis("同一のアカウント名が存在します。アカウント名を変えてください。"));
  for (const char* name : {"home\\sub", "\\", "x\\"}) {
    editor.form().name = name;
    EXPECT_EQ(editor.Save().message, Sjis("アカウント名に「\\」は使えません。")) << name;
  }
  EXPECT_EQ(hooks.nodes, (std::vector<std::string>{"Work", "home"}));
  EXPECT_EQ(FieldOf(state.account_list[0], 0), "Work");

  editor.form().name = "work";  // its own name in other letter case is fine
  EXPECT_TRUE(editor.Save().ok);
  EXPECT_EQ(hooks.nodes, (std::vector<std::string>{"work", "home"}));
  EXPECT_EQ(state.current_account, "work");
  EXPECT_TRUE(FileExists(AccountDir(dir, "home") / "MsgID.ini"));
}

// "削除" deletes the record shown under its saved name, whatever was typed into the name field.
TEST_F(AccountEditorTest, DeleteUsesTheSavedNameNotTheTypedOne) {
  test::TempDir dir;
  state.account_list = {"a\tpop.a\tu\tp\tsmtp\ta@x\t110\t25\t0", "b\tpop.b\tu\tp\tsmtp\tb@x\t110\t25\t0"};
  FakeHooks hooks(std::vector<std::string>{"a", "b"});
  EnsureDirectory(AccountDir(dir, "b"));
  WriteLines(AccountDir(dir, "b") / "MsgID.ini", {"row"});
  EnsureDirectory(AccountDir(dir, "a"));
  AccountEditor editor(dir.path(), state, hooks);
  editor.Open();
  editor.form().name = "b";
  ASSERT_TRUE(editor.Delete().ok);
  EXPECT_FALSE(DirectoryExists(AccountDir(dir, "a")));
  EXPECT_TRUE(FileExists(AccountDir(dir, "b") / "MsgID.ini"));
  EXPECT_EQ(hooks.nodes, std::vector<std::string>{"b"});
  EXPECT_EQ(state.account_list.size(), 1u);
  EXPECT_EQ(state.current_account, "b");

  ASSERT_TRUE(editor.AddOrCancel().ok);  // a record being added has nothing to delete yet
  EXPECT_FALSE(editor.CanDelete());
  EXPECT_FALSE(editor.Delete().ok);
  EXPECT_EQ(state.account_list.size(), 1u);
}

// The log-in: an OAuth2 account needs no password, keeps its provider in fields 12 to 20, and
// a known address fills in the servers. Without a keyring (the tests have none) a password
// stays in field 3 and the user is told so once.
TEST_F(AccountEditorTest, LogInMethodPresetsAndTheKeyringNotice) {
  test::TempDir dir;
  FakeHooks hooks;
  AccountEditor editor(dir.path(), state, hooks);
  editor.Open();
  Fill(editor.form(), "home");
  auto saved = editor.Save();
  ASSERT_TRUE(saved.ok);
  EXPECT_NE(editor.notice().find(Sjis("キーリング(Secret Service)が見つからない")), std::string::npos);
  EXPECT_NE(editor.notice().find(Sjis("暗号化されずに送られます")), std::string::npos);  // no SSL
  EXPECT_EQ(FieldOf(state.account_list[0], 3), "pw");
  editor.form().pop_ssl = editor.form().smtp_ssl = true;
  ASSERT_TRUE(editor.Save().ok);
  EXPECT_EQ(editor.notice(), "");  // both said once

  ASSERT_TRUE(editor.AddOrCancel().ok);
  Fill(editor.form(), "work");
  editor.form().password.clear();
  editor.form().address = "Taro <taro@Outlook.jp>";
  editor.form().pop_host.clear();
  editor.form().user.clear();
  std::string notice;
  ASSERT_TRUE(editor.ApplyPreset(false, &notice));
  EXPECT_EQ(editor.form().pop_host, "outlook.office365.com");
  EXPECT_EQ(editor.form().pop_port, "995");
  EXPECT_EQ(editor.form().smtp_port, "587");
  EXPECT_TRUE(editor.form().pop_ssl && editor.form().smtp_ssl);
  EXPECT_EQ(editor.form().user, "taro@Outlook.jp");
  EXPECT_EQ(editor.form().oauth_provider, "microsoft");
  EXPECT_NE(notice.find(Sjis("サインイン")), std::string::npos);
  editor.form().oauth_tenant = "contoso.onmicrosoft.com";
  ASSERT_TRUE(editor.Save().ok);  // no password needed
  const AccountRecord work = AccountRecord::Parse(state.account_list[1]);
  EXPECT_TRUE(work.UsesOAuth2());
  EXPECT_EQ(work.password, "");
  EXPECT_EQ(work.oauth_tenant, "contoso.onmicrosoft.com");
  EXPECT_EQ(SplitTabLine(state.account_list[1]).size(), 21u);

  editor.form().address = "x@unknown.example";
  EXPECT_FALSE(editor.ApplyPreset(false, &notice));
  editor.form().address = "x@icloud.com";
  ASSERT_TRUE(editor.ApplyPreset(false, &notice));
  EXPECT_NE(notice.find(Sjis("POP3に対応していない")), std::string::npos);
}

}  // namespace
}  // namespace plumex
