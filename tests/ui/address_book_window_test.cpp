// The address books as a person uses them: a book made and filled in the address book window,
// recipients picked into a message being written through the "あて先" and "CC" labels, and
// the sender of a received message registered from the message list.
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "shell/message_list.h"
#include "ui/app_windows.h"
#include "ui/frm_add_address.h"
#include "ui/frm_address.h"
#include "ui/frm_insert.h"
#include "ui/frm_main.h"
#include "ui/frm_send.h"

using namespace plumex;

namespace {

class ScriptedPort : public QtUiPort {
 public:
  QStringList messages;
  QStringList inputs;  // the answers to input boxes, in order
  MsgAnswer MessageBox(const std::string& text, MsgIcon, MsgButtons buttons) override {
    messages << QString::fromStdString(Cp932ToUtf8(text));
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string&) override {
    if (inputs.isEmpty()) return std::nullopt;
    return Utf8ToCp932(inputs.takeFirst().toStdString());
  }
  std::optional<std::filesystem::path> save_as;  // the answer to a save dialog
  std::optional<std::filesystem::path> ChooseSaveFile(const std::string&, const std::string&) override {
    return save_as;
  }
};

void WriteUtf8(const std::filesystem::path& file, const std::vector<std::string>& utf8_lines) {
  std::filesystem::create_directories(file.parent_path());
  std::vector<std::string> lines;
  for (const auto& l : utf8_lines) lines.push_back(Utf8ToCp932(l));
  WriteLines(file, lines);
}

std::vector<std::string> ReadUtf8(const std::filesystem::path& file) {
  std::vector<std::string> lines, out;
  ReadLines(file, lines);
  for (const auto& l : lines) out.push_back(Cp932ToUtf8(l));
  return out;
}

void ChooseRows(QTreeView* view, std::initializer_list<int> rows) {
  view->clearSelection();
  for (int row : rows)
    view->selectionModel()->select(view->model()->index(row, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

}  // namespace

class AddressBookWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void bookPickerAndSenderCapture() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteUtf8(root / "Account.ini", {"テスト\t127.0.0.1\tuser\tsecret\t127.0.0.1\tme@example.jp\t1\t1\t0\t>\t0\t0"});
    WriteUtf8(root / "plumex.ini", {"[CurAccount]", "Position=テスト"});
    WriteUtf8(root / "受信/テスト/MsgID.ini",
              {"<a1@example.jp>\t会議\t\"山田 太郎\" <taro@example.jp>\t2009/09/08_12:34:56\t10\t1\t2\t2"});
    auto port = std::make_unique<ScriptedPort>();
    ScriptedPort* script = port.get();
    AppWindows windows(root, std::move(port));
    TfrmMain* main = windows.frmMain.get();
    TfrmAddress* address = windows.frmAddress.get();
    TfrmSend* send = windows.frmSend.get();
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));

    // A new book, two records typed into it.
    main->FindAction(QStringLiteral("設定/アドレス帳編集"))->trigger();
    QVERIFY(address->isVisible());
    QCOMPARE(address->PageControl()->currentIndex(), 0);
    QCOMPARE(address->lblBook()->text(), QStringLiteral("未選択"));
    script->inputs << QStringLiteral("友人");
    QTest::mouseClick(address->btnNewBook(), Qt::LeftButton);
    QCOMPARE(address->lblBook()->text(), QStringLiteral("友人"));
    address->edtName()->setText(QStringLiteral("佐藤 花子"));
    address->edtAddress()->setText(QStringLiteral("hanako@example.jp"));
    QTest::mouseClick(address->btnSave(), Qt::LeftButton);
    QTest::mouseClick(address->btnAdd(), Qt::LeftButton);
    QCOMPARE(address->btnAdd()->text(), QStringLiteral("中止"));
    address->edtName()->setText(QStringLiteral("伊藤 一郎"));
    address->edtAddress()->setText(QStringLiteral("ichiro@example.jp"));
    QTest::mouseClick(address->btnSave(), Qt::LeftButton);
    QCOMPARE(address->btnAdd()->text(), QStringLiteral("追加"));
    QCOMPARE(address->ListView1()->model()->rowCount(), 2);
    QTest::mouseClick(address->findChild<QPushButton*>(QStringLiteral("btnClose")), Qt::LeftButton);
    QVERIFY(!address->isVisible());
    QCOMPARE(script->messages, QStringList());

