// Moving and deleting in the real main window: two rows dragged from the list onto a folder of
// another account, then the Delete key on a third row.
#include <QAbstractItemModel>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "shell/message_list.h"
#include "ui/app_windows.h"
#include "ui/frm_main.h"

using namespace plumex;

namespace {

// Answers Yes to every question and records what was asked.
class YesPort : public QtUiPort {
 public:
  QStringList messages;
  MsgAnswer MessageBox(const std::string& text, MsgIcon, MsgButtons buttons) override {
    messages << QString::fromStdString(Cp932ToUtf8(text));
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void OpenUrl(const std::string&) override {}
  void OpenFile(const std::filesystem::path&) override {}
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

QModelIndex FindChild(QAbstractItemModel* model, const QModelIndex& parent, const QString& prefix) {
  for (int r = 0; r < model->rowCount(parent); ++r) {
    QModelIndex i = model->index(r, 0, parent);
    if (i.data().toString().startsWith(prefix)) return i;
  }
  return {};
}

// Sends what a drag over the tree and a drop on the index deliver, with the list's own data.
void DropOn(QTreeView* tree, const QModelIndex& target, QMimeData* data) {
  const QPoint at = tree->visualRect(target).center();
  QDragEnterEvent enter(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(tree->viewport(), &enter);
  QDragMoveEvent move(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(tree->viewport(), &move);
  QVERIFY(move.isAccepted());
  QDropEvent drop(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(tree->viewport(), &drop);
  QVERIFY(drop.isAccepted());
}

}  // namespace

class MoveDeleteWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void dragTwoRowsToAnotherAccountThenDeleteAThird() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteUtf8(root / "Account.ini", {"仕事\t127.0.0.1\tuser\tsecret\t127.0.0.1\tme@example.jp\t1\t1\t0\t>\t0\t0",
                                     "私用\t127.0.0.1\tspare\tsecret\t127.0.0.1\tspare@example.jp\t1\t1\t0\t>\t0\t0"});
    WriteUtf8(root / "plumex.ini", {"[CurAccount]", "Position=仕事"});
    WriteUtf8(root / "受信/仕事/MsgID.ini",
              {"<a1@x>\t会議\tA <a@x>\t2009/09/08_12:00:00\t100\t2\t1\t2",
               "<a2@x>\t議事録\tB <b@x>\t2009/09/07_12:00:00\t100\t2\t2\t2",
               "<a3@x>\t忘年会\tC <c@x>\t2009/09/06_12:00:00\t100\t2\t3\t2"});
    WriteUtf8(root / "受信/仕事/AlreadMsgID.ini", {"<a1@x>", "<a2@x>", "<a3@x>"});
    for (const char* key : {"0a1@x9", "0a2@x9", "0a3@x9"})
      WriteUtf8(root / "受信/仕事" / (std::string(key) + ".txt"), {"-------------------", key});
    WriteUtf8(root / "受信/私用/保管/MsgID.ini", {});

    auto port = std::make_unique<YesPort>();
    YesPort* asked = port.get();
    AppWindows windows(root, std::move(port));
    TfrmMain* main = windows.frmMain.get();
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QTreeView* list = main->ListView1();
    QCOMPARE(list->model()->rowCount(), 3);

    // The two newest rows, dragged onto "保管" of the other account.
    list->selectionModel()->select(list->model()->index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->selectionModel()->select(list->model()->index(1, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    std::unique_ptr<QMimeData> data(list->model()->mimeData(list->selectionModel()->selectedIndexes()));
    QTreeView* tree = main->TreeView1();
    QModelIndex account = FindChild(tree->model(), FindChild(tree->model(), {}, QStringLiteral("受信")), QStringLiteral("私用"));
    QModelIndex folder = FindChild(tree->model(), account, QStringLiteral("保管"));
    QVERIFY(folder.isValid());
    DropOn(tree, folder, data.get());
    QTRY_COMPARE(list->model()->rowCount(), 1);
    QCOMPARE(list->model()->index(0, kColSubject).data().toString(), QStringLiteral("忘年会"));
    QVERIFY(std::filesystem::exists(root / "受信/私用/保管/0a1@x9.txt"));
    QVERIFY(std::filesystem::exists(root / "受信/私用/保管/0a2@x9.txt"));
    QCOMPARE(ReadUtf8(root / "受信/私用/保管/MsgID.ini").size(), size_t(2));
    QCOMPARE(ReadUtf8(root / "受信/私用/AlreadMsgID.ini"), (std::vector<std::string>{"<a1@x>", "<a2@x>"}));
    QVERIFY(folder.data().toString().contains(QStringLiteral("(1)")));
    QVERIFY(asked->messages.isEmpty());

    // Dropping on the root "受信" is refused.
    QModelIndex receive_root = FindChild(tree->model(), {}, QStringLiteral("受信"));
    QDragMoveEvent over_root(tree->visualRect(receive_root).center(), Qt::MoveAction, data.get(), Qt::LeftButton,
                             Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &over_root);
    QVERIFY(!over_root.isAccepted());

    // Delete on the row left, which the user chose.
    list->setFocus();
    list->selectionModel()->select(list->model()->index(0, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(asked->messages,
             QStringList{QStringLiteral("選択中のメールをパソコン内から削除します。\r\n\r\n　　...よろしいですか？")});
    QCOMPARE(list->model()->rowCount(), 0);
    QVERIFY(!std::filesystem::exists(root / "受信/仕事/0a3@x9.txt"));
    QVERIFY(ReadUtf8(root / "受信/仕事/MsgID.ini").empty());
    QVERIFY(ReadUtf8(root / "受信/仕事/AlreadMsgID.ini").empty());
    QCOMPARE(main->StatusPanel(0)->text(), QStringLiteral("0件"));
  }
};

QTEST_MAIN(MoveDeleteWindowTest)
#include "move_delete_window_test.moc"
