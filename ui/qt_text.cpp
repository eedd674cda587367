#include "ui/qt_text.h"

#include "text/code_page.h"

namespace plumex {

QString ToQ(std::string_view cp932) {
  bool ascii = true;
  for (char c : cp932)
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  if (ascii) return QString::fromLatin1(cp932.data(), static_cast<qsizetype>(cp932.size()));
  std::string utf8 = Cp932ToUtf8(cp932);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQ(const QString& text) {
  QByteArray utf8 = text.toUtf8();
  return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

QString PathToQ(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }
std::filesystem::path PathFromQ(const QString& path) { return std::filesystem::path(path.toStdString()); }

}  // namespace plumex
