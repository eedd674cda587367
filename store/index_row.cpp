#include "store/index_row.h"

#include "store/tab_line.h"

namespace plumex {

std::optional<IndexRow> IndexRow::Parse(std::string_view line) {
  auto f = SplitTabLine(line);
  if (f.size() < kIndexRowFields) return std::nullopt;
  IndexRow row{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], std::nullopt};
  if (f.size() > kIndexRowFields) row.extra = f[8];
  return row;
}

std::string IndexRow::ToLine() const {
  std::string line = message_id + '\t' + subject + '\t' + correspondent + '\t' + date + '\t' + size + '\t' +
                     attach_flag + '\t' + mark + '\t' + priority;
  if (extra) line += '\t' + *extra;
  return line;
}

std::string RowField(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    if (c == '\r' || c == '\n') continue;
    out += c == '\t' ? ' ' : c;
  }
  return out;
}

}  // namespace plumex
