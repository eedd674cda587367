// TfrmPreView ("差し込みメールプレビュー"): the body of the message a merge sends to one data
// row of the sheet, stepped through with "←　前" and "次　→". Not modal.
#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace plumex {

class MergeSheetCommands;
class UiPort;

class TfrmPreView : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmPreView(QWidget* parent = nullptr);

  void Attach(MergeSheetCommands& sheet, UiPort& ui);
  // "プレビュー": record 1 of the body template the compose commands hold; nothing opens
  // without a sheet.
  void StartPreview();

  QLabel* LblRecNum() const { return LblRecNum_; }
  QPlainTextEdit* Memo1() const { return Memo1_; }
  QPushButton* PrevButton() const { return prev_; }
  QPushButton* NextButton() const { return next_; }

 private:
  void Step(int delta);
  void Show(const std::string& text);

  MergeSheetCommands* sheet_ = nullptr;
  UiPort* ui_ = nullptr;
  QLabel* LblRecNum_ = nullptr;
  QPlainTextEdit* Memo1_ = nullptr;
  QPushButton* prev_ = nullptr;
  QPushButton* next_ = nullptr;
};

}  // namespace plumex
