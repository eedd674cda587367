// Tree-node labels: the folder name, or name TAB "(n)" when the folder holds unread mail.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

std::string FolderNameOfLabel(std::string_view label);
std::string LabelOfFolder(std::string_view folder_name, long long unread_count);

}  // namespace plumex