    // A message: the "あて先" label opens the picker with what the field holds.
    main->FindAction(QStringLiteral("tool/新規作成"))->trigger();
    QVERIFY(send->isVisible());
    send->edtTo()->setCurrentText(QStringLiteral("first@example.jp"));
    QTest::mouseClick(send->findChild<QToolButton*>(QStringLiteral("lblTo")), Qt::LeftButton);
    QVERIFY(address->isVisible());
    QCOMPARE(address->windowModality(), Qt::ApplicationModal);
    QCOMPARE(address->PageControl()->currentIndex(), 1);
    QCOMPARE(address->lstTo()->count(), 1);
    // Rows in the book's order: "佐藤 花子" first, the record added last after it.
    QCOMPARE(address->ListView1()->model()->index(1, 0).data().toString(), QStringLiteral("伊藤 一郎"));
    ChooseRows(address->ListView1(), {0, 1});
    QTest::mouseClick(address->btnTo(), Qt::LeftButton);
    QTest::mouseClick(address->btnTo(), Qt::LeftButton);  // once only
    ChooseRows(address->ListView1(), {1});
    QTest::mouseClick(address->btnCc(), Qt::LeftButton);
    QCOMPARE(address->lstTo()->count(), 3);
    QCOMPARE(address->lstCc()->count(), 1);
    QTest::mouseClick(address->findChild<QPushButton*>(QStringLiteral("btnPickerClose")), Qt::LeftButton);
    QVERIFY(!address->isVisible());
    QCOMPARE(send->edtTo()->currentText(),
             QStringLiteral("first@example.jp,\"佐藤 花子\"<hanako@example.jp>,\"伊藤 一郎\"<ichiro@example.jp>"));
    QCOMPARE(send->edtCC()->currentText(), QStringLiteral("\"伊藤 一郎\" <ichiro@example.jp>"));
    QCOMPARE(send->edtBCC()->currentText(), QString());
    send->hide();

