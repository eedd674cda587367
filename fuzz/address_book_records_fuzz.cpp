// Address-book records: arbitrary book file bytes opened in their order, each record written
// back and turned into recipient entries. No crash, and a record written back is one line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "addressbook/address_record.h"
#include "addressbook/record_order.h"
#include "addressbook/sender_split.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace plumex;
  static const BookCollations collations = BookCollations::Japanese();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const AddressRecord& record : SortedRecords(bytes, collations)) {
    const std::string line = record.Line();
    if (line.find_first_of("\r\n") != std::string::npos) std::abort();
    ToEntry(record);
    CcEntry(record);
    SplitSender(record.address);
    AddressInLine(line);
  }
  return 0;
}
