#include "addressbook/address_record.h"

#include "store/tab_line.h"

namespace plumex {

AddressRecord AddressRecord::Parse(std::string_view line) {
  AddressRecord r;
  r.name = FieldOf(line, 0);
  r.address = FieldOf(line, 1);
  r.remark = FieldOf(line, 2);
  return r;
}

std::string AddressRecord::Line() const { return name + "\t" + address + "\t" + remark; }

std::string SingleLineField(std::string_view text) {
  std::string out(text);
  // TAB, CR and LF are never trail bytes of code page 932, so each byte can be looked at alone.
  for (char& c : out)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return out;
}

std::string StoredDisplayName(std::string_view name) {
  // The four signs lie below 0x40, where no trail byte of code page 932 does.
  std::string out;
  out.reserve(name.size());
  for (char c : name)
    if (c != '"' && c != ',' && c != '<' && c != '>') out += c;
  return out;
}

std::string ToEntry(const AddressRecord& record) { return "\"" + record.name + "\"<" + record.address + ">"; }
std::string CcEntry(const AddressRecord& record) { return "\"" + record.name + "\" <" + record.address + ">"; }

}  // namespace plumex