    // The sender of the message in the list, registered into the book.
    QTreeView* list = main->ListView1();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, kColSubject)).center());
    main->FindAction(QStringLiteral("list/差出人をアドレス帳へ登録"))->trigger();
    TfrmAddAddress* reg = windows.frmAddAddress.get();
    QVERIFY(reg->isVisible());
    QCOMPARE(reg->edtName()->text(), QStringLiteral("山田 太郎"));
    QCOMPARE(reg->edtAddress()->text(), QStringLiteral("taro@example.jp"));
    QCOMPARE(reg->lblBook()->text(), QStringLiteral("未選択"));
    QTreeWidget* tree = reg->TreeView1();
    QVERIFY(tree->topLevelItem(0)->isExpanded());
    QTreeWidgetItem* book = tree->topLevelItem(0)->child(0);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(book).center());
    QCOMPARE(reg->lblBook()->text(), QStringLiteral("友人"));
    QTest::mouseClick(reg->btnSave(), Qt::LeftButton);
    QVERIFY(!reg->isVisible());
    QCOMPARE(ReadUtf8(root / "Address" / "友人.adr"),
             (std::vector<std::string>{"佐藤 花子\thanako@example.jp\t", "伊藤 一郎\tichiro@example.jp\t",
                                       "山田 太郎\ttaro@example.jp\t"}));
    QCOMPARE(address->ListView1()->model()->rowCount(), 3);
    QCOMPARE(script->messages, QStringList());
    address->ShowEditor();
    address->grab().save(QStringLiteral("address_book_window.png"));

    // Renaming the node in place: a name no file can have is refused and the old text comes
    // back; another name renames the file.
    QTreeWidgetItem* node = address->TreeView1()->topLevelItem(0)->child(0);
    node->setText(0, QStringLiteral("友/人"));
    QTRY_COMPARE(address->TreeView1()->topLevelItem(0)->child(0)->text(0), QStringLiteral("友人"));
    QCOMPARE(script->messages, QStringList{QStringLiteral("アドレス帳の名前に使えない文字が含まれています。")});
    address->TreeView1()->topLevelItem(0)->child(0)->setText(0, QStringLiteral("知人"));
    QTRY_COMPARE(address->lblBook()->text(), QStringLiteral("知人"));
    QVERIFY(std::filesystem::exists(root / "Address" / "知人.adr"));
    QVERIFY(!std::filesystem::exists(root / "Address" / "友人.adr"));
  }

  // "アドレス帳から取込" in the merge sheet window: the picker opens, and the sheet becomes the
  // file its export wrote, and nothing else (closing the picker without exporting loads no
  // file, though a save dialog answered before).
  void sheetTakesOnlyWhatTheExportWrote() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteUtf8(root / "Account.ini", {"テスト\t127.0.0.1\tuser\tsecret\t127.0.0.1\tme@example.jp\t1\t1\t0\t>\t0\t0"});
    WriteUtf8(root / "plumex.ini", {"[CurAccount]", "Position=テスト"});
    WriteUtf8(root / "Address" / "友人.adr", {"佐藤 花子\thanako@example.jp\t", "伊藤 一郎\tichiro@example.jp\t"});
    auto port = std::make_unique<ScriptedPort>();
    ScriptedPort* script = port.get();
    AppWindows windows(root, std::move(port));
    windows.frmMain->ShowAtStart();
    TfrmAddress* address = windows.frmAddress.get();
    TfrmInsert* sheet = windows.frmInsert.get();
    sheet->ShowSheet();
    QPushButton* import = sheet->findChild<QPushButton*>(QStringLiteral("btnImport"));
    QVERIFY(import && import->isEnabled());
    const QString label_before = sheet->LblinsertFilename()->text();

    script->save_as = root / "unrelated.txt";
    QTimer::singleShot(0, address, [address] {
      QTest::mouseClick(address->findChild<QPushButton*>(QStringLiteral("btnPickerClose")), Qt::LeftButton);
    });
    QTest::mouseClick(import, Qt::LeftButton);
    QCOMPARE(sheet->LblinsertFilename()->text(), label_before);

    const std::filesystem::path exported = root / "recipients.txt";
    script->save_as = exported;
    QTimer::singleShot(0, address, [address] {
      QTreeWidgetItem* book = address->TreeView1()->topLevelItem(0)->child(0);
      address->TreeView1()->setCurrentItem(book);
      QTest::mouseClick(address->TreeView1()->viewport(), Qt::LeftButton, {},
                        address->TreeView1()->visualItemRect(book).center());
      ChooseRows(address->ListView1(), {0, 1});
      QTest::mouseClick(address->btnTo(), Qt::LeftButton);
      QTest::mouseClick(address->btnExport(), Qt::LeftButton);
      QTest::mouseClick(address->findChild<QPushButton*>(QStringLiteral("btnPickerClose")), Qt::LeftButton);
    });
    QTest::mouseClick(import, Qt::LeftButton);
    QVERIFY(std::filesystem::exists(exported));
    QCOMPARE(sheet->LblinsertFilename()->text(), QString::fromStdString(exported.string()));
    QAbstractItemModel* grid = sheet->StringGrid1()->model();
    QCOMPARE(grid->rowCount(), 3);
    QCOMPARE(grid->index(0, 0).data().toString(), QStringLiteral("宛先"));
    const QString recipients = grid->index(1, 0).data().toString() + grid->index(2, 0).data().toString();
    QVERIFY2(recipients.contains(QStringLiteral("hanako@example.jp")) && recipients.contains(QStringLiteral("ichiro@example.jp")),
             qPrintable(recipients));
  }
};

QTEST_MAIN(AddressBookWindowTest)
#include "address_book_window_test.moc"
