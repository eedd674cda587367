// The window with a start-up password (a wrong answer ends the program before the window shows)
// and printing the message on screen to a PDF file whose text is read back.
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "settings/start_password.h"
#include "store/file_key.h"
#include "ui/app_windows.h"
#include "ui/frm_main.h"

using namespace plumex;

namespace {

class ScriptedPort : public QtUiPort {
 public:
  QStringList messages;
  QStringList answers;  // input box answers, in order; none left: Cancel
  MsgAnswer MessageBox(const std::string& text, MsgIcon, MsgButtons) override {
    messages << QString::fromStdString(Cp932ToUtf8(text));
    return MsgAnswer::Ok;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string&) override {
    if (answers.isEmpty()) return std::nullopt;
    return Utf8ToCp932(answers.takeFirst().toStdString());
  }
  std::optional<std::string> PasswordBox(const std::string& caption, const std::string& prompt) override {
    return InputBox(caption, prompt, "");
  }
};

void WriteUtf8(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::filesystem::create_directories(file.parent_path());
  std::vector<std::string> cp932;
  for (const auto& l : lines) cp932.push_back(Utf8ToCp932(l));
  WriteLines(file, cp932);
}

}  // namespace

class PasswordPrintWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void aWrongPasswordNeverShowsTheMailbox() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteUtf8(root / "Account.ini", {"A\tpop.a\tu\tp\ts\ta@x\t110\t25\t0"});
    WriteUtf8(root / "plumex.ini", {"[Start]", "Pass=1"});
    WritePasswordFile(root, StoredPasswordText("right"));
    const auto accounts = ReadFileBytes(root / "Account.ini");
    auto port = std::make_unique<ScriptedPort>();
    ScriptedPort* script = port.get();
    script->answers = {QStringLiteral("wrong")};
    AppWindows windows(root, std::move(port));
    QSignalSpy closed(windows.frmMain.get(), &TfrmMain::closed);
    windows.frmMain->ShowAtStart();
    QVERIFY(!windows.frmMain->isVisible());
    QCOMPARE(closed.count(), 1);
    QCOMPARE(script->messages, QStringList{QStringLiteral("パスワードが間違っています。起動は失敗です。")});
    windows.frmMain->close();
    QCOMPARE(ReadFileBytes(root / "Account.ini"), accounts);  // nothing written over
  }

  void printsTheHeaderAndWrappedBodyToPdf() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) QSKIP("pdftotext is not installed");
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteUtf8(root / "Account.ini", {"A\tpop.a\tu\tp\ts\ta@x\t110\t25\t0"});
    WriteUtf8(root / "受信/A/MsgID.ini", {"<p@x>\t印刷\tf\t2009/03/01_10:00:00\t10\t2\t2\t2"});
    const std::string long_line(300, 'x');
    WriteUtf8(root / "受信/A" / (MakeFileKey("<p@x>") + ".txt"),
              {"件名:印刷の件", "-------------------", "本文の一行目", long_line + "END"});
    auto port = std::make_unique<ScriptedPort>();
    AppWindows windows(root, std::move(port));
    windows.frmMain->ShowAtStart();
    windows.frmMain->Shell().ShowMessage(0);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    printer.setOutputFileName(pdf);
    QVERIFY(windows.frmMain->PrintShownMessage(printer));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(printed.indexOf(QStringLiteral("件名:印刷の件")) >= 0, qPrintable(printed));
    QVERIFY2(printed.indexOf(QStringLiteral("件名")) < printed.indexOf(QStringLiteral("本文の一行目")), qPrintable(printed));
    QVERIFY2(printed.indexOf(QStringLiteral("END")) >= 0, qPrintable(printed));  // the long line is wrapped, not cut
  }
};

QTEST_MAIN(PasswordPrintWindowTest)
#include "password_print_window_test.moc"
