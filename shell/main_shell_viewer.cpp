// MainShell: showing a message: header panel, body, attachments and their preview, the HTML
// view, links.
#include <algorithm>
#include <system_error>

#include "codecs/charset.h"
#include "codecs/shown_text.h"
#include "text/ascii_case.h"
#include "text/code_page.h"
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/system_error_text.h"
#include "platform/text_file.h"
#include "receive/original_text.h"
#include "receive/sender_trust.h"
#include "shell/html_page.h"
#include "shell/link_check.h"
#include "shell/link_text.h"
#include "shell/main_shell.h"
#include "shell/preview_text.h"
#include "shell/shell_texts.h"
#include "shell/shown_text.h"
#include "store/index_row.h"
#include "store/message_file_key.h"
#include "store/message_files.h"
#include "store/store_layout.h"
#include "store/stored_message.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

// Entries of a directory (folders and files) in one listing order.
std::vector<std::string> ListEntries(const std::filesystem::path& dir) {
  std::vector<std::string> names = ListSubdirectories(dir);
  for (auto& f : ListFiles(dir)) names.push_back(std::move(f));
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return NativeName(a) < NativeName(b); });
  return names;
}

// A text attachment's text as sent, from the message's original (its saved file is code page
// 932, a substitute for what that lacks); empty when there is no original.
std::string PreviewTextAsSent(const ViewerContent& v, const std::filesystem::path& file) {
  // Only the shown message's own attachments have an original to come from.
  if (v.message_file.empty() || file.parent_path() != v.attachment_dir) return {};
  std::filesystem::path original = v.message_file;
  original.replace_extension(std::string(kOriginalExtension));
  if (!FileExists(original)) return {};
  const std::optional<OriginalText> sent = ReadOriginalText(original, true);
  if (!sent) return {};
  const std::string name = StoreName(file.filename().string());
  for (const auto& [stored, text] : sent->attachment_texts)
    if (stored == name) return Utf8ToCp932(text);
  return {};
}

// Saves an attachment's file as target, whole or not at all (a full disk leaves an older file
// of that name as it was); tells the user why when it cannot.
void SaveCopy(UiPort& ui, const std::filesystem::path& from, const std::filesystem::path& target) {
  if (const std::error_code ec = TryCopyFile(from, target))
    ui.MessageBox(Sjis(texts::kSaveFailed) + "\r\n" + DisplayPath(target) + "\r\n" + SystemErrorText(ec), MsgIcon::Error);
}

}  // namespace

std::string MainShell::MessageDirOf(size_t display_row) const {
  switch (state_.ViewMode) {
    case ViewModes::SendFolder: return SendFolderPath();
    case ViewModes::Drafts: return DraftFolderPath();
    case ViewModes::Extract: return std::string(list_.Column(display_row, kColReference));
    default: return state_.CurrentFolderPath;
  }
}

bool MainShell::ReadMessage(const std::string& dir, const std::string& id, ViewerContent& v) const {
  const std::string key = FileKeyInFolder(Native(dir), id);
  auto file = Native(dir + key + ".txt");
  // The stored file: header lines up to the separator line, then the body.
  std::vector<std::string> lines;
  if (!ReadLines(file, lines)) return false;
  auto sep = std::find(lines.begin(), lines.end(), kStoredMessageSeparator);
  auto body_begin = lines.begin();
  if (sep != lines.end()) {
    for (auto it = lines.begin(); it != sep + 1; ++it) v.header_text += TrustLineShown(*it) + "\r\n";
    body_begin = sep + 1;
  }
  for (auto it = body_begin; it != lines.end(); ++it) v.body_text += *it + "\r\n";
  v.message_file = file;
  v.attachment_dir = Native(dir + std::string(kAttachmentDirName) + "\\" + key + "\\");
  v.attachments = ListEntries(v.attachment_dir);
  // Where the message file has a substitute, the texts as sent.
  ShownTexts shown = ShowMessageTexts(v.header_text, v.body_text, v.attachments, file, OriginalIn(Native(dir), key));
  v.header_text = std::move(shown.header);
  v.body_text = std::move(shown.body);
  v.text_view = TextViewOf(v.body_text);
  v.attachment_names = std::move(shown.attachment_names);
  return true;
}

void MainShell::ShowMessage(size_t display_row) {
  MainState& s = state_;
  ViewerContent& v = s.Viewer;
  // The viewer empties first, so an invalid row shows nothing of the message before it.
  ClearViewer();
  // A server row is no stored message: a local file with the same id is another message.
  if (display_row >= list_.Count() || !list_.IsValid(display_row) || IsServerList(s.ViewMode)) {
    ui_.ViewerChanged();
    return;
  }
  std::string id(list_.MessageId(display_row));
  v.shown_row = list_.RebuildRow(display_row);
  // Reply and forward take the subject and sender as sent.
  if (MayHaveSubstitute(v.shown_row)) {
    std::vector<std::string> fields = SplitTabLine(v.shown_row);
    if (auto subject = ShownColumn(display_row, kColSubject); subject && fields.size() > IndexRow::kSubject)
      fields[IndexRow::kSubject] = *subject;
    if (auto from = ShownColumn(display_row, kColCorrespondent); from && fields.size() > IndexRow::kCorrespondent)
      fields[IndexRow::kCorrespondent] = *from;
    v.shown_row = JoinTabLine(fields);
  }
  if (ReadMessage(MessageDirOf(display_row), id, v) && !v.attachments.empty())
    PreviewAttachment(v.attachment_dir / NativeName(v.attachments.front()));
  // Reading an unread message marks it read, in the list and in the index on disk.
  if (s.ViewMode != ViewModes::Extract && list_.Mark(display_row) == kMarkUnread) {
    list_.SetMark(display_row, kMarkRead);
    IndexOnScreen target = CurrentListedIndex();
    if (target.index) {
      ChangeRow(*target.index, id, list_.RebuildRow(display_row), target.file);
      s.UnreadCount = CountUnread(*target.index);
      RefreshListedLabel();
    }
  }
  ui_.ViewerChanged();
}

