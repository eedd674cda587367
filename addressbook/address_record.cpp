#include "addressbook/address_record.h"


namespace plumex {

AddressRecord AddressRecord::Parse(std::string_view line) {
  // One pass over the line: a book of many records is parsed whole when it opens.
  std::string_view fields[3];
  size_t n = 0, start = 0;
  for (size_t i = 0; i <= line.size() && n < 3; ++i)
    if (i == line.size() || line[i] == '\t') {
      fields[n++] = line.substr(start, i - start);
      start = i + 1;
    }
  return {std::string(fields[0]), std::string(fields[1]), std::string(fields[2])};
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
