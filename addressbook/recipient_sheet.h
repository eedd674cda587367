// The exported recipient list: a one-column mail-merge sheet whose title row is "宛先".
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace plumex {

std::vector<std::string> RecipientSheetLines(const std::vector<std::string>& to_entries);
// Writes the sheet (code page 932, CR LF) whole; throws FileWriteError.
void WriteRecipientSheet(const std::filesystem::path& file, const std::vector<std::string>& to_entries);

}  // namespace plumex
