// Drafts and reopening: "一時保存" keeps the message being written as a new draft,
// "一時保存上書き" saves it over the draft it was reopened from; double-clicking a row of the
// message list opens that message in the compose window again.
#pragma once

#include <ctime>
#include <functional>

#include "shell/main_shell.h"

namespace plumex {

class ComposeCommands;
class MergeSheetCommands;

class DraftCommands {
 public:
  DraftCommands(MainShell& shell, ComposeCommands& compose, MergeSheetCommands& sheet);

  void SetClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }
  // Saves the compose content as a draft and closes the compose window. With overwrite, the
  // draft the window was reopened from is replaced; there is none, a new draft is made.
  void Save(bool overwrite);
  // "一時保存上書き" has a draft to save over.
  bool CanOverwrite() const;
  // Double click on a row of the message list (not in server delete mode).
  void Reopen(size_t display_row);

 private:
  MainShell& shell_;
  ComposeCommands& compose_;
  MergeSheetCommands& sheet_;
  std::function<std::time_t()> clock_;
};

}  // namespace plumex
