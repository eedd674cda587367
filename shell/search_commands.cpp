#include "shell/search_commands.h"

#include <cstdlib>

#include "text/carried_text.h"
#include "text/code_page.h"
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "receive/original_text.h"
#include "search/extraction.h"
#include "search/folded_match.h"
#include "search/related_mail.h"
#include "search/search_texts.h"
#include "shell/scoped_flag.h"
#include "shell/shell_texts.h"
#include "shell/shown_text.h"
#include "store/folder_index.h"
#include "store/store_layout.h"

namespace plumex {
SearchCommands::SearchCommands(MainShell& shell) : shell_(shell) {}

// --- Subject search -----------------------------------------------------------------------

bool SearchCommands::SubjectMatches(size_t display_row) const {
  if (!FoldedKey(subject_key_).FoundIn(shell_.List().Column(display_row, kColSubject))) return false;
  if (subject_key_as_typed_.empty()) return true;
  // The stored subject holds a substitute where the key has a character it lacks: the
  // subject as sent decides.
  const std::optional<std::string> shown = shell_.ShownColumn(display_row, kColSubject);
  return !shown || ContainsAsTyped(Cp932ToUtf8(*shown), subject_key_as_typed_);
}

void SearchCommands::ChooseRow(std::optional<size_t> row, bool to_top) {
  shell_.List().SetSelection(row ? std::vector<size_t>{*row} : std::vector<size_t>{});
  shell_.Ui().ChooseListRow(row, to_top);
}

bool SearchCommands::AskSearchAgain() {
  return shell_.Ui().MessageBox(Sjis(texts::kSearchAgain), MsgIcon::Warning, MsgButtons::YesNoCancel) ==
         MsgAnswer::Yes;
}

void SearchCommands::SearchSubject() {
  UiPort& ui = shell_.Ui();
  auto key = ui.InputBox(Sjis(texts::kSubjectSearchCaption), Sjis(texts::kSubjectSearchPrompt), "");
  if (!key || key->empty()) return;
  // The stored subjects hold a substitute for each character the key carries.
  subject_key_ = WithSubstitutes(*key);
  subject_key_as_typed_ = subject_key_ != *key ? Cp932ToUtf8(*key) : std::string();
  const MessageList& list = shell_.List();
  for (size_t row = 0; row < list.Count(); ++row) {
    if (!SubjectMatches(row)) continue;
    ChooseRow(row, true);
    position_ = static_cast<long long>(row) + 1;
    return;
  }
  if (!AskSearchAgain()) return;
  position_ = 0;
  SearchNext();
}

bool SearchCommands::CanSearchNext() const { return HasSubjectKey() && shell_.List().Count() > 0; }

void SearchCommands::SearchNext() {
  const MessageList& list = shell_.List();
  const auto count = static_cast<long long>(list.Count());
  if (subject_key_.empty() || count == 0) return;
  ChooseRow(std::nullopt, false);
  if (position_ < 0) position_ = 0;
  if (position_ >= count) {
    if (!AskSearchAgain()) return;
    position_ = 0;
  }
  for (;;) {
    for (long long row = position_; row < count; ++row) {
      if (!SubjectMatches(static_cast<size_t>(row))) continue;
      ChooseRow(static_cast<size_t>(row), false);
      position_ = row + 1;
      return;
    }
    if (!AskSearchAgain()) return;
    position_ = 0;
  }
}

// --- Extraction ---------------------------------------------------------------------------

std::string SearchCommands::SearchedFolderPath() {
  const MainState& s = shell_.State();
  if (s.ActiveTree == Trees::Send)
    if (const FolderNode* node = shell_.SendTree().Selected()) return node->Path();
  return s.CurrentFolderPath;
}

// The rows of the index of the folder searched: the one in memory for the folder on screen,
// otherwise the send tree's index file of that folder.
size_t SearchCommands::RowCountOf(const std::string& folder) const {
  const MainState& s = shell_.State();
  if (s.ActiveTree != Trees::Send) return s.CurrentIndex.Rows().Size();
  std::string_view name = folder == DraftFolderPath() ? kDraftIndexName : kSendIndexName;
  return FolderIndex::LoadIfExists(shell_.Native(folder) / std::string(name)).Rows().Size();
}

void SearchCommands::ShowRows(bool with_groups) {
  MessageList& list = shell_.List();
  list.BeginFill(result_rows_.size());
  for (size_t i = 0; i < result_rows_.size(); ++i) {
    RowGroup group = !with_groups ? RowGroup::None : result_group_starts_[i] ? RowGroup::First : RowGroup::Member;
    list.AddRow(result_rows_[i], true, group);
  }
  list.EndFill();
}

bool SearchCommands::Extract(const std::optional<std::string>& given_key) {
  if (walking_) return false;
  std::string folder = SearchedFolderPath();
  if (folder.empty()) return false;
  UiPort& ui = shell_.Ui();
  if (RowCountOf(folder) == 0) {
    ui.MessageBox(Sjis(texts::kFolderOpen) + folder + Sjis(texts::kNoMailInFolder));
    return false;
  }
  std::optional<std::string> key = given_key;
  if (!key)
    key = ui.InputBox(Sjis(texts::kExtractCaption),
                      Sjis(texts::kFolderOpen) + folder + Sjis(texts::kFolderClose) + "\r\n" +
                          Sjis(texts::kExtractPrompt2) + "\r\n\r\n" + Sjis(texts::kExtractPrompt3),
                      "");
  if (!key || key->empty()) return false;
  auto run = shell_.Gate().TryEnter(RunKind::Search);
  if (!run) return false;
  // A key carrying characters code page 932 lacks matches a substitute in the message file;
  // the message's original (when it keeps one) tells whether it holds the key as typed.
  const std::string stored_key = WithSubstitutes(*key);
  const std::string typed = stored_key != *key ? Cp932ToUtf8(*key) : std::string();
  ExtractionConfirm confirm;
  if (!typed.empty())
    confirm = [&typed](const std::filesystem::path& message_file) {
      std::filesystem::path original = message_file;
      original.replace_extension(std::string(kOriginalExtension));
      if (!FileExists(original)) return true;
      const std::optional<OriginalText> sent = ReadOriginalText(original, true);
      return !sent || ContainsAsTyped(sent->subject + "\n" + sent->from + "\n" + sent->to + "\n" + sent->cc +
                                          "\n" + sent->body,
                                      typed);
    };

  ScopedFlag walking(walking_);
  MainState& s = shell_.State();
  EnterExtractMode(folder);
  // The index serves keys code page 932 holds; one with characters it lacks is checked against
  // the originals, file by file.
  ExtractionResult found = typed.empty()
                               ? FindMessages(s.MailRoot, folder, *key, ui, run->StopFlag(), search_way_)
                               : ExtractMessages(s.MailRoot, folder, stored_key, ui, run->StopFlag(), kPumpInterval, confirm);
  ui.SetProgress(0, 0);
  // A stop, or a folder chosen while the walk let the window run, has put another list on
  // screen; the result is not shown over it.
  if (found.stopped || s.ViewMode != ViewModes::Extract) return false;
  ShowExtracted(std::move(found.rows));
  return true;
}

void SearchCommands::EnterExtractMode(const std::string& searched_folder) {
  UiPort& ui = shell_.Ui();
  searched_folder_ = searched_folder;
  result_rows_.clear();
  result_group_starts_.clear();
  shell_.List().Clear();
  shell_.EmptyViewer();
  shell_.State().ViewMode = ViewModes::Extract;
  ui.SetStatusText(0, Sjis(texts::kSearching));
  ui.SetStatusText(1, Sjis(texts::kExtractModeStatus));
  ui.SetModeLabel(Sjis(texts::kModeExtract), kModeYellow);
}

void SearchCommands::ShowExtracted(std::vector<std::string> rows) {
  MainState& s = shell_.State();
  UiPort& ui = shell_.Ui();
  result_rows_ = std::move(rows);
  if (ui.ShowsMessageList()) {
    ShowRows(false);
    s.SortKey = SortKeyOf(s.SortKind);
    shell_.ColumnClick(std::abs(s.SortKey) - 1);
  }
  ui.SetStatusText(0, std::to_string(result_rows_.size()) + Sjis(texts::kCountSuffix));
}

// --- Related-mail extraction --------------------------------------------------------------

bool SearchCommands::RelatedExtract() {
  if (walking_) return false;
  MainState& s = shell_.State();
  if (s.CurrentFolderPath.empty()) return false;
  auto run = shell_.Gate().TryEnter(RunKind::Search);
  if (!run) return false;
  ScopedFlag walking(walking_);
  UiPort& ui = shell_.Ui();
  const std::string folder = s.CurrentFolderPath;
  s.ViewMode = ViewModes::RelatedExtract;
  if (!collation_) collation_ = MakeJapaneseCollation();
  RelatedMail related = RelateBySubject(s.CurrentIndex.Rows().Lines(), *collation_, ui, run->StopFlag());
  if (related.stopped || s.ViewMode != ViewModes::RelatedExtract) return false;
  ui.SetModeLabel(Sjis(texts::kModeRelated), kModeSilver);
  result_rows_.clear();
  result_group_starts_.clear();
  if (!related.any_subject) {
    ui.MessageBox(Sjis(texts::kNoRelated));
    return true;
  }
  result_rows_ = std::move(related.lines);
  result_group_starts_ = std::move(related.starts_group);
  if (ui.ShowsMessageList()) ShowRows(true);
  ui.SetStatusText(0, std::to_string(result_rows_.size()) + Sjis(texts::kCountSuffix));
  shell_.EmptyViewer();
  // Ref.ini only keeps the last result, which the command rebuilds: replaced atomically but
  // not forced to disk, which would cost more than the whole extraction.
  WriteFileAtomic(shell_.Native(folder) / std::string(texts::kRelatedIndexName), JoinLines(result_rows_), false);
  ui.MessageBox(Sjis(texts::kDone));
  return true;
}

}  // namespace plumex
