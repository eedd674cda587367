#include "store/header_errors.h"

#include "platform/text_file.h"
#include "store/index_row.h"
#include "store/store_layout.h"
#include "store/tab_line.h"

namespace plumex {

bool IsInvalidRow(const std::string& row) { return FieldCount(row) < kIndexRowFields; }

void WriteHeaderErrors(const std::filesystem::path& mail_root, const std::vector<std::string>& rows) {
  WriteLines(mail_root / std::string(kHeaderErrorsName), rows);
}

}  // namespace plumex
