#include "port/error_text.h"

#include <filesystem>
#include <new>
#include <string_view>
#include <system_error>

#include "text/code_page.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/system_error_text.h"

namespace plumex {
namespace {

// The texts of failures that come from this machine rather than from a server or the user.
constexpr std::string_view kFileFailure = "ファイルを読み書きできませんでした: ";
constexpr std::string_view kOutOfMemory = "メモリが足りないため、処理を続けられませんでした。";
constexpr std::string_view kLocalFailure = "このコンピュータでの処理に失敗したため、続けられませんでした。";

}  // namespace

AppError AsAppError(const std::exception& error) {
  if (auto* app = dynamic_cast<const AppError*>(&error)) return *app;
  if (auto* fs = dynamic_cast<const std::filesystem::filesystem_error*>(&error))
    return AppError(ErrorKind::LocalFile,
                    Sjis(kFileFailure) + DisplayPath(fs->path1()) + "\r\n" + SystemErrorText(fs->code()));
  if (dynamic_cast<const std::bad_alloc*>(&error)) return AppError(ErrorKind::Local, Sjis(kOutOfMemory));
  // Anything else was thrown by the standard library or a library below it: the system's
  // reason where it gave one, else the library's own (UTF-8 or ASCII) text.
  if (auto* system = dynamic_cast<const std::system_error*>(&error))
    return AppError(ErrorKind::Local, Sjis(kLocalFailure) + "\r\n" + SystemErrorText(system->code()));
  return AppError(ErrorKind::Local, Sjis(kLocalFailure) + "\r\n" + Utf8ToCp932(error.what()));
}

std::string ErrorText(const std::exception& error) {
  if (dynamic_cast<const AppError*>(&error)) return error.what();
  return AsAppError(error).text();
}

void ShowError(UiPort& ui, const std::exception& error) { ui.MessageBox(ErrorText(error), MsgIcon::Error); }

std::string UnknownFailureText() { return Sjis(kLocalFailure); }

bool RunShowingErrors(UiPort& ui, const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (const std::exception& e) {
    ShowError(ui, e);
  } catch (...) {
    ui.MessageBox(UnknownFailureText(), MsgIcon::Error);
  }
  return false;
}

}  // namespace plumex
