// The search commands in the real main window on the offscreen platform: the subject search
// with Ctrl+F and F3, the find dialog over the shown message, an extraction, and Escape
// during an extraction.
#include <QAction>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <deque>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "shell/message_list.h"
#include "store/file_key.h"
#include "ui/body_find.h"
#include "ui/frm_main.h"

using namespace plumex;

namespace {

class ScriptedPort : public QtUiPort {
 public:
  QStringList messages;
  std::deque<std::string> inputs;  // UTF-8
  std::deque<MsgAnswer> answers;
  MsgAnswer MessageBox(const std::string& text, MsgIcon, MsgButtons buttons) override {
    messages << QString::fromStdString(Cp932ToUtf8(text));
    if (!answers.empty()) {
      MsgAnswer a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string&) override {
    if (inputs.empty()) return std::nullopt;
    std::string a = inputs.front();
    inputs.pop_front();
    return Utf8ToCp932(a);
  }
};

void WriteUtf8(const std::filesystem::path& file, const std::vector<std::string>& utf8_lines) {
  std::filesystem::create_directories(file.parent_path());
  std::vector<std::string> lines;
  for (const auto& l : utf8_lines) lines.push_back(Utf8ToCp932(l));
  WriteLines(file, lines);
}

}  // namespace

class SearchWindowTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir dir_;
  std::filesystem::path root_;
  std::unique_ptr<ScriptedPort> port_;
  std::unique_ptr<AppCore> core_;
  std::unique_ptr<TfrmMain> main_;

