#include "shell/merge_sheet_commands.h"

#include <charconv>

#include "text/sjis_search.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "send/substitute_row.h"
#include "shell/compose.h"
#include "shell/merge_texts.h"
#include "shell/shell_texts.h"

namespace plumex {
namespace {

std::optional<long long> ParseCount(const std::string& text) {
  long long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  return text;
}

}  // namespace

MergeSheetCommands::MergeSheetCommands(MainShell& shell, ComposeCommands& compose) : shell_(shell), compose_(compose) {}

std::string MergeSheetCommands::FileLabel() const {
  return file_name_.empty() ? Sjis(texts::kSheetNotSet) : file_name_;
}

bool MergeSheetCommands::LoadChosenFile() {
  const auto files = shell_.Ui().ChooseOpenFiles(Sjis(texts::kSheetFileFilter), false, 0);
  return !files.empty() && LoadFile(files.front());
}

bool MergeSheetCommands::LoadFile(const std::filesystem::path& file) {
  UiPort& ui = shell_.Ui();
  std::optional<std::vector<std::string>> rows = ReadSheetFile(file);
  if (!rows) {
    ui.MessageBox(Sjis(texts::kSheetUnreadable) + "\r\n" + PathText(file), MsgIcon::Error);
    return false;
  }
  const std::optional<size_t> width = CheckSheetRows(*rows);
  if (!width) {
    ui.MessageBox(Sjis(texts::kSheetBadRows));
    return false;
  }
  ComposeContent& c = compose_.Content();
  c.merge_sheet = *rows;
  c.merge = true;
  grid_.Assign(std::move(*rows), *width);
  file_name_ = PathText(file);
  return true;
}

bool MergeSheetCommands::Close() {
  if (grid_.IsInitial()) return true;
  UiPort& ui = shell_.Ui();
  ComposeContent& c = compose_.Content();
  c.merge = !file_name_.empty();
  if (grid_.FirstRowWithoutAddress()) {
    ui.MessageBox(Sjis(texts::kSheetNotAddress));
    return false;
  }
  std::optional<std::vector<std::string>> sheet = grid_.ToSheet();
  if (!sheet) {
    ui.MessageBox(Sjis(texts::kSheetTitleEmpty));
    return false;
  }
  c.merge_sheet = std::move(*sheet);
  return true;
}

void MergeSheetCommands::Save() {
  UiPort& ui = shell_.Ui();
  std::optional<std::vector<std::string>> sheet = grid_.ToSheet();
  if (!sheet) {
    ui.MessageBox(Sjis(texts::kSheetTitleEmpty));
    return;
  }
  compose_.Content().merge_sheet = *sheet;
  std::filesystem::path target;
  if (!file_name_.empty() && std::filesystem::is_regular_file(PathFromText(file_name_))) {
    target = PathFromText(file_name_);
  } else {
    std::optional<std::filesystem::path> chosen = ui.ChooseSaveFile("", Sjis(texts::kSheetFilter));
    if (!chosen) return;
    target = *chosen;
  }
  WriteLines(target, *sheet);
  file_name_ = PathText(target);
  ui.MessageBox(Sjis(texts::kSheetSaved));
}

void MergeSheetCommands::Clear() {
  file_name_.clear();
  grid_.Reset();
  ComposeContent& c = compose_.Content();
  c.merge = false;
  c.merge_sheet.clear();
  column_items_.clear();
}

void MergeSheetCommands::Change(std::string& columns, std::string& rows) {
  UiPort& ui = shell_.Ui();
  const long long cols = ParseCount(columns).value_or(0);
  const long long count = ParseCount(rows).value_or(0);
  if (cols < 1) {
    ui.MessageBox(Sjis(texts::kSheetColumnsMin));
    columns = "1";
    return;
  }
  if (count < 2) {
    ui.MessageBox(Sjis(texts::kSheetRowsMin));
    rows = "2";
    return;
  }
  grid_.Resize(static_cast<size_t>(cols), static_cast<size_t>(count));
  ui.MessageBox(Sjis(texts::kSheetSaveNew));
}

void MergeSheetCommands::ImportFromAddressBook(
    const std::function<std::optional<std::filesystem::path>()>& export_recipients) {
  shell_.Ui().MessageBox(Sjis(texts::kSheetExportFirst));
  if (!export_recipients) return;
  // Only what this export wrote: a file some other save dialog chose is no recipient list.
  if (std::optional<std::filesystem::path> written = export_recipients()) LoadFile(*written);
}

void MergeSheetCommands::OverwriteCells(const CellRect& block) {
  std::optional<std::string> text =
      shell_.Ui().InputBox(Sjis(texts::kSheetOverwriteCaption), Sjis(texts::kSheetOverwritePrompt), "");
  if (text) grid_.Fill(block, *text);
}

void MergeSheetCommands::EraseCells(const CellRect& block) {
  if (shell_.Ui().MessageBox(Sjis(texts::kSheetErase), MsgIcon::Warning, MsgButtons::YesNoCancel) == MsgAnswer::Yes)
    grid_.Fill(block, "");
}

void MergeSheetCommands::DeleteColumns(const CellRect& block) {
  const std::string question = std::to_string(block.left + 1) + Sjis(texts::kSheetColumnsFrom) +
                               std::to_string(block.right + 1) + Sjis(texts::kSheetColumnsTo);
  if (shell_.Ui().MessageBox(question, MsgIcon::Warning, MsgButtons::YesNoCancel) == MsgAnswer::Yes)
    grid_.RemoveColumns(block.left, block.right);
}

void MergeSheetCommands::DeleteRows(const CellRect& block) {
  const std::string question = std::to_string(block.top) + Sjis(texts::kSheetRowsFrom) + std::to_string(block.bottom) +
                               Sjis(texts::kSheetRowsTo);
  if (shell_.Ui().MessageBox(question, MsgIcon::Warning, MsgButtons::YesNoCancel) == MsgAnswer::Yes)
    grid_.RemoveRows(block.top, block.bottom);
}

void MergeSheetCommands::InsertChosenAttachment(const CellRect& block) {
  const auto files = shell_.Ui().ChooseOpenFiles(Sjis(texts::kAllFilesFilter), false, 0);
  if (!files.empty()) InsertAttachment(block, PathText(files.front()));
}

void MergeSheetCommands::InsertAttachment(const CellRect& block, const std::string& path) {
  const std::string cell = grid_.Cell(block.top, block.left);
  grid_.SetCell(block.top, block.left, cell.empty() ? path : cell + ";" + path);
  compose_.AddAttachment(Placeholder(block.left + 1));
}

void MergeSheetCommands::RebuildColumnItems() {
  if (grid_.IsInitial()) return;
  column_items_.clear();
  for (size_t c = 0; c < grid_.Columns(); ++c)
    column_items_.push_back(grid_.Cell(0, c) + "(" + Placeholder(c + 1) + ")");
}

bool MergeSheetCommands::PlaceholderFitsAddressBox(size_t column_number) {
  const bool fits = grid_.Rows() > 1 && column_number >= 1 && column_number <= grid_.Columns() &&
                    ContainsSjis(grid_.Cell(1, column_number - 1), "@");
  if (!fits) shell_.Ui().MessageBox(Sjis(texts::kPlaceholderNotAddress));
  return fits;
}

std::string MergeSheetCommands::PreviewText() const {
  const auto& sheet = compose_.Content().merge_sheet;
  const size_t row = static_cast<size_t>(preview_.Record());
  return row < sheet.size() ? SubstituteRow(preview_.Template(), sheet[row]) : preview_.Template();
}

std::optional<std::string> MergeSheetCommands::StartPreview() {
  const ComposeContent& c = compose_.Content();
  if (c.merge_sheet.size() < 2) {
    shell_.Ui().MessageBox(Sjis(texts::kNoSheet));
    return std::nullopt;
  }
  preview_.Start(Joined(c.body));
  return PreviewText();
}

std::string MergeSheetCommands::StepPreview(int delta) {
  if (std::optional<std::string> edge = preview_.Step(delta, compose_.Content().merge_sheet.size()))
    shell_.Ui().MessageBox(*edge);
  return PreviewText();
}

}  // namespace plumex
