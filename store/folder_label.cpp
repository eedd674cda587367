#include "store/folder_label.h"

namespace plumex {

std::string FolderNameOfLabel(std::string_view label) { return std::string(label.substr(0, label.find('\t'))); }

std::string LabelOfFolder(std::string_view folder_name, long long unread_count) {
  std::string label(folder_name);
  if (unread_count >= 1) label += "\t(" + std::to_string(unread_count) + ")";
  return label;
}

}  // namespace plumex
