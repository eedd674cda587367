#include "ui/qt_ui_port.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

#include "text/sjis_text.h"
#include "protocol/protocol_trace.h"
#include "ui/dialog_owner.h"
#include "ui/help_commands.h"
#include "ui/frm_main.h"
#include "ui/frm_send_check.h"
#include "ui/qt_text.h"

namespace plumex {

MsgAnswer QtUiPort::MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) {
  QMessageBox box(DialogParent());
  box.setWindowTitle(QStringLiteral("Plumex"));
  box.setText(ToQ(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  // A failure that names a server keeps the last lines of that connection under "詳細"
  // (secrets already masked), for whoever helps the user.
  if (icon == MsgIcon::Error && text.find(Sjis("サーバ: ")) != std::string::npos) {
    const std::string trace = LastConnectionTrace();
    if (!trace.empty()) box.setDetailedText(ToQ(trace).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  }
  switch (icon) {
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::None: break;
  }
  switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesCancel: box.setStandardButtons(QMessageBox::Yes | QMessageBox::Cancel); break;
    case MsgButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default: return MsgAnswer::Cancel;
  }
}

std::optional<std::string> QtUiPort::InputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& default_text) {
  bool ok = false;
  QString answer = QInputDialog::getText(DialogParent(), ToQ(caption), ToQ(prompt), QLineEdit::Normal, ToQ(default_text), &ok);
  if (!ok) return std::nullopt;
  return FromQ(answer);
}

std::optional<std::string> QtUiPort::PasswordBox(const std::string& caption, const std::string& prompt) {
  bool ok = false;
  QString answer = QInputDialog::getText(DialogParent(), ToQ(caption), ToQ(prompt), QLineEdit::Password, QString(), &ok);
  if (!ok) return std::nullopt;
  return FromQ(answer);
}

// The dialog's filter list from a filter the core gives: one caption ("すべてのファイル(*.*)"), or
// pairs of caption and pattern joined by "|" ("テキストファイル(*.txt)|*.txt|..."). Each becomes
// "caption (patterns)" as the dialog reads it; "*.*" is every file, with a dot in its name or not.
QString DialogFilterOf(const std::string& filter) {
  const QStringList parts = ToQ(filter).split(QLatin1Char('|'));
  auto patterns = [](QString p) {
    p.replace(QLatin1Char(';'), QLatin1Char(' '));
    return p == QLatin1String("*.*") ? QStringLiteral("*") : p.replace(QLatin1String("*.*"), QLatin1String("*"));
  };
  if (parts.size() < 2) {
    QString only = parts.value(0);
    const qsizetype open = only.lastIndexOf(QLatin1Char('('));
    if (open < 0 || !only.endsWith(QLatin1Char(')'))) return only;
    return only.left(open) + QStringLiteral(" (") + patterns(only.mid(open + 1, only.size() - open - 2)) + QLatin1Char(')');
  }
  QStringList items;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString caption = parts[i];
    const qsizetype open = caption.lastIndexOf(QLatin1Char('('));
    if (open > 0 && caption.endsWith(QLatin1Char(')'))) caption = caption.left(open);
    items << caption + QStringLiteral(" (") + patterns(parts[i + 1]) + QLatin1Char(')');
  }
  return items.join(QStringLiteral(";;"));
}

// The core asks before a chosen file is replaced, so the dialog does not ask a second time.
std::optional<std::filesystem::path> QtUiPort::ChooseSaveFile(const std::string& default_name,
                                                              const std::string& filter) {
  QString file = QFileDialog::getSaveFileName(DialogParent(), QString(), ToQ(default_name), DialogFilterOf(filter),
                                              nullptr, QFileDialog::DontConfirmOverwrite);
  if (file.isEmpty()) return std::nullopt;
  return PathFromQ(file);
}

std::optional<std::filesystem::path> QtUiPort::ChooseFolder(const std::string& caption) {
  QString dir = QFileDialog::getExistingDirectory(DialogParent(), ToQ(caption));
  if (dir.isEmpty()) return std::nullopt;
  return PathFromQ(dir);
}

std::vector<std::filesystem::path> QtUiPort::ChooseOpenFiles(const std::string& filter, bool several,
                                                           int initial_filter) {
  const QString filters = DialogFilterOf(filter);
  QString chosen_filter = filters.split(QStringLiteral(";;")).value(initial_filter);
  QStringList files;
  if (several)
    files = QFileDialog::getOpenFileNames(DialogParent(), QString(), QString(), filters, &chosen_filter);
  else if (QString file = QFileDialog::getOpenFileName(DialogParent(), QString(), QString(), filters, &chosen_filter);
           !file.isEmpty())
    files << file;
  std::vector<std::filesystem::path> paths;
  for (const QString& f : files) paths.push_back(PathFromQ(f));
  return paths;
}

bool QtUiPort::ConfirmSend(const SendCheck& check) { return TfrmSendCheck::Ask(check, DialogParent()); }

QWidget* QtUiPort::DialogParent() const { return DialogOwnerScope::Owner(window_.data()); }

void QtUiPort::SetStatusText(int panel, const std::string& text) {
  if (window_) window_->SetStatusText(panel, ToQ(text));
}

void QtUiPort::SetProgress(int position, int maximum) {
  if (window_) window_->SetProgress(position, maximum);
}

void QtUiPort::SetModeLabel(const std::string& text, Rgb background) {
  if (window_) window_->SetModeLabel(ToQ(text), QColor::fromRgb(background));
}

void QtUiPort::SetAccountLabel(const std::string& text) {
  if (window_) window_->SetAccountLabel(ToQ(text));
}

void QtUiPort::Pump() { QCoreApplication::processEvents(); }

void QtUiPort::OpenFile(const std::filesystem::path& file) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(PathToQ(file)));
}

// Links open in the desktop's browser; without one the person is told, not left waiting.
void QtUiPort::OpenUrl(const std::string& url) {
  QUrl u(QString::fromLatin1(url.data(), static_cast<qsizetype>(url.size())));
  if (u.scheme() != QLatin1String("http") && u.scheme() != QLatin1String("https")) return;
  if (OpenInBrowser(u)) return;
  MessageBox(Sjis("リンクを開くウェブブラウザが見つかりません。") + "\r\n" + url, MsgIcon::Warning, MsgButtons::Ok);
}

void QtUiPort::ShowComposeWindow() {
  if (window_) window_->ShowComposeWindow();
}

void QtUiPort::HideComposeWindow() {
  if (window_) window_->HideComposeWindow();
}

bool QtUiPort::ResolveUnsentCompose() { return !window_ || window_->ResolveUnsentCompose(); }

void QtUiPort::DelayedSendChanged(bool active) {
  if (window_) window_->SetDelayedSendActive(active);
}

void QtUiPort::MergeSent() {
  if (window_) window_->ShowMergeLog();
}

void QtUiPort::RunStateChanged(bool) {
  if (window_) window_->GreyWhileRunning();
}

void QtUiPort::ChooseListRow(std::optional<size_t> display_row, bool to_top) {
  if (window_) window_->ChooseListRow(display_row, to_top);
}

void QtUiPort::ViewerChanged() {
  if (window_) window_->RenderViewer();
}

}  // namespace plumex
