#include "store/header_errors.h"

#include "platform/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "store/index_row.h"
#include "store/store_layout.h"
#include "store/tab_line.h"

namespace plumex {

bool IsInvalidRow(const std::string& row) { return FieldCount(row) < kIndexRowFields; }

void WriteHeaderErrors(const std::filesystem::path& mail_root, const std::vector<std::string>& rows) {
  WriteLines(mail_root / std::string(kHeaderErrorsName), rows);
}

std::string HeaderErrorMessage(const std::filesystem::path& mail_root) {
  std::string root = DisplayPath(mail_root);
  if (root.empty() || root.back() != '/') root += '/';
  return Sjis("読み込めないメールのヘッダ情報が存在します。") + "\r\n\r\n" + root +
         Sjis("HeaderERR.iniとして別に保存しておきます。");
}

}  // namespace plumex
