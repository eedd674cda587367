// The Ui port: the only way the core reaches a person. Commands ask questions, report, move
// the progress bar and let pending window messages run through it without knowing about
// windows. The window implements it with Qt, plumex-cli for a terminal, the tests as a
// recording fake. Texts are code page 932; file names chosen by the user are native paths.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "port/send_check.h"

namespace plumex {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, YesCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// 0xRRGGBB
using Rgb = std::uint32_t;
// The mode label's backgrounds, one name a colour: normal (aqua), receiving (green), server
// delete mode (magenta), new-mail check (white), extraction (yellow), related mail (silver).
inline constexpr Rgb kModeAqua = 0x00FFFF;
inline constexpr Rgb kModeGreen = 0x00FF00;
inline constexpr Rgb kModeMagenta = 0xFF00FF;
inline constexpr Rgb kModeWhite = 0xFFFFFF;
inline constexpr Rgb kModeYellow = 0xFFFF00;
inline constexpr Rgb kModeSilver = 0xC0C0C0;

class UiPort {
 public:
  virtual ~UiPort() = default;

  virtual MsgAnswer MessageBox(const std::string& text, MsgIcon icon = MsgIcon::None,
                               MsgButtons buttons = MsgButtons::Ok) = 0;
  // Nothing on Cancel.
  virtual std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& default_text) = 0;
  // An input box whose text is not shown as typed (a password); nothing on Cancel.
  virtual std::optional<std::string> PasswordBox(const std::string& caption, const std::string& prompt) {
    return InputBox(caption, prompt, "");
  }
  // A save dialog pre-filled with default_name; nothing on Cancel.
  virtual std::optional<std::filesystem::path> ChooseSaveFile(const std::string& default_name,
                                                              const std::string& filter) = 0;
  virtual std::optional<std::filesystem::path> ChooseFolder(const std::string& caption) = 0;
  // An open dialog on the filter entry initial_filter (0: the first); several: more than one
  // file may be chosen. The files chosen; none on Cancel.
  virtual std::vector<std::filesystem::path> ChooseOpenFiles(const std::string& filter, bool several,
                                                             int initial_filter) = 0;

  // Status bar panels 0 and 1.
  virtual void SetStatusText(int panel, const std::string& text) = 0;
  virtual void SetProgress(int position, int maximum) = 0;
  virtual void SetModeLabel(const std::string& text, Rgb background) = 0;
  virtual void SetAccountLabel(const std::string& text) = 0;

  // Lets pending window messages run.
  virtual void Pump() = 0;

  // The shell's "OPEN" verb: a file with its associated program, an address in the browser.
  virtual void OpenFile(const std::filesystem::path& file) = 0;
  virtual void OpenUrl(const std::string& url) = 0;

  // The subject search chose a row of the message list (display row; nothing: no row is
  // chosen any more): the list shows it selected and has the focus. to_top scrolls the row
  // to the top of the list, otherwise it is only brought into view.
  virtual void ChooseListRow(std::optional<size_t> display_row, bool to_top) {
    (void)display_row;
    (void)to_top;
  }

  // The viewer's content (header panel, body, attachments, preview, HTML view) changed.
  virtual void ViewerChanged() {}

  // The compose window shows its content (not modal, the caret at the start of the body), or
  // hides itself after a send.
  virtual void ShowComposeWindow() {}
  virtual void HideComposeWindow() {}
  // Asked before anything refills the compose window: text typed or attachments added since it
  // was filled are kept as a draft or thrown away as the person says. False when the person
  // cancels (or the draft could not be kept): the window and its content stay as they are.
  virtual bool ResolveUnsentCompose() { return true; }

  // The delayed-send queue became active (a message was queued) or ran empty: the window
  // runs its one-minute timer and shows "時差送信中..." while it is active.
  virtual void DelayedSendChanged(bool active) { (void)active; }
  // The check before sending: the person ticks every outside domain and every attachment and
  // presses "送信" (true), or goes back to the message (false). A port that cannot show the
  // check refuses, so nothing leaves unseen.
  virtual bool ConfirmSend(const SendCheck& check) {
    (void)check;
    return false;
  }
  // A merge went out: its log ("送信\差込ログ.txt") is new.
  virtual void MergeSent() {}

  // A command that pumps started (true) or ended (false): while one runs, the window greys what
  // would start another, all but the stop commands.
  virtual void RunStateChanged(bool busy) { (void)busy; }

  // False where nobody looks at the message list (the terminal): listing a folder, which
  // costs a sort of every row, is then skipped.
  virtual bool ShowsMessageList() const { return true; }
};

}  // namespace plumex
