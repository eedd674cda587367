// The settings dialog driven as a user would, on the offscreen platform: a rule made from the
// message chosen in the list, added and applied to the folder on screen, moves that message
// into the rule's folder on disk; the new-mail tab refuses a typed interval.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "shell/main_shell.h"
#include "shell/message_list.h"
#include "store/file_key.h"
#include "ui/app_windows.h"
#include "ui/folder_tree_model.h"
#include "ui/frm_main.h"
#include "ui/frm_set.h"

using namespace plumex;

namespace {

class ScriptedPort : public QtUiPort {
 public:
  QStringList messages;
  MsgAnswer MessageBox(const std::string& text, MsgIcon, MsgButtons buttons) override {
    messages << QString::fromStdString(Cp932ToUtf8(text));
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes;
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

// The node of the dialog's rule tree whose label starts with name, below parent.
QModelIndex Child(const QAbstractItemModel* model, const QModelIndex& parent, const QString& name) {
  for (int r = 0; r < model->rowCount(parent); ++r) {
    QModelIndex i = model->index(r, 0, parent);
    if (i.data().toString().startsWith(name)) return i;
  }
  return {};
}

}  // namespace

class SettingsWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void addedRuleAppliedMovesTheMessage() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteUtf8(root / "Account.ini", {"テスト\t127.0.0.1\tuser\tsecret\t127.0.0.1\tme@example.jp\t1\t1\t0\t>\t0\t0"});
    WriteUtf8(root / "plumex.ini", {"[CurAccount]", "Position=テスト"});
    const std::string moved_id = "<a1@example.jp>";
    WriteUtf8(root / "受信/テスト/MsgID.ini",
              {moved_id + "\t会議のお知らせ\t山田 太郎 <taro@example.jp>\t2009/09/08_12:34:56\t2048\t2\t1\t2",
               "<a2@example.jp>\t先週の議事録\t佐藤 花子 <hanako@example.jp>\t2009/09/01_09:00:00\t1024\t2\t2\t2"});
    const std::string key = Cp932ToUtf8(MakeFileKey(moved_id));
    WriteUtf8(root / "受信/テスト" / (key + ".txt"), {"差出人:山田 太郎 <taro@example.jp>", "-------------------", "本文"});
    WriteUtf8(root / "受信/テスト/仕事/MsgID.ini", {});

    auto port = std::make_unique<ScriptedPort>();
    ScriptedPort* script = port.get();
    AppWindows windows(root, std::move(port));
    TfrmMain* main = windows.frmMain.get();
    main->ShowAtStart();
    QTreeView* list = main->ListView1();
    QCOMPARE(list->model()->rowCount(), 2);
    int row = -1;
    for (int r = 0; r < 2; ++r)
      if (list->model()->index(r, kColSubject).data().toString() == QStringLiteral("会議のお知らせ")) row = r;
    QVERIFY(row >= 0);
    list->setCurrentIndex(list->model()->index(row, kColSubject));
    list->selectionModel()->select(list->model()->index(row, kColSubject),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    main->FindAction(QStringLiteral("設定/メッセージルール"))->trigger();
    TfrmSet* w = windows.frmSet.get();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->PageControl()->currentIndex(), 0);
    // The sender is suggested first; choosing "件名" takes the subject.
    QCOMPARE(w->cmbKeyword()->currentText(), QStringLiteral("山田 太郎 <taro@example.jp>"));
    QCOMPARE(w->cmbKeyword()->count(), 2);
    w->cmbField()->setCurrentIndex(1);
    emit w->cmbField()->activated(1);
    QCOMPARE(w->cmbKeyword()->currentText(), QStringLiteral("会議のお知らせ"));
    w->cmbKeyword()->setEditText(QStringLiteral("会議"));
    QVERIFY(!w->btnRuleAdd()->isEnabled());  // no folder chosen yet
    QAbstractItemModel* tree = w->RuleTree()->model();
    const QModelIndex account = Child(tree, Child(tree, {}, QStringLiteral("受信")), QStringLiteral("テスト"));
    const QModelIndex work = Child(tree, account, QStringLiteral("仕事"));
    QVERIFY(work.isValid());
    w->RuleTree()->setCurrentIndex(work);
    QVERIFY(w->btnRuleAdd()->isEnabled());
    QTest::mouseClick(w->btnRuleAdd(), Qt::LeftButton);
    QCOMPARE(w->lstRule()->count(), 1);
    QCOMPARE(w->lstRule()->item(0)->text(), QStringLiteral("件名\t会議\tテスト\\仕事"));
    QVERIFY(!w->btnRuleAdd()->isEnabled());  // the same rule again would change nothing
    QVERIFY(!std::filesystem::exists(root / "rule.ini"));

