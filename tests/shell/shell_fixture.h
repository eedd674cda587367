// A fixture store in a temporary directory and a scripted Ui port for the shell's tests.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "shell/main_shell.h"
#include "tests/support/fake_ui.h"
#include "tests/support/temp_dir.h"

namespace plumex::test {

// UTF-8 fields joined into a CP932 index row.
inline std::string Row(const std::string& id, const std::string& subject, const std::string& from,
                       const std::string& date, const std::string& size, const std::string& attach,
                       const std::string& mark, const std::string& priority = "2") {
  return Utf8ToCp932(id + "\t" + subject + "\t" + from + "\t" + date + "\t" + size + "\t" + attach + "\t" + mark + "\t" + priority);
}

class StoreFixture {
 public:
  TempDir dir;
  FakeUi ui;
  const std::filesystem::path& root() const { return dir.path(); }
  // root / a native path given in UTF-8 with "/" separators.
  std::filesystem::path At(const std::string& utf8) const { return root() / std::filesystem::path(utf8); }

  void WriteUtf8Lines(const std::string& file, const std::vector<std::string>& utf8_lines) {
    std::vector<std::string> lines;
    for (const auto& l : utf8_lines) lines.push_back(Utf8ToCp932(l));
    WriteRaw(file, lines);
  }
  void WriteRaw(const std::string& file, const std::vector<std::string>& lines) {
    std::filesystem::create_directories(At(file).parent_path());
    WriteLines(At(file), lines);
  }
  std::vector<std::string> ReadUtf8Lines(const std::string& file) const {
    std::vector<std::string> lines, out;
    ReadLines(At(file), lines);
    for (const auto& l : lines) out.push_back(Cp932ToUtf8(l));
    return out;
  }
  std::string ReadText(const std::string& file) const { return ReadFileBytes(At(file)).value_or("<missing>"); }
};

// Labels of a tree, depth first, indented by level, TAB shown as "|" (UTF-8).
std::vector<std::string> TreeLabels(const FolderTree& tree);

}  // namespace plumex::test
