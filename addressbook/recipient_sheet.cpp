#include "addressbook/recipient_sheet.h"

#include "addressbook/address_texts.h"
#include "text/sjis_text.h"
#include "platform/text_file.h"

namespace plumex {

std::vector<std::string> RecipientSheetLines(const std::vector<std::string>& to_entries) {
  std::vector<std::string> lines{Sjis(texts::kSheetTitle)};
  lines.insert(lines.end(), to_entries.begin(), to_entries.end());
  return lines;
}

void WriteRecipientSheet(const std::filesystem::path& file, const std::vector<std::string>& to_entries) {
  WriteLines(file, RecipientSheetLines(to_entries));
}

}  // namespace plumex
