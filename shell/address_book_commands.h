// The address book window, its recipient picker and the register window without widgets: the
// books of the Address folder, the records of the book open in the editor, the three picker
// lists and the register window's chosen book. The windows mirror this state and call these
// commands; plumex-cli's addressbook commands call the same ones.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "addressbook/address_record.h"
#include "addressbook/book_folder.h"
#include "addressbook/record_order.h"
#include "shell/main_shell.h"

namespace plumex {

enum class PickerList { To, Cc, Bcc };

class AddressBookCommands {
 public:
  explicit AddressBookCommands(MainShell& shell);
  ~AddressBookCommands();

  BookFolder Folder() const;

  // --- The editor (first tab) ---------------------------------------------------------
  // Window creation: the books of the folder (made when missing); the first one is opened.
  void Load();
  const std::vector<std::string>& Books() const { return books_; }
  // The book open in the editor; empty before any choice and after it was deleted.
  const std::string& CurrentBook() const { return current_; }
  // What follows "アドレス帳は、": the book's name or "未選択".
  std::string BookLabel() const;
  // Selecting a book node: loads the book (an empty file when missing), sorted.
  void OpenBook(const std::string& book);
  void NewBookClick();  // "アドレス帳の新規作成"
  // Editing a book node's text in place; false when the node must get its old text back.
  bool RenameBook(const std::string& from, const std::string& to);
  void DeleteBookClick(const std::string& book);  // "アドレス帳の削除"

  const std::vector<AddressRecord>& Records() const { return records_; }
  // The list view's rows: record positions in the order shown.
  const std::vector<size_t>& RowOrder() const { return order_; }
  // Changes whenever the records or their order change.
  size_t Revision() const { return revision_; }
  // The three fields "宛名", "アドレス", "備考" as the window shows them; the window writes
  // what was typed here before a command.
  AddressRecord& Fields() { return fields_; }
  size_t CurrentIndex() const { return index_; }
  // Add mode: the button reads "中止" and a new record is being typed.
  bool Adding() const { return adding_; }
  bool HasRecordShown() const { return !adding_ && index_ < records_.size(); }

  void SelectRecord(size_t record);  // a row of the list view was selected
  void ColumnClick(RecordColumn column);
  // "追加" / "中止": with an entry typed into the fields (they show no record of the book),
  // that entry is added at once; otherwise the fields empty for a new one. "中止" leaves it.
  void AddClick();
  void SaveClick();    // "更新/保存"
  void DeleteClick();  // "削除"
  // "閉じる" and every other way of closing the window; false when it must stay open.
  bool CloseClick();

  // --- The picker (second tab) --------------------------------------------------------
  const std::vector<std::string>& List(PickerList which) const { return lists_[static_cast<int>(which)]; }
  // "TO" (and a double click), "CC", "BCC" with the chosen records.
  void Pick(PickerList which, const std::vector<size_t>& records);
  void RemoveEntries(PickerList which, const std::vector<size_t>& positions);  // "消去"
  void ClearLists();                                                           // "全消去"
  void ExportClick();                                                          // "宛先のエクスポート"
  // The file the last export wrote, handed out once: the merge sheet loads only that file,
  // never one another save dialog chose.
  std::optional<std::filesystem::path> TakeLastExport() { return std::exchange(last_export_, std::nullopt); }
  // The compose window's recipient texts go into the lists before the picker shows...
  void FillFromCompose(const std::string& to, const std::string& cc, const std::string& bcc);
  // ...and come back joined with "," when it closes; the lists are emptied.
  struct Recipients {
    std::string to, cc, bcc;
  };
  Recipients TakeForCompose();
  // The settings dialog's forward address: the To list joined, the lists kept.
  std::string JoinedTo() const;

  // --- The register window ------------------------------------------------------------
  // The chosen book, empty ("未選択") until one is clicked; kept between showings.
  const std::string& RegisterBook() const { return register_book_; }
  std::string RegisterBookLabel() const;
  void ChooseRegisterBook(const std::string& book) { register_book_ = book; }
  AddressRecord& RegisterFields() { return register_fields_; }
  // Puts a name and an address into the register window (its remark empty); a chosen book
  // that is gone since is chosen no more.
  void PrepareRegister(const std::string& name, const std::string& address);
  // "差出人をアドレス帳へ登録": the first chosen row's sender; false without a chosen row.
  bool PrepareSender();
  // "差出人をアドレス帳へ登録": a listed row chosen.
  bool CanRegisterSender() const;
  // "選択文字列をアドレス帳へ登録": the selection split, or else the address in the caret's line.
  void PrepareSelection(const std::string& selection, const std::string& caret_line);
  bool RegisterSaveClick();  // "保存"; true when the window closes
  void RegisterCancelClick();  // "中止"

  // plumex-cli's "addressbook add": the register window's save into a named book.
  void AddRecord(const std::string& book, const AddressRecord& record);
  // The records of a book in the editor's order, without opening it in the editor.
  std::vector<AddressRecord> SortedRecords(const std::string& book) const;

 private:
  UiPort& Ui() { return shell_.Ui(); }
  void ShowRecord(size_t i);
  void ResetOrder();
  void CloseBook();
  void LeaveAdding();
  // The fields hold something else than the record they show (in an empty book: anything).
  bool Typed() const;
  std::vector<std::string> Lines() const;
  bool CheckedRecord(AddressRecord& record);
  void Append(const std::string& book, const AddressRecord& record);
  const BookCollations& Order() const;

  MainShell& shell_;
  mutable std::unique_ptr<BookCollations> collations_;  // made at the first need: ICU takes a while
  std::vector<std::string> books_;
  std::string current_;
  std::vector<AddressRecord> records_;
  std::vector<size_t> order_;
  std::optional<RecordColumn> sort_column_;
  bool sort_descending_ = false;
  size_t revision_ = 0;
  AddressRecord fields_;
  size_t index_ = 0;
  bool adding_ = false;
  std::vector<std::string> lists_[3];
  std::optional<std::filesystem::path> last_export_;
  std::string register_book_;
  AddressRecord register_fields_;
};

}  // namespace plumex
