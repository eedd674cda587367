// TfrmInsert ("差し込むファイルの確認"): the mail-merge sheet in an editable grid with its
// pop-up commands. Modal while shown; the behaviour lives in shell/merge_sheet_commands.h.
#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;

namespace plumex {

class MergeSheetCommands;
class SheetModel;
class UiPort;
struct CellRect;

class TfrmInsert : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmInsert(QWidget* parent = nullptr);

  void Attach(MergeSheetCommands& sheet, UiPort& ui);
  // The address book's recipient export: the file it wrote, or nothing. Without one,
  // "アドレス帳から取込" is not available.
  void SetRecipientExport(std::function<std::optional<std::filesystem::path>()> export_recipients);

  // "差し込むファイルの指定": shows the sheet as it stands, modal.
  void ShowSheet();
  // "...参照" with a chosen file.
  void LoadFile(const std::filesystem::path& file);
  // Redraws the grid, its sizes and the file label from the sheet.
  void Reload();

  QTableView* StringGrid1() const { return StringGrid1_; }
  QLabel* LblinsertFilename() const { return LblinsertFilename_; }
  QLineEdit* Edit1() const { return Edit1_; }
  QLineEdit* Edit2() const { return Edit2_; }
  QMenu* GridMenu() const { return grid_menu_; }
  // The selected block (the current cell when nothing is selected).
  CellRect Selection() const;
  void Select(const CellRect& block);

 signals:
  // "閉じる" closed the window with the sheet accepted.
  void sheetClosed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  void RunOnSelection(const std::function<void(const CellRect&)>& command);

  MergeSheetCommands* sheet_ = nullptr;
  UiPort* ui_ = nullptr;
  SheetModel* model_ = nullptr;
  std::function<std::optional<std::filesystem::path>()> export_recipients_;
  QTableView* StringGrid1_ = nullptr;
  QLabel* LblinsertFilename_ = nullptr;
  QLineEdit* Edit1_ = nullptr;
  QLineEdit* Edit2_ = nullptr;
  QPushButton* import_ = nullptr;
  QMenu* grid_menu_ = nullptr;
  bool closing_by_button_ = false;
};

}  // namespace plumex
