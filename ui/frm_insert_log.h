// TfrmInsertLog ("差込結果"): the log of the last merge send ("送信\差込ログ.txt"), shown after
// every merge and from "設定" → "差込結果".
#pragma once

#include <QWidget>
#include <filesystem>

class QPlainTextEdit;

namespace plumex {

class TfrmInsertLog : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmInsertLog(QWidget* parent = nullptr);

  // Reads the merge log of the store at mail_root and shows it.
  void ShowLog(const std::filesystem::path& mail_root);
  QPlainTextEdit* Memo1() const { return Memo1_; }

 private:
  QPlainTextEdit* Memo1_ = nullptr;
};

}  // namespace plumex
