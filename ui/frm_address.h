// TfrmAddress ("アドレス帳設定"): the book tree, its two buttons and the record list on a panel
// beside two tabs: "アドレス帳の編集" edits a book, "あて名挿入" picks recipients into the To,
// CC and BCC lists. Created hidden at start-up and shown modally; the behaviour lives in
// shell/address_book_commands.h.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace plumex {

class AddressBookCommands;
class AddressRecordModel;
class UiPort;

class TfrmAddress : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmAddress(QWidget* parent = nullptr);

  // Window creation: the books are read and the first one opened.
  void Attach(AddressBookCommands& books, UiPort& ui);
  AddressBookCommands& Commands() { return *books_; }

  // "アドレス帳編集": modally on the first tab.
  void ShowEditor();
  // Modally on the picker tab; closed runs once the window has closed.
  void ShowPicker(std::function<void()> closed);
  // The records or books changed behind the window (the register window saved).
  void Render();

  QTreeWidget* TreeView1() const { return TreeView1_; }
  QTreeView* ListView1() const { return ListView1_; }
  QTabWidget* PageControl() const { return PageControl_; }
  QLabel* lblBook() const { return lblBook_; }
  QLineEdit* edtName() const { return edtName_; }
  QLineEdit* edtAddress() const { return edtAddress_; }
  QLineEdit* edtRemark() const { return edtRemark_; }
  QPushButton* btnAdd() const { return btnAdd_; }
  QPushButton* btnSave() const { return btnSave_; }
  QPushButton* btnDelete() const { return btnDelete_; }
  QPushButton* btnNewBook() const { return btnNewBook_; }
  QPushButton* btnDeleteBook() const { return btnDeleteBook_; }
  QPushButton* btnTo() const { return btnTo_; }
  QPushButton* btnCc() const { return btnCc_; }
  QPushButton* btnBcc() const { return btnBcc_; }
  QPushButton* btnExport() const { return btnExport_; }
  QListWidget* lstTo() const { return lists_[0]; }
  QListWidget* lstCc() const { return lists_[1]; }
  QListWidget* lstBcc() const { return lists_[2]; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void ShowModal(int tab, std::function<void()> closed);
  void Run(const std::function<void()>& command);
  void RenderTree();
  void RenderFields();
  void RenderLists();
  void UpdateButtons();
  void StoreFields();
  std::vector<size_t> ChosenRecords() const;
  void Pick(int which);
  QTreeWidgetItem* BookItem(const QString& name) const;

  AddressBookCommands* books_ = nullptr;
  UiPort* ui_ = nullptr;
  AddressRecordModel* model_ = nullptr;
  std::function<void()> closed_;
  bool rendering_ = false;
  size_t shown_revision_ = static_cast<size_t>(-1);
  QTreeWidget* TreeView1_ = nullptr;
  QTreeView* ListView1_ = nullptr;
  QTabWidget* PageControl_ = nullptr;
  QLabel* lblBook_ = nullptr;
  QLineEdit* edtName_ = nullptr;
  QLineEdit* edtAddress_ = nullptr;
  QLineEdit* edtRemark_ = nullptr;
  QPushButton* btnNewBook_ = nullptr;
  QPushButton* btnDeleteBook_ = nullptr;
  QPushButton* btnAdd_ = nullptr;
  QPushButton* btnSave_ = nullptr;
  QPushButton* btnDelete_ = nullptr;
  QPushButton* btnTo_ = nullptr;
  QPushButton* btnCc_ = nullptr;
  QPushButton* btnBcc_ = nullptr;
  QPushButton* btnClearAll_ = nullptr;
  QPushButton* btnExport_ = nullptr;
  QListWidget* lists_[3] = {};
  QPushButton* removers_[3] = {};
};

}  // namespace plumex
