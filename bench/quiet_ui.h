// The benchmarks' Ui port: answers OK to every message, nothing to every question, shows
// nothing, so that what is timed is the core's own work.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "port/ui_port.h"

namespace plumex::bench {

class QuietUi : public UiPort {
 public:
  MsgAnswer MessageBox(const std::string&, MsgIcon, MsgButtons) override { return MsgAnswer::Ok; }
  std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string&) override { return {}; }
  std::optional<std::filesystem::path> ChooseSaveFile(const std::string&, const std::string&) override { return {}; }
  std::optional<std::filesystem::path> ChooseFolder(const std::string&) override { return {}; }
  std::vector<std::filesystem::path> ChooseOpenFiles(const std::string&, bool, int) override { return {}; }
  void SetStatusText(int, const std::string&) override {}
  void SetProgress(int, int) override {}
  void SetModeLabel(const std::string&, Rgb) override {}
  void SetAccountLabel(const std::string&) override {}
  void Pump() override {}
  void OpenFile(const std::filesystem::path&) override {}
  void OpenUrl(const std::string&) override {}
};

}  // namespace plumex::bench
