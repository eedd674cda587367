// The orders of a book: the file's order when a book is opened, and the list view's order
// when a column header is clicked (which leaves the records themselves as they are).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/address_record.h"
#include "search/text_collation.h"

namespace plumex {

struct BookCollations {
  std::unique_ptr<TextCollation> line;          // whole lines, letter case ignored
  std::unique_ptr<TextCollation> name_letters;  // display names by their base letters alone
  std::unique_ptr<TextCollation> name_case;     // display names, letter case significant
  static BookCollations Japanese();
};

// The order a book opens in: whole lines in Japanese order without regard to letter case (so
// by display name first); lines that collate equal by their bytes, so a reopen is repeatable.
// Gives the positions of the lines in that order.
std::vector<size_t> OpeningOrder(const std::vector<std::string_view>& lines, const BookCollations& collations);
// The records of a book file's bytes (lines ended by CR LF, LF or CR) in the opening order.
std::vector<AddressRecord> SortedRecords(std::string_view file_bytes, const BookCollations& collations);

enum class RecordColumn { Name = 0, Address = 1, Remark = 2 };

// Record positions in the order of a column: the name in Japanese order with letter case
// significant, the others by their bytes with ASCII letters folded to one case.
std::vector<size_t> ColumnOrder(const std::vector<AddressRecord>& records, RecordColumn column, bool descending,
                                const BookCollations& collations);

}  // namespace plumex
