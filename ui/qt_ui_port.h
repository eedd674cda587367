// The Ui port over Qt: message boxes, input boxes and file dialogs, and the main window's
// labels, status bar and progress bar. Tests derive from it to answer dialogs from a script.
#pragma once

#include <QPointer>
#include <QString>
#include <string>

#include "port/ui_port.h"

class QWidget;

namespace plumex {

class TfrmMain;

// A file dialog's filter list from a filter text of the core: "caption|pattern|..." pairs or
// one caption holding its pattern in parentheses.
QString DialogFilterOf(const std::string& filter);

class QtUiPort : public UiPort {
 public:
  void Attach(TfrmMain* window) { window_ = window; }

  MsgAnswer MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& default_text) override;
  std::optional<std::string> PasswordBox(const std::string& caption, const std::string& prompt) override;
  std::optional<std::filesystem::path> ChooseSaveFile(const std::string& default_name,
                                                      const std::string& filter) override;
  std::optional<std::filesystem::path> ChooseFolder(const std::string& caption) override;
  std::vector<std::filesystem::path> ChooseOpenFiles(const std::string& filter, bool several,
                                                     int initial_filter) override;
  void SetStatusText(int panel, const std::string& text) override;
  void SetProgress(int position, int maximum) override;
  void SetModeLabel(const std::string& text, Rgb background) override;
  void SetAccountLabel(const std::string& text) override;
  void Pump() override;
  void OpenFile(const std::filesystem::path& file) override;
  void OpenUrl(const std::string& url) override;
  void ViewerChanged() override;
  void ChooseListRow(std::optional<size_t> display_row, bool to_top) override;
  void ShowComposeWindow() override;
  void HideComposeWindow() override;
  bool ResolveUnsentCompose() override;
  void DelayedSendChanged(bool active) override;
  void MergeSent() override;
  void RunStateChanged(bool busy) override;
  bool ConfirmSend(const SendCheck& check) override;

  // The window a dialog opened now belongs to (see ui/dialog_owner.h).
  QWidget* DialogParent() const;

 protected:
  QPointer<TfrmMain> window_;
};

}  // namespace plumex
