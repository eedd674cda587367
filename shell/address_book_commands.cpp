#include "shell/address_book_commands.h"

#include <algorithm>
#include <numeric>

#include "addressbook/address_texts.h"
#include "addressbook/recipient_sheet.h"
#include "addressbook/sender_split.h"
#include "text/ascii_case.h"
#include "platform/directories.h"
#include "platform/file_write_error.h"
#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

// A record as it is written: one line, the name without the signs of a recipient entry.
AddressRecord StoredRecord(const AddressRecord& typed) {
  return {StoredDisplayName(SingleLineField(typed.name)), SingleLineField(typed.address), SingleLineField(typed.remark)};
}

std::string Joined(const std::vector<std::string>& entries) {
  std::string out;
  for (const auto& e : entries) out += (out.empty() ? "" : ",") + e;
  return out;
}

}  // namespace

AddressBookCommands::AddressBookCommands(MainShell& shell) : shell_(shell) {}
AddressBookCommands::~AddressBookCommands() = default;

BookFolder AddressBookCommands::Folder() const {
  return BookFolder(shell_.Native(std::string(texts::kBookFolder) + "\\"));
}

const BookCollations& AddressBookCommands::Order() const {
  if (!collations_) collations_ = std::make_unique<BookCollations>(BookCollations::Japanese());
  return *collations_;
}

// --- The editor ------------------------------------------------------------------------

void AddressBookCommands::Load() {
  const BookFolder folder = Folder();
  EnsureDirectory(folder.Dir());
  books_ = folder.Books();
  if (!books_.empty()) OpenBook(books_.front());
}

std::string AddressBookCommands::BookLabel() const {
  return current_.empty() ? Sjis(texts::kNoBookChosen) : current_;
}

void AddressBookCommands::OpenBook(const std::string& book) {
  const BookFolder folder = Folder();
  current_ = book;
  adding_ = false;
  const auto bytes = ReadFileBytes(folder.PathOf(book));
  if (!bytes) folder.Save(book, {});  // a missing book comes back empty
  records_ = plumex::SortedRecords(bytes.value_or(""), Order());
  ResetOrder();
  ShowRecord(0);
}

void AddressBookCommands::NewBookClick() {
  const auto name = Ui().InputBox(Sjis(texts::kNewBookCaption), Sjis(texts::kNewBookPrompt), "");
  if (!name || name->empty()) return;
  if (!IsUsableBookName(*name)) {
    Ui().MessageBox(Sjis(texts::kBadBookName));
    return;
  }
  if (Folder().Exists(*name)) {
    Ui().MessageBox(Sjis(texts::kBookExists));
    return;
  }
  books_.push_back(*name);
  // An entry typed before the book was made goes into it: the new book shows it, unsaved.
  const AddressRecord typed = fields_;
  const bool keep = Typed();
  OpenBook(*name);
  if (keep) fields_ = typed;
}

bool AddressBookCommands::Typed() const {
  const AddressRecord shown = index_ < records_.size() ? records_[index_] : AddressRecord{};
  return fields_.name != shown.name || fields_.address != shown.address || fields_.remark != shown.remark;
}

bool AddressBookCommands::RenameBook(const std::string& from, const std::string& to) {
  if (from == to) return true;
  if (!IsUsableBookName(to)) {
    Ui().MessageBox(Sjis(texts::kBadBookName));
    return false;
  }
  const BookFolder folder = Folder();
  if (folder.Exists(to)) {
    Ui().MessageBox(Sjis(texts::kRenameToExisting));
    return false;
  }
  if (folder.Exists(from) && !folder.Rename(from, to)) throw FileWriteError::ForPath(folder.PathOf(to));
  std::replace(books_.begin(), books_.end(), from, to);
  OpenBook(to);
  return true;
}

void AddressBookCommands::DeleteBookClick(const std::string& book) {
  if (book.empty()) return;
  const std::string question = Sjis(texts::kDeleteBook1) + book + Sjis(texts::kDeleteBook2);
  if (Ui().MessageBox(question, MsgIcon::Warning, MsgButtons::YesNoCancel) != MsgAnswer::Yes) return;
  Folder().Remove(book);
  std::erase(books_, book);
  // Nothing may still show, or write back, a book that is gone.
  CloseBook();
}

void AddressBookCommands::CloseBook() {
  current_.clear();
  records_.clear();
  adding_ = false;
  ResetOrder();
  ShowRecord(0);
}

void AddressBookCommands::ResetOrder() {
  order_.resize(records_.size());
  std::iota(order_.begin(), order_.end(), size_t{0});
  sort_column_.reset();
  sort_descending_ = false;
  ++revision_;
}

