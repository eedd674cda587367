// The mail-merge sheet window's behaviour without widgets: loading a sheet file, the checks of
// "閉じる" and "保存する", "クリア", "変更", the grid's pop-up commands, the "差込" column items
// of the compose window and the preview.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "send/merge_sheet.h"
#include "shell/main_shell.h"

namespace plumex {

class ComposeCommands;

class MergeSheetCommands {
 public:
  MergeSheetCommands(MainShell& shell, ComposeCommands& compose);

  SheetGrid& Grid() { return grid_; }
  // The sheet file's path text; empty while none is named.
  const std::string& FileName() const { return file_name_; }
  // LblinsertFilename: the path, or "指定されていません！".
  std::string FileLabel() const;

  // "...参照" and every other load: a sheet that fails its checks is refused and the sheet
  // in force stays. True when loaded.
  bool LoadFile(const std::filesystem::path& file);
  // "...参照": the file chosen in an open dialog loaded; false without one.
  bool LoadChosenFile();
  // "閉じる": true when the window may close.
  bool Close();
  // "保存する".
  void Save();
  // "クリア" (also for every new message).
  void Clear();
  // "変更" with the texts of "列" and "行" (corrected in place when too small).
  void Change(std::string& columns, std::string& rows);
  // "アドレス帳から取込": export_recipients runs the address book's export and gives the file
  // it wrote, or nothing when it wrote none; only that file is loaded.
  void ImportFromAddressBook(const std::function<std::optional<std::filesystem::path>()>& export_recipients);

  // Pop-up commands on a block of cells.
  void OverwriteCells(const CellRect& block);
  void EraseCells(const CellRect& block);
  void DeleteColumns(const CellRect& block);
  void DeleteRows(const CellRect& block);
  // "添付ファイルを挿入" with the chosen file's path text.
  void InsertAttachment(const CellRect& block, const std::string& path);
  // The same with a file chosen in an open dialog; nothing happens without one.
  void InsertChosenAttachment(const CellRect& block);

  // The compose window's "差込" column items: title + "(%SS" + n + "%)".
  const std::vector<std::string>& ColumnItems() const { return column_items_; }
  void RebuildColumnItems();
  // Whether column n (from 1) of the first data row holds an address (for CC and BCC);
  // says so when it does not.
  bool PlaceholderFitsAddressBox(size_t column_number);

  // "プレビュー": the text of record 1, or nothing (said why) without a sheet.
  std::optional<std::string> StartPreview();
  // "次　→" / "←　前".
  std::string StepPreview(int delta);
  MergePreview& Preview() { return preview_; }

 private:
  std::string PreviewText() const;

  MainShell& shell_;
  ComposeCommands& compose_;
  SheetGrid grid_;
  std::string file_name_;
  std::vector<std::string> column_items_;
  MergePreview preview_;
};

}  // namespace plumex
