#include "shell/library_versions.h"

#include <cstdio>

#include <jpeglib.h>

#include "protocol/library_versions.h"
#include "search/icu_version.h"

namespace plumex {

std::string VersionInformation(const std::string& program_version, const std::filesystem::path& mail_root,
                               const std::string& qt_version) {
  std::string text = "　　　 Plumex Ver5\n";
  text += "バージョン " + program_version + "\n\n";
  text += "メールの保存場所: " + mail_root.string() + "\n\n";
  text += "ライブラリ:\n";
  if (!qt_version.empty()) text += "  Qt " + qt_version + "\n";
  text += "  GMime " + GMimeVersion() + "\n";
  text += "  " + OpenSslVersion() + "\n";
  text += "  libjpeg " + std::to_string(JPEG_LIB_VERSION / 10) + (JPEG_LIB_VERSION % 10 ? std::string(1, static_cast<char>('a' + JPEG_LIB_VERSION % 10 - 1)) : std::string()) + "\n";
  text += "  ICU " + IcuVersion() + "\n";
  return text;
}

}  // namespace plumex
