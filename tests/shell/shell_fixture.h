// A fixture store in a temporary directory and a scripted Ui port for the shell's tests.
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/text_file.h"
#include "shell/main_shell.h"
#include "tests/support/temp_dir.h"

namespace plumex::test {

// Records what commands show and answers from queues (OK / nothing when a queue is empty).
class FakeUi : public UiPort {
 public:
  struct Shown {
    std::string text;  // UTF-8
    MsgIcon icon;
    MsgButtons buttons;
  };
  std::vector<Shown> messages;
  std::deque<MsgAnswer> answers;
  std::deque<std::optional<std::string>> inputs;  // UTF-8
  std::vector<std::string> input_defaults;        // UTF-8
  std::optional<std::filesystem::path> save_file, folder;
  std::string status[2];
  std::string mode, account;
  std::vector<std::filesystem::path> opened_files;
  std::vector<std::string> opened_urls;

  MsgAnswer MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override {
    messages.push_back({Cp932ToUtf8(text), icon, buttons});
    if (answers.empty()) return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
    MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string& d) override {
    input_defaults.push_back(Cp932ToUtf8(d));
    if (inputs.empty()) return std::nullopt;
    auto a = inputs.front();
    inputs.pop_front();
    if (!a) return std::nullopt;
    return Utf8ToCp932(*a);
  }
  std::optional<std::filesystem::path> ChooseSaveFile(const std::string&, const std::string&) override { return save_file; }
  std::optional<std::filesystem::path> ChooseFolder(const std::string&) override { return folder; }
  void SetStatusText(int panel, const std::string& text) override { status[panel] = Cp932ToUtf8(text); }
  void SetProgress(int, int) override {}
  void SetModeLabel(const std::string& text, Rgb) override { mode = Cp932ToUtf8(text); }
  void SetAccountLabel(const std::string& text) override { account = Cp932ToUtf8(text); }
  void Pump() override {}
  void OpenFile(const std::filesystem::path& f) override { opened_files.push_back(f); }
  void OpenUrl(const std::string& u) override { opened_urls.push_back(u); }
};

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
