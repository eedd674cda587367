// The settings file "plumex.ini" in the mail root: window sizes and position, the account in
// use and the folder on screen at the last exit, the header panel and the start-up password
// switch.
#pragma once

#include <climits>
#include <filesystem>
#include <string>

namespace plumex {

inline constexpr const char* kSettingsFileName = "plumex.ini";

struct AppSettings {
  std::string current_account;  // CurAccount/Position (CP932)
  int column_subject = 300;     // ListView/Columns2 "件名"
  int column_from = 200;        // ListView/Columns3 "差出人"
  int column_date = 130;        // ListView/Columns4 "日時"
  int column_size = 75;         // ListView/Columns5 "サイズ(Byte)"
  int tree_pane_width = 180;    // Panel4/Width
  int bottom_pane_height = 60;  // Panel2/Height
  int form_width = 600;         // Form/Width, -1 maximised
  int form_height = 600;        // Form/Height, -1 maximised
  int form_left = INT_MIN;      // Form/Left: the window's place on the desktop (INT_MIN: none
  int form_top = INT_MIN;       // Form/Top    saved yet, the window system places it)
  std::string folder_path;      // Folder/Path: store path of the folder on screen (CP932)
  bool header_on = false;       // Header/ON
  bool start_password = false;  // Start/Pass

  bool maximised() const { return form_width == -1; }
  bool has_position() const { return form_left != INT_MIN && form_top != INT_MIN; }

  // Defaults for whatever the file lacks (and for a missing file).
  static AppSettings Load(const std::filesystem::path& mail_root);
  // Writes every key, keeping any other sections and keys the file holds.
  void Save(const std::filesystem::path& mail_root) const;
};

}  // namespace plumex
