#include "addressbook/book_folder.h"

#include "addressbook/address_texts.h"
#include "text/code_page.h"
#include "platform/directories.h"
#include "platform/store_path.h"
#include "platform/text_file.h"

namespace plumex {

bool IsUsableBookName(std::string_view name) {
  size_t first = 0, last = name.size();
  while (first < last && static_cast<unsigned char>(name[first]) <= 0x20) ++first;
  while (last > first && static_cast<unsigned char>(name[last - 1]) <= 0x20) --last;
  if (first == last || name == "." || name == "..") return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto b = static_cast<unsigned char>(name[i]);
    if (IsCp932LeadByte(b)) {
      ++i;  // the trail byte may be 0x5C or 0x7C and still be part of a kanji
      continue;
    }
    if (b < 0x20 || b == 0x7F) return false;
    if (std::string_view("\\/:*?\"<>|").find(static_cast<char>(b)) != std::string_view::npos) return false;
  }
  return true;
}

std::vector<std::string> BookFolder::Books() const {
  const std::string_view ext = texts::kBookExtension;
  std::vector<std::string> books;
  for (const auto& file : ListFiles(dir_))
    if (file.size() > ext.size() && file.compare(file.size() - ext.size(), ext.size(), ext) == 0)
      books.push_back(file.substr(0, file.size() - ext.size()));
  return books;
}

std::filesystem::path BookFolder::PathOf(std::string_view book) const {
  return dir_ / NativeName(std::string(book) + std::string(texts::kBookExtension));
}

bool BookFolder::Exists(std::string_view book) const { return FileExists(PathOf(book)); }

std::vector<std::string> BookFolder::Load(std::string_view book) const {
  std::vector<std::string> lines;
  ReadLines(PathOf(book), lines);
  return lines;
}

void BookFolder::Save(std::string_view book, const std::vector<std::string>& lines) const {
  EnsureDirectory(dir_);
  WriteLines(PathOf(book), lines);
}

bool BookFolder::Rename(std::string_view from, std::string_view to) const {
  return !TryMovePath(PathOf(from), PathOf(to));
}

void BookFolder::Remove(std::string_view book) const { TryRemove(PathOf(book)); }

}  // namespace plumex
