// One line of an address book: display name, mail address and remark joined by TABs, and the
// recipient entries the picker and the compose window build from it.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

struct AddressRecord {
  std::string name;     // "宛名"
  std::string address;  // "アドレス"
  std::string remark;   // "備考"

  // A line with two fields has an empty remark; fields past the third are ignored.
  static AddressRecord Parse(std::string_view line);
  // Always three fields, so a record without a remark ends in a TAB.
  std::string Line() const;
};

// A field as typed: a TAB, CR or LF would split the record (and the lines after it), so each
// becomes a space.
std::string SingleLineField(std::string_view text);
// The display name as stored: without double quotes, commas and angle brackets, which would
// break a recipient entry built from it.
std::string StoredDisplayName(std::string_view name);

// "name"<address> for the To list and the compose window's completion.
std::string ToEntry(const AddressRecord& record);
// "name" <address> (one space) for the CC and BCC lists.
std::string CcEntry(const AddressRecord& record);

}  // namespace plumex
