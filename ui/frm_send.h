// TfrmSend ("メール作成"): created hidden at start-up, refilled by every new message, reply and
// forward. It mirrors the compose content into its controls and back; the behaviour lives in
// shell/compose.h.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPlainTextEdit;

namespace plumex {

class ComposeCommands;
class TfrmAddress;
class DraftCommands;
class MergeSheetCommands;
class TfrmInsert;
class TfrmPreView;
class UiPort;

class TfrmSend : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmSend(QWidget* parent = nullptr);

  void Attach(ComposeCommands& compose, UiPort& ui);
  // The window behind the "あて先", "CC" and "BCC" labels.
  void SetAddressWindow(TfrmAddress* w) { address_window_ = w; }
  // Clicking one of those labels: the picker opens with the three fields in its lists, and
  // the fields take its lists back when it closes.
  void PickRecipients();
  // The merge sheet and preview windows and the drafts the menus "差込" and "ファイル" use.
  void AttachMerge(MergeSheetCommands& sheet, DraftCommands& drafts, TfrmInsert* insert, TfrmPreView* preview);
  // Files dropped on the main window or on this window.
  void AddAttachment(const QString& path);
  QStringList Attachments() const;
  // "送信": shows the window modally with what it holds.
  // Shows what the compose commands hold, not modal, the caret at the start of the body.
  void ShowContent();
  void ShowModal();
  // "メール送信".
  bool SendMail();
  // "一時保存" (new draft) and "一時保存上書き" (over the draft the window was reopened from).
  void SaveDraft(bool overwrite);
  // Hidden after a send or a saved draft: what it holds is no longer unsent.
  void Dismiss();
  // Text typed or attachments added since the window was filled.
  bool HasUnsentChanges();
  // The question of ×, "中止" and Escape, asked before the window is refilled too: unsent text
  // or attachments are kept as a draft (Yes) or thrown away (No); false on Cancel or when the
  // draft could not be kept, and the window keeps what it holds.
  bool ResolveUnsent();
  QMenu* MergeMenu() const { return merge_menu_; }

  QComboBox* ComboBox1() const { return ComboBox1_; }
  QCheckBox* CheckPriority() const { return CheckPriority_; }
  QCheckBox* CheckBox1() const { return CheckBox1_; }
  QCheckBox* CheckReceiptRecipient() const { return CheckReceiptRecipient_; }
  QComboBox* cmbAfterSend() const { return cmbAfterSend_; }
  QComboBox* edtTo() const { return edtTo_; }
  QComboBox* edtCC() const { return edtCC_; }
  QComboBox* edtBCC() const { return edtBCC_; }
  QLineEdit* edtSubject() const { return edtSubject_; }
  QPlainTextEdit* Memo1() const { return Memo1_; }
  QListWidget* ListBox1() const { return ListBox1_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // ×, "中止" and Escape: unsent text or attachments are kept as a draft or thrown away as
  // the person says, or the window stays.
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void LoadContent();   // compose content -> controls
  void StoreContent();  // controls -> compose content
  void Complete(QComboBox* box, std::string& pending);
  void KeepForAdding(QComboBox* box, std::string& pending);
  void InsertAttachments();
  void RemoveAttachments();
  void TakeSnapshot();
  void RebuildMergeItems();
  void InsertPlaceholder(size_t column_number);

  struct Snapshot {
    std::string to, cc, bcc, subject;
    std::vector<std::string> body, attachments;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot Current();

  ComposeCommands* compose_ = nullptr;
  TfrmAddress* address_window_ = nullptr;
  UiPort* ui_ = nullptr;
  bool loading_ = false;
  QComboBox* ComboBox1_ = nullptr;
  QCheckBox* CheckPriority_ = nullptr;
  QCheckBox* CheckBox1_ = nullptr;
  QCheckBox* CheckReceiptRecipient_ = nullptr;
  QComboBox* cmbAfterSend_ = nullptr;
  QComboBox* edtTo_ = nullptr;
  QComboBox* edtCC_ = nullptr;
  QComboBox* edtBCC_ = nullptr;
  QLineEdit* edtSubject_ = nullptr;
  QPlainTextEdit* Memo1_ = nullptr;
  QListWidget* ListBox1_ = nullptr;
  QWidget* to_row_ = nullptr;
  MergeSheetCommands* sheet_ = nullptr;
  DraftCommands* drafts_ = nullptr;
  TfrmInsert* insert_ = nullptr;
  TfrmPreView* preview_ = nullptr;
  QMenu* merge_menu_ = nullptr;
  QAction* overwrite_draft_ = nullptr;
  QPointer<QWidget> focus_before_merge_menu_;
  Snapshot filled_;
};

}  // namespace plumex