void AddressBookCommands::ShowRecord(size_t i) {
  index_ = i;
  fields_ = i < records_.size() ? records_[i] : AddressRecord{};
}

void AddressBookCommands::SelectRecord(size_t record) {
  // A record being typed is kept: it ends with "中止" or "更新/保存" only.
  if (adding_ || record >= records_.size()) return;
  ShowRecord(record);
}

void AddressBookCommands::ColumnClick(RecordColumn column) {
  sort_descending_ = sort_column_ == column && !sort_descending_;
  sort_column_ = column;
  ++revision_;
  order_ = ColumnOrder(records_, column, sort_descending_, Order());
}

void AddressBookCommands::LeaveAdding() {
  adding_ = false;
  // Back to the last record; in an empty book to browsing with empty fields.
  ShowRecord(records_.empty() || index_ < records_.size() ? index_ : records_.size() - 1);
}

void AddressBookCommands::AddClick() {
  if (adding_) {
    LeaveAdding();
    return;
  }
  // An entry typed into the fields (no record of the book shows there) is what is added.
  if (Typed()) {
    AddressRecord record = fields_;
    if (!CheckedRecord(record)) return;  // the typed text stays for the person to finish
    if (current_.empty()) {
      Ui().MessageBox(Sjis(books_.empty() ? texts::kCreateBookFirst : texts::kNoBookSelected));
      return;
    }
    index_ = records_.size();
    SaveClick();
    return;
  }
  // Otherwise the fields empty for a new entry, "更新/保存" keeps it.
  adding_ = true;
  fields_ = AddressRecord{};
  index_ = records_.size();
}

bool AddressBookCommands::CheckedRecord(AddressRecord& record) {
  record = StoredRecord(record);
  if (!record.name.empty() && !record.address.empty()) return true;
  Ui().MessageBox(Sjis(texts::kNameAndAddressRequired));
  return false;
}

std::vector<std::string> AddressBookCommands::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(records_.size());
  for (const auto& r : records_) lines.push_back(r.Line());
  return lines;
}

void AddressBookCommands::SaveClick() {
  if (books_.empty()) {
    Ui().MessageBox(Sjis(texts::kCreateBookFirst));
    return;
  }
  if (current_.empty()) {
    Ui().MessageBox(Sjis(texts::kNoBookSelected));
    return;
  }
  AddressRecord record = fields_;
  if (!CheckedRecord(record)) return;
  if (index_ >= records_.size()) {
    records_.push_back(record);
    index_ = records_.size() - 1;
  } else {
    records_[index_] = record;
  }
  Folder().Save(current_, Lines());
  fields_ = record;
  adding_ = false;
  ResetOrder();
}

void AddressBookCommands::DeleteClick() {
  const std::string rest = "\r\n\r\n" + Sjis(texts::kDeleteRecord2);
  if (adding_) {
    if (Ui().MessageBox(Sjis(texts::kCancelAdding) + rest, MsgIcon::Warning, MsgButtons::YesNoCancel) == MsgAnswer::Yes)
      LeaveAdding();
    return;
  }
  if (index_ >= records_.size()) return;
  if (Ui().MessageBox(records_[index_].address + Sjis(texts::kDeleteRecord1) + rest, MsgIcon::Warning,
                      MsgButtons::YesNoCancel) != MsgAnswer::Yes)
    return;
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index_));
  Folder().Save(current_, Lines());
  OpenBook(current_);
}

bool AddressBookCommands::CloseClick() {
  if (adding_) {
    Ui().MessageBox(Sjis(texts::kSaveOrCancel));
    return false;
  }
  const BookFolder folder = Folder();
  if (!current_.empty() && folder.Exists(current_)) folder.Save(current_, Lines());
  return true;
}

// --- The picker --------------------------------------------------------------------------

void AddressBookCommands::Pick(PickerList which, const std::vector<size_t>& records) {
  auto& list = lists_[static_cast<int>(which)];
  for (size_t r : records) {
    if (r >= records_.size()) continue;
    if (which != PickerList::To) {
      list.push_back(CcEntry(records_[r]));
      continue;
    }
    const std::string entry = ToEntry(records_[r]);
    if (std::none_of(list.begin(), list.end(), [&](const std::string& e) { return EqualIgnoringCase(e, entry); }))
      list.push_back(entry);
  }
}

void AddressBookCommands::RemoveEntries(PickerList which, const std::vector<size_t>& positions) {
  auto& list = lists_[static_cast<int>(which)];
  std::vector<size_t> sorted = positions;
  std::sort(sorted.rbegin(), sorted.rend());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  for (size_t p : sorted)
    if (p < list.size()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(p));
}

