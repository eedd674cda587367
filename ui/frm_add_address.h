// TfrmAddAddress ("アドレス帳登録"): puts one record into a chosen book. Other commands fill
// its fields (the sender of a message, a selection of the viewer) and show it modally.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace plumex {

class AddressBookCommands;
class UiPort;

class TfrmAddAddress : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmAddAddress(QWidget* parent = nullptr);

  void Attach(AddressBookCommands& books, UiPort& ui);
  // Shows what the register commands prepared, the books copied into the tree.
  void ShowRegister();

  QTreeWidget* TreeView1() const { return TreeView1_; }
  QLabel* lblBook() const { return lblBook_; }
  QLineEdit* edtName() const { return edtName_; }
  QLineEdit* edtAddress() const { return edtAddress_; }
  QLineEdit* edtRemark() const { return edtRemark_; }
  QPushButton* btnSave() const { return btnSave_; }

 signals:
  // A record went into a book (the address book window may show that book).
  void saved();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void StoreFields();
  void RenderFields();

  AddressBookCommands* books_ = nullptr;
  UiPort* ui_ = nullptr;
  bool saving_ = false;
  QTreeWidget* TreeView1_ = nullptr;
  QLabel* lblBook_ = nullptr;
  QLineEdit* edtName_ = nullptr;
  QLineEdit* edtAddress_ = nullptr;
  QLineEdit* edtRemark_ = nullptr;
  QPushButton* btnSave_ = nullptr;
};

}  // namespace plumex
