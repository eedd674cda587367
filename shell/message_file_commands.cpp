#include "shell/message_file_commands.h"

#include <system_error>

#include "platform/app_error.h"
#include "text/carried_text.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "shell/html_page.h"
#include "shell/receive_commands.h"
#include "shell/shell_texts.h"
#include "store/folder_label.h"
#include "store/store_layout.h"

namespace plumex {

bool MessageFileCommands::MessageShown() const { return !shell_.State().Viewer.message_file.empty(); }

void MessageFileCommands::SaveShownMessage() {
  if (!MessageShown()) return;
  const ViewerContent& v = shell_.State().Viewer;
  auto file = shell_.Ui().ChooseSaveFile(StoreName(v.message_file.filename().string()), Sjis(texts::kSaveMessageFilter));
  if (!file) return;
  std::error_code ec;
  if (std::filesystem::exists(*file, ec) &&
      shell_.Ui().MessageBox(Sjis(texts::kOverwrite), MsgIcon::Warning, MsgButtons::YesNoCancel) != MsgAnswer::Yes)
    return;
  // A text file of code page 932 as it has always been: what it lacks, one "?" each.
  WriteFileAtomic(*file, WithSubstitutes(v.header_text + v.body_text));
}

bool MessageFileCommands::CanOverwriteShown() const {
  return MessageShown() && !HtmlPartStart(shell_.State().Viewer.body_text);
}

void MessageFileCommands::OverwriteShownMessage(const std::string& header_text, const std::string& body_text) {
  if (!MessageShown()) return;
  if (!CanOverwriteShown()) {
    shell_.Ui().MessageBox(Sjis(texts::kOverwriteHtmlRefused), MsgIcon::Warning);
    return;
  }
  ViewerContent& v = shell_.State().Viewer;
  if (v.html_shown) shell_.ShowText();
  if (body_text.empty()) return;
  WriteFileAtomic(v.message_file, header_text + body_text);
  v.header_text = header_text;
  v.body_text = body_text;
  v.text_view = TextViewOf(body_text);
}

std::string MessageFileCommands::PrintText() const {
  const ViewerContent& v = shell_.State().Viewer;
  return v.header_text + v.body_text;
}

void MessageFileCommands::ImportChosenMailbox() {
  const auto files = shell_.Ui().ChooseOpenFiles(Sjis(texts::kImportMailboxFilter), false, 0);
  if (!files.empty()) ImportMailbox(files.front());
}

ImportResult MessageFileCommands::ImportMailbox(const std::filesystem::path& mailbox) {
  MainState& s = shell_.State();
  if (s.CurrentAccount.empty()) throw AppError(ErrorKind::BadInput, Sjis(texts::kImportNeedsAccount));
  auto run = shell_.Gate().TryEnter(RunKind::Import);
  if (!run) return {};
  UiPort& ui = shell_.Ui();
  // The window breathes between messages and shows how far the file is read; "中止" ends the
  // import with what was filed written.
  constexpr long long kSteps = 1000;
  ImportResult result;
  try {
    result = plumex::ImportMailbox(mailbox, s.MailRoot, s.CurrentAccount, receive_.Rules(),
                                   [&](long long done, long long total) {
                                     if (total > 0) ui.SetProgress(static_cast<int>(done * kSteps / total) + 1, kSteps + 1);
                                     ui.Pump();
                                     return !run->StopRequested();
                                   });
  } catch (...) {
    ui.SetProgress(0, 0);
    throw;
  }
  ui.SetProgress(0, 0);
  // The import folder shows in the account's tree with its unread count, as do the folders
  // the rules sent mail to.
  FolderTree& tree = shell_.ReceiveTree();
  const std::string folder = ImportFolderPath(s.CurrentAccount);
  if (FolderNode* account = tree.FindByPath(AccountFolderPath(s.CurrentAccount))) {
    FolderNode* node = tree.FindByPath(folder);
    if (!node) node = tree.Add(account, "becky");
    const FolderIndex index = FolderIndex::Open(shell_.Native(folder) / std::string(kReceiveIndexName));
    tree.SetLabel(node, LabelOfFolder(node->FolderName(), CountUnread(index)));
  }
  const std::string prefix = ReceiveRootName() + "\\";
  for (const auto& [path, count] : result.folder_new_counts.entries)
    if (path != folder) receive_.AddToFolderLabel(path.substr(prefix.size()), count);
  if (s.CurrentFolderPath == folder) {
    s.CurrentIndex = FolderIndex::Open(shell_.Native(folder) / std::string(kReceiveIndexName));
    shell_.ListFolderIndex(s.CurrentIndex.Rows());
  }
  ui.MessageBox(ImportSummaryText(result) + "\r\n" + Sjis(run->StopRequested() ? texts::kStopped : texts::kDone));
  return result;
}

}  // namespace plumex
