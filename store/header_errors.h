// "HeaderERR.ini" in the mail root: the invalid rows met by the last listing that met any.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace plumex {

// A row with fewer than eight fields.
bool IsInvalidRow(const std::string& row);

// Overwrites mail_root/HeaderERR.ini with the rows, exactly as they stood in the index.
void WriteHeaderErrors(const std::filesystem::path& mail_root, const std::vector<std::string>& rows);

}  // namespace plumex