void MainShell::ShowHtml() {
  // The page is the shown message's: with none shown there is nothing to show.
  if (state_.Viewer.message_file.empty()) return;
  ViewerContent& v = state_.Viewer;
  v.html_file = state_.MailRoot / std::string(texts::kHtmlScratchFile);
  v.html_page = HtmlPageOf(v.body_text) + "\r\n";
  WriteFileAtomic(v.html_file, v.html_page);
  v.html_shown = true;
  ui_.ViewerChanged();
}

void MainShell::ShowText() {
  state_.Viewer.html_shown = false;
  ui_.ViewerChanged();
}

std::optional<std::string> MainShell::ShownSource() {
  const ViewerContent& v = state_.Viewer;
  if (v.message_file.empty()) return std::nullopt;
  std::filesystem::path original = v.message_file;
  original.replace_extension(std::string(kOriginalExtension));
  std::optional<std::string> bytes = FileExists(original) ? ReadFileBytes(original) : std::nullopt;
  if (!bytes) {
    ui_.MessageBox(Sjis(texts::kNoOriginal), MsgIcon::Information);
    return std::nullopt;
  }
  // Mail is ASCII but for 8-bit parts: UTF-8 ones show as they are, others as code page 932.
  if (IsUtf8WithNonAscii(*bytes)) return bytes;
  return SjisToShownUtf8(*bytes);
}

void MainShell::SetHeaderShown(bool shown) {
  state_.HeaderShown = shown;
  ui_.ViewerChanged();
}

void MainShell::PreviewAttachment(const std::filesystem::path& file) {
  ViewerContent& v = state_.Viewer;
  std::string ext = AsciiLower(file.extension().string());
  if (ext == ".jpg" || ext == ".bmp" || ext == ".txt" || ext == ".csv") {
    if (!FileExists(file)) return;
    v.preview = ext == ".jpg" || ext == ".bmp" ? ViewerContent::Preview::Picture : ViewerContent::Preview::Text;
    v.preview_file = file;
    v.preview_text.clear();
    if (v.preview == ViewerContent::Preview::Text) {
      v.preview_text = PreviewTextAsSent(v, file);
      if (v.preview_text.empty()) v.preview_text = PreviewTextOfFile(file);
    }
  } else {
    v.preview = ViewerContent::Preview::Hidden;
    v.preview_file.clear();
    v.preview_text.clear();
  }
}

void MainShell::ClickAttachment(size_t entry) {
  const ViewerContent& v = state_.Viewer;
  if (entry >= v.attachments.size()) return;
  PreviewAttachment(v.attachment_dir / NativeName(v.attachments[entry]));
  ui_.ViewerChanged();
}

bool MainShell::CanActOnAttachment(std::optional<size_t> entry) const {
  return entry && *entry < state_.Viewer.attachments.size();
}

void MainShell::OpenAttachment(size_t entry) {
  const ViewerContent& v = state_.Viewer;
  if (entry >= v.attachments.size()) return;
  ui_.OpenFile(v.attachment_dir / NativeName(v.attachments[entry]));
}

void MainShell::SaveAttachment(size_t entry) {
  const ViewerContent& v = state_.Viewer;
  if (entry >= v.attachments.size()) return;
  auto target = ui_.ChooseSaveFile(v.attachments[entry], Sjis(texts::kAllFilesFilter));
  if (!target) return;
  std::error_code ec;
  if (std::filesystem::exists(*target, ec) &&
      ui_.MessageBox(Sjis(texts::kOverwrite), MsgIcon::Warning, MsgButtons::YesNoCancel) != MsgAnswer::Yes)
    return;
  SaveCopy(ui_, v.attachment_dir / NativeName(v.attachments[entry]), *target);
}

void MainShell::SaveAllAttachments() {
  const ViewerContent& v = state_.Viewer;
  if (v.attachments.empty()) return;
  auto folder = ui_.ChooseFolder(Sjis(texts::kChooseFolder));
  if (!folder) return;
  for (const std::string& name : v.attachments) {
    auto target = *folder / NativeName(name);
    std::error_code ec;
    if (std::filesystem::exists(target, ec) &&
        ui_.MessageBox(Sjis(texts::kOverwrite), MsgIcon::Warning, MsgButtons::YesNoCancel) != MsgAnswer::Yes)
      continue;
    SaveCopy(ui_, v.attachment_dir / NativeName(name), target);
  }
}

bool MainShell::DetectLink(std::u16string_view body, size_t position) {
  if (body.empty()) return false;
  auto link = FindLinkAt(body, position);
  if (!link) return false;
  std::string url;
  for (char16_t c : *link) url += static_cast<char>(c);  // link characters are ASCII
  const size_t start = body.rfind(*link, std::min(position, body.size() - 1));
  state_.HoverShownHost = start == std::u16string_view::npos ? std::string() : DeceptiveHostBefore(body, start, url);
  state_.HoverUrl = std::move(url);
  return true;
}

void MainShell::OpenHoverLink() {
  if (state_.HoverUrl.empty()) return;
  // A link after a text showing another host: the real target is shown and asked about first.
  if (!state_.HoverShownHost.empty() &&
      ui_.MessageBox(DeceptiveLinkQuestion(state_.HoverShownHost, state_.HoverUrl), MsgIcon::Warning,
                     MsgButtons::YesNo) != MsgAnswer::Yes)
    return;
  ui_.OpenUrl(state_.HoverUrl);
}

}  // namespace plumex