void AddressBookCommands::ClearLists() {
  for (auto& list : lists_) list.clear();
}

void AddressBookCommands::ExportClick() {
  const auto& to = lists_[static_cast<int>(PickerList::To)];
  if (to.empty()) {
    Ui().MessageBox(Sjis(texts::kNoToEntries));
    return;
  }
  auto file = Ui().ChooseSaveFile("", Sjis(texts::kExportFilter));
  if (!file) return;
  if (!file->has_extension()) file->replace_extension(".txt");
  WriteRecipientSheet(*file, to);
  last_export_ = *file;
  Ui().MessageBox(Sjis(texts::kExported));
}

void AddressBookCommands::FillFromCompose(const std::string& to, const std::string& cc, const std::string& bcc) {
  const std::string* texts[] = {&to, &cc, &bcc};
  for (int i = 0; i < 3; ++i)
    for (const auto& piece : SplitAt(*texts[i], ',')) {
      if (piece.empty()) continue;
      auto& list = lists_[i];
      if (std::none_of(list.begin(), list.end(), [&](const std::string& e) { return EqualIgnoringCase(e, piece); }))
        list.push_back(piece);
    }
}

AddressBookCommands::Recipients AddressBookCommands::TakeForCompose() {
  Recipients r{Joined(lists_[0]), Joined(lists_[1]), Joined(lists_[2])};
  ClearLists();
  return r;
}

std::string AddressBookCommands::JoinedTo() const { return Joined(lists_[0]); }

// --- The register window -----------------------------------------------------------------

std::string AddressBookCommands::RegisterBookLabel() const {
  return register_book_.empty() ? Sjis(texts::kNoBookChosen) : register_book_;
}

void AddressBookCommands::PrepareRegister(const std::string& name, const std::string& address) {
  books_ = Folder().Books();
  if (std::find(books_.begin(), books_.end(), register_book_) == books_.end()) register_book_.clear();
  register_fields_ = AddressRecord{name, address, ""};
}

bool AddressBookCommands::CanRegisterSender() const {
  const std::vector<size_t> chosen = shell_.List().Selection();
  return !chosen.empty() && shell_.List().IsValid(chosen.front());
}

bool AddressBookCommands::PrepareSender() {
  MessageList& list = shell_.List();
  const auto chosen = list.Selection();
  if (chosen.empty() || !list.IsValid(chosen.front())) return false;
  const NameAndAddress split = SplitSender(list.Column(chosen.front(), kColCorrespondent));
  PrepareRegister(split.name, split.address);
  return true;
}

void AddressBookCommands::PrepareSelection(const std::string& selection, const std::string& caret_line) {
  if (!selection.empty()) {
    const NameAndAddress split = SplitSender(selection);
    PrepareRegister(split.name, split.address);
  } else {
    PrepareRegister("", AddressInLine(caret_line));
  }
}

void AddressBookCommands::Append(const std::string& book, const AddressRecord& record) {
  const BookFolder folder = Folder();
  std::vector<std::string> lines = folder.Load(book);
  lines.push_back(record.Line());
  folder.Save(book, lines);
  if (book != current_) return;
  // The editor shows the book: the record joins its list, at the end until the next opening.
  records_.push_back(record);
  order_.push_back(records_.size() - 1);
  ++revision_;
  if (adding_) index_ = records_.size();
}

bool AddressBookCommands::RegisterSaveClick() {
  if (register_book_.empty()) {
    Ui().MessageBox(Sjis(texts::kNoBookSelected));
    return false;
  }
  AddressRecord record = register_fields_;
  if (!CheckedRecord(record)) return false;
  Append(register_book_, record);
  register_fields_ = AddressRecord{};
  return true;
}

void AddressBookCommands::RegisterCancelClick() { register_fields_ = AddressRecord{}; }

void AddressBookCommands::AddRecord(const std::string& book, const AddressRecord& record) {
  if (!Folder().Exists(book)) throw AppError(ErrorKind::BadInput, Sjis(texts::kNoSuchBook) + book);
  const AddressRecord checked = StoredRecord(record);
  if (checked.name.empty() || checked.address.empty())
    throw AppError(ErrorKind::BadInput, Sjis(texts::kNameAndAddressRequired));
  Append(book, checked);
}

std::vector<AddressRecord> AddressBookCommands::SortedRecords(const std::string& book) const {
  const BookFolder folder = Folder();
  if (!folder.Exists(book)) throw AppError(ErrorKind::BadInput, Sjis(texts::kNoSuchBook) + book);
  return plumex::SortedRecords(ReadFileBytes(folder.PathOf(book)).value_or(""), Order());
}

}  // namespace plumex