    QTest::mouseClick(w->btnApply(), Qt::LeftButton);
    QCOMPARE(script->messages.size(), 2);
    QVERIFY(script->messages[0].startsWith(QStringLiteral("現在のフォルダ【受信\\テスト\\】")));
    QCOMPARE(script->messages[1], QStringLiteral("完了"));
    QVERIFY(!w->isVisible());
    QCOMPARE(list->model()->rowCount(), 1);
    QVERIFY(std::filesystem::exists(root / "受信/テスト/仕事" / (key + ".txt")));
    QVERIFY(!std::filesystem::exists(root / "受信/テスト" / (key + ".txt")));
    const auto target_rows = ReadUtf8(root / "受信/テスト/仕事/MsgID.ini");
    QCOMPARE(target_rows.size(), size_t(1));
    QVERIFY(target_rows[0].rfind(moved_id + "\t", 0) == 0);
    QCOMPARE(ReadUtf8(root / "受信/テスト/MsgID.ini").size(), size_t(1));

    // Choosing the rule again finds its folder in the tree.
    main->FindAction(QStringLiteral("設定/メッセージルール"))->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->RuleTree()->clearSelection();
    QListWidgetItem* item = w->lstRule()->item(0);
    QTest::mouseClick(w->lstRule()->viewport(), Qt::LeftButton, {}, w->lstRule()->visualItemRect(item).center());
    QCOMPARE(w->RuleTree()->currentIndex().data().toString(), QStringLiteral("仕事"));
    QVERIFY(w->rbMove()->isChecked());
    QCOMPARE(w->cmbField()->currentText(), QStringLiteral("件名"));
    QVERIFY(!w->btnRuleEdit()->isEnabled());  // the chosen rule as it stands
  }

  void newCheckTabRefusesATypedInterval() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteUtf8(root / "Account.ini", {"テスト\t127.0.0.1\tuser\tsecret\t127.0.0.1\tme@example.jp\t1\t1\t0\t>\t0\t0"});
    auto port = std::make_unique<ScriptedPort>();
    ScriptedPort* script = port.get();
    AppWindows windows(root, std::move(port));
    windows.frmMain->ShowAtStart();
    script->messages.clear();
    windows.frmMain->FindAction(QStringLiteral("設定/新着チェック"))->trigger();
    TfrmSet* w = windows.frmSet.get();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->PageControl()->currentIndex(), 1);
    QCOMPARE(w->CmbInterval()->currentText(), QStringLiteral("30"));
    QVERIFY(w->RadioButton5()->isChecked());
    QCOMPARE(w->CmbReceiveMailAccount()->count(), 1);
    w->CmbInterval()->setEditText(QStringLiteral("毎分"));
    QTest::mouseClick(w->btnSave(), Qt::LeftButton);
    QCOMPARE(script->messages, QStringList{QStringLiteral("新着チェックの間隔は10から86400までの秒数を半角数字で入力してください")});
    QVERIFY(!std::filesystem::exists(root / "New.ini"));
    QVERIFY(w->isVisible());
    w->CmbInterval()->setEditText(QStringLiteral("120"));
    QTest::mouseClick(w->btnSave(), Qt::LeftButton);
    QCOMPARE(script->messages.size(), 1);
    QVERIFY(std::filesystem::exists(root / "New.ini"));
    QTest::mouseClick(w->btnRun(), Qt::LeftButton);
    QVERIFY(!w->isVisible());
  }
};

QTEST_MAIN(SettingsWindowTest)
#include "settings_window_test.moc"