  std::vector<int> SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : main_->ListView1()->selectionModel()->selectedRows()) rows.push_back(i.row());
    return rows;
  }
  QString SubjectAt(int row) const {
    return main_->ListView1()->model()->index(row, kColSubject).data().toString();
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    root_ = std::filesystem::path(dir_.path().toStdString()) / std::to_string(QTest::currentTestFunction()[0]);
    std::filesystem::remove_all(root_);
    WriteUtf8(root_ / "Account.ini", {"テスト\t127.0.0.1\tuser\tpw\t127.0.0.1\tme@x\t1\t1\t0"});
    WriteUtf8(root_ / "plumex.ini", {"[CurAccount]", "Position=テスト"});
    const std::pair<const char*, const char*> mail[] = {
        {"<a1@x>", "Invoice for May"}, {"<a2@x>", "昼食会"}, {"<a3@x>", "Re: invoice"}, {"<a4@x>", "予定"}};
    std::vector<std::string> rows;
    int day = 9;
    for (const auto& [id, subject] : mail) {
      std::string date = "2009/09/0" + std::to_string(day--) + "_10:00:00";
      rows.push_back(std::string(id) + "\t" + subject + "\tf@x\t" + date + "\t10\t2\t2\t2");
      WriteUtf8(root_ / "受信/テスト" / (MakeFileKey(id) + ".txt"),
                {std::string("Message-ID:") + id, std::string("件名:") + subject, "差出人:f@x", "日時:" + date,
                 "-------------------", "一行目", std::string("本文 ") + subject, "請求書 INVOICE の件"});
    }
    WriteUtf8(root_ / "受信/テスト/MsgID.ini", rows);
    port_ = std::make_unique<ScriptedPort>();
    core_ = std::make_unique<AppCore>(*port_, root_);
    main_ = std::make_unique<TfrmMain>(*core_, *port_);
    main_->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowActive(main_.get()));
    QCOMPARE(main_->ListView1()->model()->rowCount(), 4);
  }
  void cleanup() {
    main_.reset();
    core_.reset();
    port_.reset();
  }

  void subjectSearchThenFindNext() {
    QAction* next = main_->FindAction(QStringLiteral("検索/件名で次を検索"));
    QVERIFY(!next->isEnabled());  // nothing searched for yet
    port_->inputs = {"INVOICE"};
    QTest::keyClick(main_.get(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(SelectedRows(), std::vector<int>{0});
    QCOMPARE(SubjectAt(0), QStringLiteral("Invoice for May"));
    QVERIFY(main_->ListView1()->hasFocus());
    QVERIFY(next->isEnabled());
    QTest::keyClick(main_.get(), Qt::Key_F3);
    QCOMPARE(SelectedRows(), std::vector<int>{2});
    QCOMPARE(SubjectAt(2), QStringLiteral("Re: invoice"));
    // At the end: asked whether to start over; Yes finds the first again.
    port_->answers = {MsgAnswer::Yes};
    QTest::keyClick(main_.get(), Qt::Key_F3);
    QCOMPARE(port_->messages.size(), 1);
    QCOMPARE(SelectedRows(), std::vector<int>{0});
  }

  void findInTheShownMessage() {
    QTreeView* list = main_->ListView1();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, kColSubject)).center());
    main_->FindAction(QStringLiteral("検索/現メール内本文検索"))->trigger();
    FindDialog* dialog = main_->BodyFind()->Dialog();
    QVERIFY(dialog->isVisible());
    dialog->Text()->setText(QStringLiteral("invoice"));
    QTest::mouseClick(dialog->FindNextButton(), Qt::LeftButton);
    QCOMPARE(main_->memBody()->textCursor().selectedText(), QStringLiteral("INVOICE"));
    // Match case: not found, the question comes; Cancel keeps the selection.
    dialog->MatchCase()->setChecked(true);
    QTest::mouseClick(dialog->FindNextButton(), Qt::LeftButton);
    QCOMPARE(port_->messages, QStringList{QStringLiteral("検索文字は見つかりません。\r\n最初から検索しますか？")});
    QCOMPARE(main_->memBody()->textCursor().selectedText(), QStringLiteral("INVOICE"));
    dialog->hide();
  }

  void extractionListsTheMatches() {
    port_->inputs = {"invoice"};
    main_->FindAction(QStringLiteral("検索/メールの抽出"))->trigger();
    QCOMPARE(main_->LblMode()->text(), QStringLiteral("抽出"));
    QCOMPARE(main_->StatusPanel(0)->text(), QStringLiteral("4件"));  // every body holds it
    QCOMPARE(main_->StatusPanel(1)->text(), QStringLiteral("抽出モードです。"));
    QCOMPARE(main_->ListView1()->model()->rowCount(), 4);
    port_->inputs = {"昼食"};
    main_->FindAction(QStringLiteral("検索/メールの抽出"))->trigger();
    QCOMPARE(main_->ListView1()->model()->rowCount(), 1);
    QCOMPARE(SubjectAt(0), QStringLiteral("昼食会"));
    // A result opens from its folder.
    QTreeView* list = main_->ListView1();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, kColSubject)).center());
    QVERIFY(main_->memBody()->toPlainText().contains(QStringLiteral("本文 昼食会")));
  }

  void escapeStopsAnExtraction() {
    port_->inputs = {"invoice"};
    // Escape arrives while the walk lets the window run.
    QTimer::singleShot(0, main_.get(), [this] { QTest::keyClick(main_.get(), Qt::Key_Escape); });
    main_->FindAction(QStringLiteral("検索/メールの抽出"))->trigger();
    QCOMPARE(main_->LblMode()->text(), QStringLiteral("通常"));
    QCOMPARE(main_->ListView1()->model()->rowCount(), 4);
    QCOMPARE(main_->Shell().State().ViewMode, ViewModes::Normal);
  }

  void searchBoxShowsTheMatchesAsTheExtractionDoes() {
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString((root_ / "cache").string()));
    QTest::keyClick(main_.get(), Qt::Key_E, Qt::ControlModifier);
    auto* box = main_->findChild<QLineEdit*>(QStringLiteral("SearchBox"));
    QVERIFY(box && box->hasFocus());
    box->insert(QStringLiteral("昼食会"));  // as typed: the text changes
    // The search runs once typing pauses.
    QTRY_COMPARE(main_->ListView1()->model()->rowCount(), 1);
    QCOMPARE(SubjectAt(0), QStringLiteral("昼食会"));
    QCOMPARE(main_->LblMode()->text(), QStringLiteral("抽出"));
    QTreeView* list = main_->ListView1();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, kColSubject)).center());
    QVERIFY(main_->memBody()->toPlainText().contains(QStringLiteral("本文 昼食会")));
    box->clear();
    QTest::keyClicks(box, QStringLiteral("INVOICE"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(main_->ListView1()->model()->rowCount(), 4);
  }

  void conversationViewGroupsAndFolds() {
    WriteUtf8(root_ / "受信/テスト" / (MakeFileKey("<a3@x>") + ".txt"),
              {"Message-ID:<a3@x>", "References:<a1@x>", "件名:Re: invoice", "-------------------", "返事"});
    auto* on = main_->findChild<QCheckBox*>(QStringLiteral("Conversations"));
    QVERIFY(on);
    on->setChecked(true);
    QTreeView* list = main_->ListView1();
    QCOMPARE(list->model()->rowCount(), 4);
    int root = -1;
    for (int r = 0; r < 4; ++r)
      if (SubjectAt(r) == QStringLiteral("Invoice for May")) root = r;
    QVERIFY(root >= 0 && root < 3);
    QCOMPARE(SubjectAt(root + 1), QStringLiteral("  Re: invoice"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(root, kColPriorityIcon)).center());
    QVERIFY(list->isRowHidden(root + 1, QModelIndex()));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(root, kColPriorityIcon)).center());
    QVERIFY(!list->isRowHidden(root + 1, QModelIndex()));
    on->setChecked(false);
    for (int r = 0; r < 4; ++r) QVERIFY(!SubjectAt(r).startsWith(QLatin1Char(' ')));
  }
};

QTEST_MAIN(SearchWindowTest)
#include "search_window_test.moc"
