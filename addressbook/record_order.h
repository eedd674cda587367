// The orders of a book: the file's order when a book is opened, and the list view's order
// when a column header is clicked (which leaves the records themselves as they are).
#pragma once

#include <string>
#include <vector>

#include "addressbook/address_record.h"
#include "search/text_collation.h"

namespace plumex {

// Sorts whole lines in the collation's order (Japanese, letter case ignored: so by display
// name first). Lines that collate equal keep their byte order, so a reopen is repeatable.
void SortRecordLines(std::vector<std::string>& lines, const TextCollation& collation);

enum class RecordColumn { Name = 0, Address = 1, Remark = 2 };

// Record positions in the order of a column: the name by the collation given (letter case
// significant), the others by their bytes with ASCII letters folded to one case.
std::vector<size_t> ColumnOrder(const std::vector<AddressRecord>& records, RecordColumn column, bool descending,
                                const TextCollation& name_collation);

}  // namespace plumex
