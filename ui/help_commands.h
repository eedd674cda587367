// The "ヘルプ" menu and the browser: the version box, the guide shipped with the program,
// the project's web page, and links opened in the desktop's browser.
#pragma once

#include <QUrl>
#include <filesystem>
#include <functional>
#include <string>

class QWidget;

namespace plumex {

// The project's web page ("オンラインヘルプ").
QUrl OnlineHelpUrl();

// "バージョン情報": the version, the mail root in use and the libraries (UTF-8).
std::string VersionText(const std::filesystem::path& mail_root);

// "使用方法": the Japanese guide in a help window of its own (made once, owned by parent);
// its links go to open_link.
QWidget* ShowGuide(QWidget* parent, std::function<void(const QUrl&)> open_link);

// Opens an address in the desktop's browser; false when the desktop has no browser (or
// could not start it).
bool OpenInBrowser(const QUrl& url);

}  // namespace plumex
