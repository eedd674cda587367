#include "addressbook/book_completion.h"

#include <algorithm>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

// Whether byte position `at` of a line starts a character (it is not a trail byte).
bool OnCharacter(std::string_view line, size_t at) {
  size_t i = 0;
  while (i < at) i += IsCp932LeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1;
  return i == at;
}

}  // namespace

std::vector<std::string> MatchingBookLines(const BookFolder& books, std::string_view typed) {
  std::vector<std::string> found;
  if (typed.empty()) return found;
  for (const auto& book : books.Books()) {
    const auto bytes = ReadFileBytes(books.PathOf(book));
    if (!bytes) continue;
    const std::string_view text(*bytes);
    // Hits are looked for in the whole file at once; each one found is checked against its line.
    for (size_t hit = text.find(typed); hit != std::string_view::npos;) {
      size_t start = hit, end = hit;
      while (start > 0 && text[start - 1] != '\r' && text[start - 1] != '\n') --start;
      while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
      const std::string_view line = text.substr(start, end - start);
      if (OnCharacter(line, hit - start)) {
        found.emplace_back(line);
        hit = text.find(typed, end);  // the rest of this line counts no more
      } else {
        hit = text.find(typed, hit + 1);
      }
    }
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  return found;
}

std::string CompletionItem(std::string_view line) {
  const auto fields = SplitTabLine(line);
  if (fields.size() < 2) return fields.front() + ">";
  return "\"" + fields[0] + "\"<" + fields[1] + ">";
}

}  // namespace plumex
