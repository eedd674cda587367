#include "port/error_text.h"

#include <filesystem>

#include "platform/code_page.h"
#include "platform/sjis_text.h"
#include "platform/store_path.h"
#include "platform/system_error_text.h"

namespace plumex {

std::string ErrorText(const std::exception& error) {
  if (dynamic_cast<const AppError*>(&error)) return error.what();
  if (dynamic_cast<const std::filesystem::filesystem_error*>(&error)) return AsAppError(error).text();
  if (auto* system = dynamic_cast<const std::system_error*>(&error))
    return Sjis("処理を続けられませんでした。") + "\r\n" + SystemErrorText(system->code());
  return Sjis("処理を続けられませんでした。") + "\r\n" + Utf8ToCp932(error.what());
}

AppError AsAppError(const std::exception& error) {
  if (auto* app = dynamic_cast<const AppError*>(&error)) return *app;
  if (auto* fs = dynamic_cast<const std::filesystem::filesystem_error*>(&error))
    return AppError(ErrorKind::LocalFile, Sjis("ファイルを読み書きできませんでした: ") + DisplayPath(fs->path1()) + "\r\n" +
                                              SystemErrorText(fs->code()));
  return AppError(ErrorKind::Protocol, ErrorText(error));
}

void ShowError(UiPort& ui, const std::exception& error) { ui.MessageBox(ErrorText(error), MsgIcon::Error); }

}  // namespace plumex

namespace plumex {

bool RunShowingErrors(UiPort& ui, const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (const std::exception& e) {
    ShowError(ui, e);
  } catch (...) {
    ui.MessageBox(Sjis("処理を続けられませんでした。"), MsgIcon::Error);
  }
  return false;
}

}  // namespace plumex
