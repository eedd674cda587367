// The tests' Ui port: records everything the core shows and answers from queues (OK / Yes /
// nothing when a queue is empty). on_pump runs at every Pump, so a test can press "中止" at
// a chosen moment.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "text/code_page.h"
#include "port/ui_port.h"

namespace plumex::test {

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
  std::vector<std::string> input_prompts;         // caption, "|", prompt (UTF-8)
  std::optional<std::filesystem::path> save_file, folder;
  std::string status[2];  // UTF-8
  std::string mode, account;
  std::vector<std::filesystem::path> opened_files;
  std::vector<std::string> opened_urls;
  int pumps = 0;
  int progress = 0;  // the last position shown
  int compose_shown = 0, compose_hidden = 0;
  // Answers of the question before a refill of the compose window (true when empty), and how
  // often it was asked.
  std::deque<bool> refill_answers;
  int refill_questions = 0;
  std::function<void()> on_pump;
  // Runs while a message box is open, before it is answered.
  std::function<void()> on_message_box;
  // Rows the subject search chose, in order (-1: the choice taken off).
  std::vector<long long> chosen_rows;

  MsgAnswer MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override {
    messages.push_back({Cp932ToUtf8(text), icon, buttons});
    if (on_message_box) on_message_box();
    if (answers.empty()) return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
    MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt, const std::string& d) override {
    input_defaults.push_back(Cp932ToUtf8(d));
    input_prompts.push_back(Cp932ToUtf8(caption) + "|" + Cp932ToUtf8(prompt));
    if (inputs.empty()) return std::nullopt;
    auto a = inputs.front();
    inputs.pop_front();
    if (!a) return std::nullopt;
    return Utf8ToCp932(*a);
  }
  // Answered from `inputs` like an input box; counted apart.
  int password_boxes = 0;
  std::optional<std::string> PasswordBox(const std::string& caption, const std::string& prompt) override {
    ++password_boxes;
    return InputBox(caption, prompt, "");
  }
  std::optional<std::filesystem::path> ChooseSaveFile(const std::string&, const std::string&) override { return save_file; }
  std::optional<std::filesystem::path> ChooseFolder(const std::string&) override { return folder; }
  // The open dialogs asked (filter, several, initial filter; UTF-8) and the files they give.
  std::vector<std::string> open_dialogs;
  std::vector<std::filesystem::path> open_files;
  std::vector<std::filesystem::path> ChooseOpenFiles(const std::string& filter, bool several, int initial) override {
    open_dialogs.push_back(Cp932ToUtf8(filter) + (several ? "|several|" : "|one|") + std::to_string(initial));
    return open_files;
  }
  void SetStatusText(int panel, const std::string& text) override { status[panel] = Cp932ToUtf8(text); }
  void SetProgress(int position, int) override {
    if (position > 0) progress = position;
  }
  void SetModeLabel(const std::string& text, Rgb) override { mode = Cp932ToUtf8(text); }
  void SetAccountLabel(const std::string& text) override { account = Cp932ToUtf8(text); }
  void Pump() override {
    ++pumps;
    if (on_pump) on_pump();
  }
  void ChooseListRow(std::optional<size_t> row, bool) override {
    chosen_rows.push_back(row ? static_cast<long long>(*row) : -1);
  }
  // The checks before sending shown, and the answer to them (true: "送信").
  std::vector<SendCheck> send_checks;
  bool confirm_send = true;
  bool ConfirmSend(const SendCheck& check) override {
    send_checks.push_back(check);
    return confirm_send;
  }
  void ShowComposeWindow() override { ++compose_shown; }
  void HideComposeWindow() override { ++compose_hidden; }
  bool ResolveUnsentCompose() override {
    ++refill_questions;
    if (refill_answers.empty()) return true;
    const bool a = refill_answers.front();
    refill_answers.pop_front();
    return a;
  }
  void OpenFile(const std::filesystem::path& f) override { opened_files.push_back(f); }
  void OpenUrl(const std::string& u) override { opened_urls.push_back(u); }

  // The texts shown, in order (UTF-8).
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
  }
};

}  // namespace plumex::test
