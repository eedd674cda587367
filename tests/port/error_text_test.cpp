// What a person is told about a failure, by what was thrown.
#include "port/error_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <exception>
#include <new>
#include <stdexcept>
#include <system_error>

#include "text/code_page.h"
#include "tests/support/fake_ui.h"

namespace plumex {
namespace {

std::string Utf8(const AppError& e) { return Cp932ToUtf8(e.text()); }

TEST(ErrorText, EachFailureIsReportedAsWhatItIs) {
  struct Case {
    const char* what;
    std::exception_ptr thrown;
    ErrorKind kind;
    std::vector<std::string> says;
  };
  const Case cases[] = {
      {"the project's own", std::make_exception_ptr(AppError(ErrorKind::Tls, Utf8ToCp932("証明書"))), ErrorKind::Tls,
       {"証明書"}},
      {"a file",
       std::make_exception_ptr(std::filesystem::filesystem_error(
           "open", "/tmp/受信/a.txt", std::make_error_code(std::errc::no_space_on_device))),
       ErrorKind::LocalFile,
       {"ファイルを読み書きできませんでした", "/tmp/受信/a.txt"}},
      {"out of memory", std::make_exception_ptr(std::bad_alloc()), ErrorKind::Local, {"メモリが足りない"}},
      {"a system call", std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::too_many_files_open))),
       ErrorKind::Local, {"このコンピュータでの処理に失敗"}},
      {"a library's own text", std::make_exception_ptr(std::out_of_range("stoi: 範囲外")), ErrorKind::Local,
       {"このコンピュータでの処理に失敗", "stoi: 範囲外"}},
  };
  for (const Case& c : cases) {
    AppError error(ErrorKind::Stopped, "");
    std::string text;
    try {
      std::rethrow_exception(c.thrown);
    } catch (const std::exception& e) {
      error = AsAppError(e);
      text = ErrorText(e);
    }
    EXPECT_EQ(error.kind(), c.kind) << c.what;
    EXPECT_EQ(text, error.text()) << c.what;
    for (const std::string& part : c.says) EXPECT_NE(Utf8(error).find(part), std::string::npos) << c.what << ": " << Utf8(error);
    EXPECT_EQ(Utf8(error).find("プロトコル"), std::string::npos) << c.what;
  }
}

TEST(ErrorText, ACommandThatThrowsAnythingShowsOneErrorAndReturnsFalse) {
  test::FakeUi ui;
  EXPECT_TRUE(RunShowingErrors(ui, [] {}));
  EXPECT_FALSE(RunShowingErrors(ui, [] { throw std::bad_alloc(); }));
  EXPECT_FALSE(RunShowingErrors(ui, [] { throw 42; }));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_NE(ui.messages[0].text.find("メモリが足りない"), std::string::npos);
  EXPECT_NE(ui.messages[1].text.find("このコンピュータでの処理に失敗"), std::string::npos);
  for (const auto& m : ui.messages) EXPECT_EQ(m.icon, MsgIcon::Error);
}

}  // namespace
}  // namespace plumex
