// The address books of a store: one file "<book name>.adr" each in the folder Address, code
// page 932 lines with CR LF ends. Book names are CP932 text; the files carry their native form.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

// Whether a name can be a book: not empty once blanks and control characters are trimmed,
// none of \ / : * ? " < > | or a control character (read by whole characters, so the trail
// byte of a kanji never counts as one), and not "." or "..". Anything else could land outside
// the Address folder or name no file at all.
bool IsUsableBookName(std::string_view name);

class BookFolder {
 public:
  // dir: the native path of MailRoot\Address\.
  explicit BookFolder(std::filesystem::path dir) : dir_(std::move(dir)) {}

  const std::filesystem::path& Dir() const { return dir_; }
  // The names of the "*.adr" files, in the order of the folder's listing (byte order).
  std::vector<std::string> Books() const;
  std::filesystem::path PathOf(std::string_view book) const;
  bool Exists(std::string_view book) const;
  // The lines of a book; none when its file is missing.
  std::vector<std::string> Load(std::string_view book) const;
  // Writes the book whole and atomically (the folder is made when missing).
  void Save(std::string_view book, const std::vector<std::string>& lines) const;
  // Renames the file; false (and nothing changed) when that fails.
  bool Rename(std::string_view from, std::string_view to) const;
  void Remove(std::string_view book) const;

 private:
  std::filesystem::path dir_;
};

}  // namespace plumex
